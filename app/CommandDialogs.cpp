#include "app/CommandDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace lumetra {

CommandDialogs QtCommandDialogs(QWidget& parent) {
  QWidget* window = &parent;
  CommandDialogs dialogs;
  dialogs.save_file_name = [window](const QString& caption, const QString& filter, const QString& folder) {
    // The extension is appended after the dialog, so the dialog's own question would ask about another name.
    return QFileDialog::getSaveFileName(window, caption, folder, filter, nullptr, QFileDialog::DontConfirmOverwrite);
  };
  dialogs.confirm = [window](const QString& question) {
    return QMessageBox::question(window, window->windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  dialogs.error = [window](const QString& message) { QMessageBox::warning(window, window->windowTitle(), message); };
  dialogs.open_folder = [](const QString& folder) { return QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
  return dialogs;
}

}  // namespace lumetra
