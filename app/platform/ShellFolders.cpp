#include "app/platform/ShellFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace lumetra {

std::vector<std::string> SpecialFolders() {
  std::vector<std::string> folders;
  for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation}) {
    const QString path = QStandardPaths::writableLocation(location);
    if (!path.isEmpty()) folders.push_back(QDir::toNativeSeparators(path).toStdString());
  }
  return folders;
}

}  // namespace lumetra
