// The desktop program's entry: the application and its main window.

#include <QApplication>

#include "app/CropCommands.h"
#include "app/Lumetra_main.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lumetra");
  lumetra::WindowStart start;
  start.arguments = QApplication::arguments().mid(1);
  lumetra::TForm_Exif main_window(start);
  lumetra::InstallCropDialogs(main_window);
  main_window.show();
  return QApplication::exec();
}
