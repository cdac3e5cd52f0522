#include "app/FolderTree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace lumetra {

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
  model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  // The tree is listed when opened and not watched afterwards.
  model_->setOption(QFileSystemModel::DontWatchForChanges);
  model_->setReadOnly(true);
  model_->setRootPath(QDir::rootPath());
  setModel(model_);
  setRootIndex(model_->index(QDir::rootPath()).parent());
  for (int column = 1; column < model_->columnCount(); ++column) hideColumn(column);
  header()->hide();
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    emit folderChanged(QDir::toNativeSeparators(model_->filePath(current)));
  });
  // Folders are listed in the background and sorted a moment later: keep the revealed one in view as the
  // rows above it arrive and as they are put in order.
  const auto keep_revealed = [this] {
    if (revealed_.isEmpty()) return;
    const QModelIndex index = model_->index(revealed_);
    if (index.isValid()) scrollTo(index, QAbstractItemView::PositionAtTop);
  };
  connect(model_, &QFileSystemModel::directoryLoaded, this, keep_revealed);
  connect(model_, &QAbstractItemModel::layoutChanged, this, keep_revealed);
}

void FolderTree::ExpandTo(const QModelIndex& index) {
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) expand(parent);
}

bool FolderTree::SelectFolder(const QString& path) {
  const QModelIndex index = model_->index(QDir::cleanPath(path));
  if (!index.isValid()) return false;
  ExpandTo(index);
  revealed_ = model_->filePath(index);
  setCurrentIndex(index);
  scrollTo(index, QAbstractItemView::PositionAtTop);
  return true;
}

void FolderTree::RevealFolder(const QString& path) {
  const QModelIndex index = model_->index(QDir::cleanPath(path));
  if (!index.isValid()) return;
  ExpandTo(index);
  expand(index);
  revealed_ = model_->filePath(index);
  scrollTo(index, QAbstractItemView::PositionAtTop);
}

QString FolderTree::SelectedPath() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? QDir::toNativeSeparators(model_->filePath(index)) : QString();
}

bool FolderTree::viewportEvent(QEvent* event) {
  // Once the user scrolls or clicks, the tree stays where they put it.
  if (event->type() == QEvent::Wheel || event->type() == QEvent::MouseButtonPress) revealed_.clear();
  return QTreeView::viewportEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
  revealed_.clear();
  QTreeView::keyPressEvent(event);
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) setCurrentIndex(index);
  }
  QTreeView::mousePressEvent(event);
}

}  // namespace lumetra
