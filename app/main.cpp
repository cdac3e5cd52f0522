// The desktop program's entry: the application and its main window.

#include <QApplication>

#include "app/ChartCommands.h"
#include "app/CropCommands.h"
#include "app/Lumetra_main.h"
#include "app/WidgetMap.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
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
