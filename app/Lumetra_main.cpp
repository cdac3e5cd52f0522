#include "app/Lumetra_main.h"

#include <QCoreApplication>
#include <QString>

namespace lumetra {

TForm_Exif::TForm_Exif(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form_Exif");
  setWindowTitle(QStringLiteral("Lumetra ") + QStringLiteral(LUMETRA_VERSION));
  resize(1000, 700);
}

}  // namespace lumetra
