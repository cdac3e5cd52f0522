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

namespace {

// The platforms Qt is to try, ending in the off-screen one so that a display that cannot be reached gives
// a line and an exit code rather than an abort inside Qt; empty when the command line names a platform or
// the one asked for draws off-screen already. Unless a platform is asked for, the display's own is tried.
QByteArray PlatformsToTry(int argc, char** argv) {
  if (std::any_of(argv, argv + argc, [](const char* argument) {
        return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
      })) {
    return {};
  }
  const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
  if (asked.isEmpty()) return qgetenv("XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb;offscreen" : "xcb;offscreen";
  if (asked.contains("offscreen") || asked.contains("minimal")) return {};
  return asked + ";offscreen";
}

}  // namespace

int main(int argc, char** argv) {
  const QByteArray asked_platform = qgetenv("QT_QPA_PLATFORM");
  const QByteArray platforms = PlatformsToTry(argc, argv);
  lumetra::InstallQtMessageFilter();
  if (!platforms.isEmpty()) {
    // Qt's own lines about the display are held back while it is tried: the program says what is wrong.
    lumetra::HoldPlatformMessages(true);
    qputenv("QT_QPA_PLATFORM", platforms);
  }
  QApplication application(argc, argv);
  lumetra::HoldPlatformMessages(false);
  if (!platforms.isEmpty()) {
    // Programs the window starts choose their platform as they were asked to.
    if (asked_platform.isEmpty()) {
      qunsetenv("QT_QPA_PLATFORM");
    } else {
      qputenv("QT_QPA_PLATFORM", asked_platform);
    }
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
