#pragma once

#include <vector>

#include <QDialog>

#include "survey/Labels.h"
#include "survey/WalkFolder.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace lumetra {

/// The folders and files the last run passed over, and why: one row each, path and reason, in walk order.
/// Made once by the window and shown again with the list of each run (`SkippedItems`; its table
/// `SkippedItems_Table`, its button `but_Close`, which Escape presses too).
class SkippedItemsDialog : public QDialog {
 public:
  explicit SkippedItemsDialog(QWidget* parent);

  /// Fills the dialog with `items` in `language` and shows it, the table focused for the keys.
  void ShowItems(const std::vector<SkippedEntry>& items, Language language);

 private:
  QLabel* summary_;
  QTableWidget* table_;
  QPushButton* close_;
};

}  // namespace lumetra
