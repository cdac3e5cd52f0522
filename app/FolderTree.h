#pragma once

#include <QString>
#include <QTreeView>

class QFileSystemModel;

namespace lumetra {

/// The folder tree: folders only, from the file system's root, one column without a header. A right
/// click selects like a left one. Every change of the selected folder is signalled with its path.
class FolderTree : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderTree(QWidget* parent = nullptr);

  /// Opens the tree down to `path`, selects it (signalling the change) and scrolls it into view; false
  /// when the tree has no such folder.
  bool SelectFolder(const QString& path);
  /// Opens the tree down to `path` and scrolls it to the top of the view, selecting nothing.
  void RevealFolder(const QString& path);
  /// The selected folder's absolute path, or empty.
  [[nodiscard]] QString SelectedPath() const;

 signals:
  void folderChanged(const QString& path);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void ExpandTo(const QModelIndex& index);

  QFileSystemModel* model_;
  // The folder to keep in view until the model has listed the folders above it.
  QString revealed_;
};

}  // namespace lumetra
