#include "crop/CropNone.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>

#include "crop/CropEditing.h"
#include "widgets/QtText.h"

namespace lumetra {
namespace {

// Design geometry of Form_CropNo (client coordinates; the design size includes the title bar).
constexpr int kDesignWidth = 560;
constexpr int kGridLeft = 16;
constexpr int kGridTop = 20;
constexpr int kGridWidth = 519;
constexpr int kButtonWidth = 200;
constexpr int kButtonHeight = 40;
constexpr int kAutoLeft = 45;
constexpr int kSaveLeft = 308;

}  // namespace

TForm_CropNo::TForm_CropNo(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form_CropNo"));
  // Only a close button in the title bar.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  model_ = new CropGridModel(/*with_delete_column=*/false, this);
  delegate_ = new FactorDelegate('.', EmptyFactor::kKept, this);
  NG_no = new QTableView(this);
  NG_no->setObjectName(QStringLiteral("NG_no"));
  SetUpCropGrid(*NG_no, *model_, *delegate_);
  NG_no->setGeometry(kGridLeft, kGridTop, kGridWidth, 46);

  but_Auto = new QPushButton(this);
  but_Auto->setObjectName(QStringLiteral("but_Auto"));
  but_Save = new QPushButton(this);
  but_Save->setObjectName(QStringLiteral("but_Save"));
  for (QPushButton* button : {but_Auto, but_Save}) {
    button->setFont(PixelFont("Tahoma", 11));
    // Enter ends a cell's edit; it never presses a button.
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  but_Auto->setGeometry(kAutoLeft, 0, kButtonWidth, kButtonHeight);
  but_Save->setGeometry(kSaveLeft, 0, kButtonWidth, kButtonHeight);

  delegate_->SetEditEnded([this](int row) { FactorEdited(row); });
  connect(but_Save, &QPushButton::clicked, this, &TForm_CropNo::but_SaveClick);
  connect(but_Auto, &QPushButton::clicked, this, &TForm_CropNo::but_AutoClick);
}

void TForm_CropNo::FormActivate(const UnknownCamerasSession& session) {
  session_ = session;
  saved_ = false;
  automatic_ = false;
  const Language language = session.language;
  setWindowTitle(
      ToQString(TextPair{"Неизвестные кроп-факторы фотоаппаратов", "Unknown crop factors cameras"}.In(language)));
  model_->SetLanguage(language);
  but_Auto->setText(ToQString(
      TextPair{"Использовать автоматические\rзначения кроп-факторов", "Use automatic values of crop factors"}.In(
          language)));
  but_Save->setText(ToQString(
      TextPair{"Сохранить введенные\rзначения кроп-факторов", "Save the entered values of crop factors"}.In(language)));
  // A carriage return breaks the caption in two lines.
  for (QPushButton* button : {but_Auto, but_Save}) {
    button->setText(button->text().replace(QChar('\r'), QChar('\n')));
    FitButtonCaption(*button);
  }
  but_Save->setEnabled(false);
  delegate_->SetDecimalSeparator(session.decimal_separator);

  cameras_ = SortUnknownCameras(*session.cameras);
  std::vector<CropGridRow> rows;
  rows.reserve(cameras_.size());
  for (const CropRecord& camera : cameras_) {
    rows.push_back({.Make = camera.Make, .Model = camera.Model, .FactorText = std::string(), .Factor = 0});
  }
  model_->SetRows(std::move(rows));
  NG_no->clearSelection();

  const CropDialogSizes sizes = SizeCropDialog(static_cast<int>(cameras_.size()), kButtonHeight,
                                               session.screen.height(), kGridTop, kCropDialogNonClientHeight);
  NG_no->setGeometry(kGridLeft, kGridTop, kGridWidth, sizes.grid_height);
  but_Auto->move(kAutoLeft, sizes.button_top);
  but_Save->move(kSaveLeft, sizes.button_top);
  PlaceCropDialog(*this, kDesignWidth, sizes.height, session.screen, /*centre=*/true);
}

bool TForm_CropNo::Ask(const UnknownCamerasSession& session) {
  FormActivate(session);
  exec();
  return saved_;
}

void TForm_CropNo::FactorEdited(int row) {
  if (row < 0 || static_cast<size_t>(row) >= cameras_.size()) return;
  const std::string& text = model_->Rows()[static_cast<size_t>(row)].FactorText;
  // An empty cell leaves the camera's factor as it was.
  if (const std::optional<int64_t> factor = CellCropFactor(text, session_.decimal_separator)) {
    cameras_[static_cast<size_t>(row)].Factor = *factor;
  }
  const bool complete =
      std::all_of(cameras_.begin(), cameras_.end(), [](const CropRecord& camera) { return camera.Factor != 0; });
  // Never disabled again while the dialog is open.
  if (complete) but_Save->setEnabled(true);
}

void TForm_CropNo::but_SaveClick() {
  CommitOpenEditor(*NG_no, *delegate_);
  if (!but_Save->isEnabled()) return;
  saved_ = true;
  accept();
}

void TForm_CropNo::DropFactors() {
  if (session_.uncheck_cb_CF) session_.uncheck_cb_CF();
  for (CropRecord& camera : cameras_) camera.Factor = 0;
  std::vector<CropGridRow> rows = model_->Rows();
  for (CropGridRow& row : rows) row.FactorText.clear();
  model_->SetRows(std::move(rows));
}

void TForm_CropNo::but_AutoClick() {
  automatic_ = true;
  DropFactors();
  done(QDialog::Rejected);
}

void TForm_CropNo::keyPressEvent(QKeyEvent* event) {
  // Escape does not close this dialog.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm_CropNo::closeEvent(QCloseEvent* event) {
  // The close button: the automatic factors, as but_Auto gives them, without its flag.
  if (!saved_ && !automatic_ && isVisible()) DropFactors();
  QDialog::closeEvent(event);
}

}  // namespace lumetra
