#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>

#include "crop/CropEditing.h"
#include "survey/Labels.h"

namespace lumetra {

/// The copy a crop dialog's grid edits: one row per camera (make, model, factor text) and, in the
/// editor, a fourth column with the delete word. Only the factor column is editable.
class CropGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kMakeColumn = 0;
  static constexpr int kModelColumn = 1;
  static constexpr int kFactorColumn = 2;
  static constexpr int kDeleteColumn = 3;

  /// `with_delete_column`: the editor's fourth column.
  explicit CropGridModel(bool with_delete_column, QObject* parent = nullptr);

  /// Replaces every row.
  void SetRows(std::vector<CropGridRow> rows);
  [[nodiscard]] const std::vector<CropGridRow>& Rows() const { return rows_; }
  /// The column headers and the delete word in `language`.
  void SetLanguage(Language language);

  [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

 private:
  bool with_delete_column_;
  std::vector<CropGridRow> rows_;
  QStringList headers_;
  QString delete_word_;
};

/// The editor of a factor cell: only digits, "." and "," are typed ("." and "," as the regional
/// separator), other characters are dropped; a change that makes the text unreadable loses its last
/// character. Backspace, Enter and keys without a character work as usual.
class FactorLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  FactorLineEdit(char decimal_separator, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  char decimal_separator_;
};

/// Edits the factor column with a `FactorLineEdit`: remembers the cell's text when an edit starts and,
/// when it ends, writes `FinishFactorEdit` of the typed text and calls the edit-end handler with the row.
class FactorDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  FactorDelegate(char decimal_separator, EmptyFactor empty, QObject* parent);
  void SetDecimalSeparator(char decimal_separator) { decimal_separator_ = decimal_separator; }
  void SetEditEnded(std::function<void(int row)> handler) { edit_ended_ = std::move(handler); }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

 private:
  char decimal_separator_;
  EmptyFactor empty_;
  mutable std::string remembered_;
  std::function<void(int row)> edit_ended_;
};

/// The part of a crop dialog's design height and width taken by its title bar and borders: the client
/// area the dialog is laid out in is that much smaller than its design size.
inline constexpr int kCropDialogNonClientHeight = 30;
inline constexpr int kCropDialogNonClientWidth = 16;

/// Sets up a crop dialog's grid on `model` and `delegate`: grid lines in grey, a header row, rows of 25
/// plus the grid line, whole-row selection in red, no row headers; the make and model columns 120 and
/// 300 wide, the others sharing the rest. The header takes what makes the grid show whole rows when its
/// height is 46 plus a multiple of 26.
void SetUpCropGrid(QTableView& grid, CropGridModel& model, FactorDelegate& delegate);

/// Resizes and moves a crop dialog to `client_height` (design height less the title bar) and the
/// client width of `design_width`; with `centre`, centres it on `screen` by its design size.
void PlaceCropDialog(QWidget& dialog, int design_width, int design_height, QSize screen, bool centre);

/// A caption too wide for its button is broken in two lines at the space nearest its middle; a caption
/// that fits or already has two lines stays as it is.
void FitButtonCaption(QPushButton& button);

/// Ends an edit in progress in `grid` as leaving the cell would: the typed factor goes through the
/// delegate's end-of-edit rules into the model.
void CommitOpenEditor(QTableView& grid, FactorDelegate& delegate);

/// The object name of the line edit a factor cell is edited in.
inline constexpr const char* kFactorEditorName = "ed_Factor";

}  // namespace lumetra
