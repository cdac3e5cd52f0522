#pragma once

#include <cstdio>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace lumetra {
namespace detail {

inline QtMessageHandler& NextQtMessageHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

inline bool& HoldingPlatformMessages() {
  static bool holding = false;
  return holding;
}

inline void FilterQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (HoldingPlatformMessages() && context.category != nullptr && QByteArray(context.category).startsWith("qt.qpa")) {
    return;
  }
  // Qt then uses a runtime folder of its own, which serves as well; the warning would only worry.
  if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  if (QtMessageHandler next = NextQtMessageHandler()) {
    next(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace detail

/// Installs, before the QApplication is made, a message handler that keeps two kinds of Qt lines off
/// stderr: the "XDG_RUNTIME_DIR not set" warning, and, while `HoldPlatformMessages(true)`, the lines of the
/// qt.qpa categories (a display that cannot be reached, said once by the program itself). Every other
/// message goes on to the handler installed before.
inline void InstallQtMessageFilter() {
  detail::NextQtMessageHandler() = qInstallMessageHandler(detail::FilterQtMessage);
}

inline void HoldPlatformMessages(bool hold) { detail::HoldingPlatformMessages() = hold; }

}  // namespace lumetra
