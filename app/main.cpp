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
#include "app/platform/ApplicationId.h"
#include "widgets/QtMessages.h"

int main(int argc, char** argv) {
  // Unless a platform is asked for, Qt tries the display and falls back to drawing off-screen instead of
  // aborting, so that a missing display can be told in a line and an exit code.
  const bool platform_asked =
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || std::any_of(argv, argv + argc, [](const char* argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
      });
  lumetra::InstallQtMessageFilter();
  if (!platform_asked) {
    // Qt's own lines about the display are held back while it is tried: the program says what is wrong.
    lumetra::HoldPlatformMessages(true);
    qputenv("QT_QPA_PLATFORM", qgetenv("XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb;offscreen" : "xcb;offscreen");
  }
  QApplication application(argc, argv);
  lumetra::HoldPlatformMessages(false);
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
  // The desktop shows the window under the menu entry's name and icon.
  QApplication::setDesktopFileName(QString::fromLatin1(lumetra::kApplicationId));
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
