#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace lumetra {

/// What the chart and shortcut commands ask of the user and of the desktop. The program uses Qt's
/// dialogs (`QtCommandDialogs`); tests answer in their place, without modal windows. Every member is set.
struct CommandDialogs {
  /// The save-file dialog with its `caption`, its `filter` ("Jpeg files (*.jpg)") and the `folder` it
  /// starts in; returns the name chosen, empty when the user cancels. It asks nothing about an existing
  /// file: the command does, once it knows the name with its extension.
  std::function<QString(const QString& caption, const QString& filter, const QString& folder)> save_file_name;
  /// Asks `question` with Yes and No; true for Yes.
  std::function<bool(const QString& question)> confirm;
  /// Tells the user of a failure.
  std::function<void(const QString& message)> error;
  /// Opens `folder` in the desktop's file manager; false when no file manager could be started.
  std::function<bool(const QString& folder)> open_folder;
};

/// Qt's file dialog and message boxes over `parent`, which must outlive them, and the desktop's file
/// manager (QDesktopServices).
[[nodiscard]] CommandDialogs QtCommandDialogs(QWidget& parent);

}  // namespace lumetra
