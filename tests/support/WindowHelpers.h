#pragma once

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QObject>
#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace lumetra::testing {

/// The child of `parent` of type T whose object name is `name` (the controls' own names:
/// "but_Run", "ed_from1", ...). Ends the test program when there is none: every later step would only
/// fail on a null pointer, and the name says what is missing.
template <typename T>
[[nodiscard]] T* Find(QObject& parent, const QString& name) {
  T* child = parent.findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

template <typename T>
[[nodiscard]] T* Find(QObject& parent, const char* name) {
  return Find<T>(parent, QString::fromLatin1(name));
}

/// Draws what is pending, saves `widget` as `folder`/`name`.png and prints that path on stdout, for the
/// screenshot programs; a line on stderr when the file cannot be written.
inline void SaveScreenshot(QWidget& widget, const QString& folder, const QString& name) {
  QApplication::processEvents();
  const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (!widget.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  std::printf("%s\n", qPrintable(file));
}

}  // namespace lumetra::testing
