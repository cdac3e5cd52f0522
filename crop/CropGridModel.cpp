#include "crop/CropGridModel.h"

#include <cstdlib>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>

#include "widgets/QtText.h"

namespace lumetra {
namespace {

// The delete word is underlined, as a link.
QFont UnderlinedFont(const char* family, int pixels) {
  QFont font = PixelFont(QString::fromLatin1(family), pixels);
  font.setUnderline(true);
  return font;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// CropGridModel

CropGridModel::CropGridModel(bool with_delete_column, QObject* parent)
    : QAbstractTableModel(parent), with_delete_column_(with_delete_column) {}

void CropGridModel::SetRows(std::vector<CropGridRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void CropGridModel::SetLanguage(Language language) {
  constexpr TextPair kHeaders[] = {{"Фирма", "Make"}, {"Фотоаппарат", "Model"}, {"Кроп-фактор", "Crop-factor"}};
  constexpr TextPair kDeleteWord{"Удалить", "Delete"};
  headers_.clear();
  for (const TextPair& header : kHeaders) headers_ << ToQString(header.In(language));
  delete_word_ = with_delete_column_ ? ToQString(kDeleteWord.In(language)) : QString();
  if (with_delete_column_) headers_ << delete_word_;
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (with_delete_column_ && !rows_.empty()) {
    emit dataChanged(index(0, kDeleteColumn), index(rowCount() - 1, kDeleteColumn));
  }
}

int CropGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CropGridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return with_delete_column_ ? 4 : 3;
}

QVariant CropGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const CropGridRow& row = rows_[static_cast<size_t>(index.row())];
  const bool delete_column = index.column() == kDeleteColumn;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      switch (index.column()) {
        case kMakeColumn:
          return QString::fromStdString(row.Make);
        case kModelColumn:
          return QString::fromStdString(row.Model);
        case kFactorColumn:
          return QString::fromStdString(row.FactorText);
        default:
          return delete_word_;
      }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::FontRole:
      return delete_column ? UnderlinedFont("MS Sans Serif", 11) : PixelFont(QStringLiteral("Tahoma"), 13);
    case Qt::ForegroundRole:
      if (delete_column) return QBrush(QColor(0x00, 0x66, 0xB3));
      return {};
    default:
      return {};
  }
}

QVariant CropGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return headers_.value(section);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

Qt::ItemFlags CropGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kFactorColumn) flags |= Qt::ItemIsEditable;
  return flags;
}

bool CropGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != kFactorColumn || role != Qt::EditRole) return false;
  rows_[static_cast<size_t>(index.row())].FactorText = value.toString().toStdString();
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

bool CropGridModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) return false;
  beginRemoveRows(parent, row, row + count - 1);
  rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
  endRemoveRows();
  return true;
}

// ---------------------------------------------------------------------------------------------------
// FactorLineEdit

FactorLineEdit::FactorLineEdit(char decimal_separator, QWidget* parent)
    : QLineEdit(parent), decimal_separator_(decimal_separator) {
  setObjectName(QString::fromLatin1(kFactorEditorName));
  setAlignment(Qt::AlignCenter);
  // Every change: a text that "0" in front of would not make a number loses its last character.
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    const std::string typed = text.toStdString();
    const std::string trimmed = TrimFactorTyping(typed, decimal_separator_);
    if (trimmed != typed) setText(QString::fromStdString(trimmed));
  });
}

void FactorLineEdit::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  // Keys that type a character: digits, and "." or "," as the regional separator; nothing else.
  const bool types = !text.isEmpty() && text.at(0).isPrint() && (event->modifiers() & Qt::ControlModifier) == 0;
  if (!types) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  const std::optional<char> character = FactorKeyCharacter(text.at(0).unicode(), decimal_separator_);
  if (character) insert(QString(QChar::fromLatin1(*character)));
}

// ---------------------------------------------------------------------------------------------------
// FactorDelegate

FactorDelegate::FactorDelegate(char decimal_separator, EmptyFactor empty, QObject* parent)
    : QStyledItemDelegate(parent), decimal_separator_(decimal_separator), empty_(empty) {}

QWidget* FactorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
  if (index.column() != CropGridModel::kFactorColumn) return QStyledItemDelegate::createEditor(parent, option, index);
  auto* editor = new FactorLineEdit(decimal_separator_, parent);
  editor->setFont(index.data(Qt::FontRole).value<QFont>());
  return editor;
}

void FactorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line == nullptr) {
    QStyledItemDelegate::setEditorData(editor, index);
    return;
  }
  // Before the edit: the cell's text, to come back to.
  remembered_ = index.data(Qt::EditRole).toString().toStdString();
  line->setText(QString::fromStdString(remembered_));
}

void FactorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* line = qobject_cast<QLineEdit*>(editor);
  if (line == nullptr) {
    QStyledItemDelegate::setModelData(editor, model, index);
    return;
  }
  const std::string finished = FinishFactorEdit(line->text().toStdString(), remembered_, decimal_separator_, empty_);
  model->setData(index, QString::fromStdString(finished), Qt::EditRole);
  if (edit_ended_) edit_ended_(index.row());
}

// ---------------------------------------------------------------------------------------------------
// The grid and the dialog's place

void SetUpCropGrid(QTableView& grid, CropGridModel& model, FactorDelegate& delegate) {
  grid.setModel(&model);
  grid.setItemDelegate(&delegate);
  grid.setShowGrid(true);
  grid.setSelectionBehavior(QAbstractItemView::SelectRows);
  grid.setSelectionMode(QAbstractItemView::SingleSelection);
  grid.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                       QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid.setStyleSheet(
      QStringLiteral("QTableView { gridline-color: grey; selection-background-color: red; selection-color: white; }"));
  grid.verticalHeader()->hide();
  grid.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // 25 pixels of row and its grid line.
  grid.verticalHeader()->setDefaultSectionSize(26);
  grid.verticalHeader()->setMinimumSectionSize(26);
  QHeaderView& header = *grid.horizontalHeader();
  header.setFixedHeight(46 - 2 * grid.frameWidth());
  header.setSectionResizeMode(QHeaderView::Fixed);
  header.setStretchLastSection(false);
  header.resizeSection(CropGridModel::kMakeColumn, 120);
  header.resizeSection(CropGridModel::kModelColumn, 300);
  // A selected row does not turn the headers bold (a long header would no longer fit).
  header.setHighlightSections(false);
  // The factor column takes the rest; the delete word needs less room than the factor's header.
  header.setSectionResizeMode(CropGridModel::kFactorColumn, QHeaderView::Stretch);
  if (model.columnCount() > CropGridModel::kDeleteColumn) header.resizeSection(CropGridModel::kDeleteColumn, 70);
}

void FitButtonCaption(QPushButton& button) {
  QString caption = button.text();
  const QFontMetrics metrics(button.font());
  // Room inside the button's frame.
  const int room = button.width() - 12;
  if (caption.contains(QLatin1Char('\n')) || metrics.horizontalAdvance(caption) <= room) return;
  // Broken at the space nearest the middle.
  int best = -1;
  for (int i = 0; i < caption.size(); ++i) {
    if (caption.at(i) == QLatin1Char(' ') &&
        (best < 0 || std::abs(i - caption.size() / 2) < std::abs(best - caption.size() / 2))) {
      best = i;
    }
  }
  if (best < 0) return;
  caption[best] = QLatin1Char('\n');
  button.setText(caption);
}

void CommitOpenEditor(QTableView& grid, FactorDelegate& delegate) {
  // Closed editors are hidden until they are deleted: the open one is the one not hidden.
  FactorLineEdit* editor = nullptr;
  for (FactorLineEdit* candidate : grid.viewport()->findChildren<FactorLineEdit*>()) {
    if (!candidate->isHidden()) editor = candidate;
  }
  if (editor == nullptr) return;
  emit delegate.commitData(editor);
  emit delegate.closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void PlaceCropDialog(QWidget& dialog, int design_width, int design_height, QSize screen, bool centre) {
  dialog.setFixedSize(design_width - kCropDialogNonClientWidth, design_height - kCropDialogNonClientHeight);
  if (centre) dialog.move((screen.width() - design_width) / 2, (screen.height() - design_height) / 2);
}

}  // namespace lumetra
