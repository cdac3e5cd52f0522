#pragma once

#include <QMainWindow>

namespace lumetra {

/// The main window of the desktop program.
class TForm_Exif : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_Exif(QWidget* parent = nullptr);
};

}  // namespace lumetra
