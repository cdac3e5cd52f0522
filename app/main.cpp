// The desktop program's entry: the application and its main window.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QByteArray>

#include "app/ChartCommands.h"
#include "app/CropCommands.h"
#include "app/Lumetra_main.h"
#include "app/WidgetMap.h"

namespace {

QtMessageHandler qt_handler = nullptr;
// While the program chooses the platform, Qt's own lines about a display it cannot reach are held back: the
// program says in one line of its own what is wrong. A platform the user asked for speaks for itself.
bool choosing_platform = false;

void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (choosing_platform && context.category != nullptr && QByteArray(context.category).startsWith("qt.qpa")) return;
  // Qt falls back to a runtime folder of its own, which serves as well; the warning would only worry.
  if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  qt_handler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  // Unless a platform is asked for, Qt tries the display and falls back to drawing off-screen instead of
  // aborting, so that a missing display can be told in a line and an exit code.
  const bool platform_asked =
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || std::any_of(argv, argv + argc, [](const char* argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
      });
  if (!platform_asked) {
    choosing_platform = true;
    qputenv("QT_QPA_PLATFORM", qgetenv("XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb;offscreen" : "xcb;offscreen");
  }
  qt_handler = qInstallMessageHandler(FilterQtMessages);
  QApplication application(argc, argv);
  choosing_platform = false;
  if (!platform_asked) {
    // Programs the window starts choose their own platform.
    qunsetenv("QT_QPA_PLATFORM");
    if (QApplication::platformName() == QStringLiteral("offscreen")) {
      const QByteArray display = qgetenv("DISPLAY");
      std::fprintf(stderr, "lumetra: no display to show the window on (%s)\n",
                   display.isEmpty() ? "DISPLAY is not set" : ("cannot connect to DISPLAY=" + display).constData());
      return 1;
    }
  }
  QApplication::setApplicationName("Lumetra");
  lumetra::WindowStart start;
  start.arguments = QApplication::arguments().mid(1);
  lumetra::TForm_Exif main_window(start);
  lumetra::InstallChartCommands(main_window, lumetra::QtCommandDialogs(main_window));
  lumetra::InstallCropDialogs(main_window);
  main_window.show();
  // Where the controls are, for a test that drives the program as a person does.
  if (const QString map = qEnvironmentVariable("LUMETRA_WIDGET_MAP"); !map.isEmpty()) lumetra::StartWidgetMap(map);
  return QApplication::exec();
}
