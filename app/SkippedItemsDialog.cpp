#include "app/SkippedItemsDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/SkippedReasons.h"
#include "app/UiTexts.h"
#include "text/TextEncoding.h"
#include "widgets/QtText.h"

namespace lumetra {
namespace {

// One item, one line: a name's control characters are shown escaped, as the command line shows them.
QTableWidgetItem* Cell(const std::string& text) {
  auto* cell = new QTableWidgetItem(QString::fromUtf8(EscapedControls(text)));
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  cell->setToolTip(cell->text());
  return cell;
}

}  // namespace

SkippedItemsDialog::SkippedItemsDialog(QWidget* parent)
    : QDialog(parent), summary_(new QLabel(this)), table_(new QTableWidget(this)), close_(new QPushButton(this)) {
  setObjectName("SkippedItems");
  setWindowModality(Qt::WindowModal);
  summary_->setObjectName("lb_SkippedSummary");
  summary_->setWordWrap(true);
  table_->setObjectName("SkippedItems_Table");
  table_->setColumnCount(2);
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  close_->setObjectName("but_Close");
  close_->setDefault(true);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(table_, 1);
  layout->addWidget(close_, 0, Qt::AlignRight);
  resize(720, 360);
}

void SkippedItemsDialog::ShowItems(const std::vector<SkippedEntry>& items, Language language) {
  setWindowTitle(ToQString(kSkippedTitle.In(language)));
  summary_->setText(ToQString(kSkippedSummary.In(language)).arg(items.size()));
  table_->setHorizontalHeaderLabels(
      {ToQString(kSkippedPathColumn.In(language)), ToQString(kSkippedReasonColumn.In(language))});
  close_->setText(ToQString(kSkippedClose.In(language)));
  table_->setRowCount(static_cast<int>(items.size()));
  for (size_t row = 0; row < items.size(); ++row) {
    table_->setItem(static_cast<int>(row), 0, Cell(items[row].path));
    table_->setItem(static_cast<int>(row), 1, Cell(SkippedReasonIn(items[row].reason, language)));
  }
  if (!items.empty()) table_->setCurrentCell(0, 0);
  open();
  table_->setFocus();
}

}  // namespace lumetra
