#include "crop/CropDataAll.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>

#include "crop/CropEditing.h"
#include "widgets/QtText.h"

namespace lumetra {
namespace {

// Design geometry of Form_CropAll (client coordinates; the design size includes the title bar).
constexpr int kDesignWidth = 639;
constexpr int kDesignHeight = 324;
constexpr int kGridLeft = 16;
constexpr int kGridTop = 20;
constexpr int kGridWidth = 599;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 40;
constexpr int kSaveLeft = 199;
constexpr int kCancelLeft = 339;

}  // namespace

TForm_CropAll::TForm_CropAll(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form_CropAll"));
  // Only a close button in the title bar.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);
  setFont(PixelFont("MS Sans Serif", 11));

  model_ = new CropGridModel(/*with_delete_column=*/true, this);
  delegate_ = new FactorDelegate('.', EmptyFactor::kRefused, this);
  NG_All = new QTableView(this);
  NG_All->setObjectName(QStringLiteral("NG_All"));
  SetUpCropGrid(*NG_All, *model_, *delegate_);
  NG_All->setGeometry(kGridLeft, kGridTop, kGridWidth, 46);

  but_Save = new QPushButton(this);
  but_Save->setObjectName(QStringLiteral("but_Save"));
  but_Save->setFont(PixelFont("Tahoma", 16, true));
  but_Save->setStyleSheet(QStringLiteral("color: green;"));
  but_Cancel = new QPushButton(this);
  but_Cancel->setObjectName(QStringLiteral("but_Cancel"));
  but_Cancel->setFont(PixelFont("Tahoma", 16, true));
  but_Cancel->setStyleSheet(QStringLiteral("color: maroon;"));
  for (QPushButton* button : {but_Save, but_Cancel}) {
    // Enter ends a cell's edit; it never presses a button.
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  but_Save->setGeometry(kSaveLeft, 0, kButtonWidth, kButtonHeight);
  but_Cancel->setGeometry(kCancelLeft, 0, kButtonWidth, kButtonHeight);

  // The first finished edit of a factor enables Save, even when it put the old value back.
  delegate_->SetEditEnded([this](int) { but_Save->setEnabled(true); });
  connect(NG_All, &QTableView::clicked, this, [this](const QModelIndex& index) {
    if (index.column() == CropGridModel::kDeleteColumn) DeleteRow(index.row());
  });
  NG_All->installEventFilter(this);
  connect(but_Save, &QPushButton::clicked, this, &TForm_CropAll::but_SaveClick);
  connect(but_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_CropAll::FormActivate(const CropEditorSession& session) {
  session_ = session;
  saved_ = false;
  const Language language = session.language;
  setWindowTitle(
      ToQString(TextPair{"База данных кроп-факторов фотоаппаратов", "Database crop factors cameras"}.In(language)));
  model_->SetLanguage(language);
  but_Save->setText(ToQString(TextPair{"Сохранить", "Save"}.In(language)));
  but_Cancel->setText(ToQString(TextPair{"Отменить", "Cancel"}.In(language)));
  for (QPushButton* button : {but_Save, but_Cancel}) FitButtonCaption(*button);
  but_Save->setEnabled(false);
  delegate_->SetDecimalSeparator(session.decimal_separator);

  // The store itself goes into camera order; a mere viewing does not mark it changed.
  SortCameras(session.store->records);
  row_count_ = static_cast<int>(session.store->records.size());
  model_->SetRows(CropGridRows(session.store->records, session.decimal_separator));
  NG_All->clearSelection();
  SizeToRows(/*centre=*/true);
}

bool TForm_CropAll::Edit(const CropEditorSession& session) {
  FormActivate(session);
  exec();
  return saved_;
}

void TForm_CropAll::SizeToRows(bool centre) {
  const CropDialogSizes sizes =
      SizeCropDialog(row_count_, kButtonHeight, session_.screen.height(), kGridTop, kCropDialogNonClientHeight);
  NG_All->setGeometry(kGridLeft, kGridTop, kGridWidth, sizes.grid_height);
  but_Save->move(kSaveLeft, sizes.button_top);
  but_Cancel->move(kCancelLeft, sizes.button_top);
  PlaceCropDialog(*this, kDesignWidth, sizes.height, session_.screen, centre);
}

void TForm_CropAll::DeleteRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  model_->removeRows(row, 1);
  --row_count_;
  but_Save->setEnabled(true);
  SizeToRows(/*centre=*/false);
}

bool TForm_CropAll::eventFilter(QObject* watched, QEvent* event) {
  if (watched == NG_All && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && NG_All->currentIndex().isValid()) {
    DeleteRow(NG_All->currentIndex().row());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_CropAll::but_SaveClick() {
  if (!but_Save->isEnabled()) return;
  CommitOpenEditor(*NG_All, *delegate_);
  CropStore& store = *session_.store;
  store.records = CropRecordsFromGrid(model_->Rows(), session_.decimal_separator);
  if (session_.photos != nullptr) ApplyCropFactors(*session_.photos, store.records);
  store.CropStoreChanged = true;
  saved_ = true;
  accept();
}

}  // namespace lumetra
