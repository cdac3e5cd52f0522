#include "filter/FilterDialog.h"

#include <cmath>
#include <span>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QValidator>

#include "filter/ApplyChecks.h"
#include "filter/CurrentRangeTexts.h"
#include "filter/FilterDialogTexts.h"
#include "widgets/QtText.h"

namespace lumetra {
namespace {

// The background of a bound box or check list that Apply refuses.
const QColor kInvalidColour(0xF0, 0x97, 0xCF);

// The row of the date and hour boxes below the category boxes, and the buttons below it.
constexpr int kTimeRowTop = 583;
constexpr int kTimeRowHeight = 92;
constexpr int kButtonsTop = 683;
constexpr QSize kWindowSize(657, 735);
// The window's title bar, which the centring leaves room for.
constexpr int kTitleBarHeight = 30;

constexpr std::string_view kGroupStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.6em; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }";

// Refuses an edit of a bound box that its rules do not allow, typed or pasted alike, so the box keeps its
// last accepted text and the caret stays where it was.
class BoundValidator : public QValidator {
 public:
  BoundValidator(BoundKind kind, QLineEdit* edit) : QValidator(edit), kind_(kind) {
    // The box has already taken the edit when it asks: the text before it is remembered here.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { last_accepted_ = text.toStdString(); });
  }

  State validate(QString& input, int& /*position*/) const override {
    const std::string after = input.toStdString();
    return EditedBoundText(kind_, last_accepted_, after) == after ? Acceptable : Invalid;
  }

 private:
  BoundKind kind_;
  std::string last_accepted_;
};

struct BoundGroup {
  const char* box;
  QRect place;
  BoundKind kind;
  int edit_left_from;
  int edit_left_to;
  int edit_width;
  // Where the current range stands.
  int now_top;
  // The "from" and "to" labels' places in both languages; 0: where BoundLabelLeftsIn puts them.
  int label_left_from;
  int label_left_to;
};

constexpr BoundGroup kBoundGroups[] = {
    {"Box_ShutterSpeed", {16, 8, 305, 100}, BoundKind::kExposure, 70, 206, 70, 70, 0, 0},
    {"Box_Fnumber", {16, 118, 305, 100}, BoundKind::kFNumber, 90, 226, 45, 70, 0, 0},
    {"Box_FocalLength", {16, 228, 305, 100}, BoundKind::kFocal, 70, 206, 70, 70, 0, 0},
    {"Box_ISO", {16, 338, 305, 100}, BoundKind::kIso, 70, 206, 70, 70, 0, 0},
    // A day takes ten characters: the date's boxes are wider and its words stand at the edges.
    {"Box_Date", {16, kTimeRowTop, 305, kTimeRowHeight}, BoundKind::kDate, 48, 190, 106, 64, 8, 160},
    {"Box_Hours", {326, kTimeRowTop, 305, kTimeRowHeight}, BoundKind::kHour, 70, 206, 70, 64, 0, 0},
};
constexpr int kBoundGroupCount = static_cast<int>(std::size(kBoundGroups));

constexpr std::string FilterCriteria::*kBoundFields[] = {
    &FilterCriteria::ed_from1, &FilterCriteria::ed_to1, &FilterCriteria::ed_from2, &FilterCriteria::ed_to2,
    &FilterCriteria::ed_from3, &FilterCriteria::ed_to3, &FilterCriteria::ed_from4, &FilterCriteria::ed_to4,
    &FilterCriteria::ed_from5, &FilterCriteria::ed_to5, &FilterCriteria::ed_from6, &FilterCriteria::ed_to6,
};
static_assert(std::size(kBoundFields) == 2 * std::size(kBoundGroups), "every bound group has its two fields");

// Where each category box stands in its group, in the order of the category boxes (programs, then meterings).
constexpr QPoint kCategoryPlaces[] = {
    {8, 25},    {8, 50},   {8, 75}, {8, 100}, {216, 25}, {216, 50}, {216, 75},
    {216, 100}, {144, 30}, {8, 90}, {8, 60},  {8, 30},   {144, 60}, {144, 90},
};

constexpr int kCheckListRowHeight = 19;

}  // namespace

TForm_Filter::TForm_Filter(FilterCriteria& criteria, QWidget* parent)
    : QDialog(parent), criteria_(criteria), shown_with_(criteria) {
  setObjectName("Form_Filter");
  setModal(true);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  setFixedSize(kWindowSize);
  CreateControls();
  ConnectControls();
}

QGroupBox* TForm_Filter::CreateGroup(const char* name, QRect design) {
  auto* box = new QGroupBox(this);
  box->setObjectName(name);
  box->setGeometry(design);
  box->setStyleSheet(ToQString(kGroupStyle));
  // The caption's font; the controls inside hold their own.
  box->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
  return box;
}

void TForm_Filter::CreateBoundGroup(int index) {
  const BoundGroup& group = kBoundGroups[index];
  QGroupBox* box = CreateGroup(group.box, group.place);
  const auto label = [box](const QString& name, QPoint place, const QFont& font) {
    auto* text = new QLabel(box);
    text->setObjectName(name);
    text->setFont(font);
    text->move(place);
    return text;
  };
  const QFont word_font = PixelFont(QStringLiteral("Tahoma"), 16, true);
  const int number = index + 1;
  lb_from_[index] = label(QStringLiteral("lb_from%1").arg(number), {42, 35}, word_font);
  lb_to_[index] = label(QStringLiteral("lb_to%1").arg(number), {176, 35}, word_font);
  lb_Now_[index] =
      label(QStringLiteral("lb_Now%1").arg(number), {10, group.now_top}, PixelFont(QStringLiteral("Tahoma"), 11, true));
  lb_Now_[index]->setStyleSheet(QStringLiteral("color: green;"));
  for (int side = 0; side < 2; ++side) {
    auto* edit = new QLineEdit(box);
    edit->setObjectName((side == 0 ? QStringLiteral("ed_from%1") : QStringLiteral("ed_to%1")).arg(number));
    edit->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
    edit->setGeometry(side == 0 ? group.edit_left_from : group.edit_left_to, 30, group.edit_width, 28);
    edit->setValidator(new BoundValidator(group.kind, edit));
    const size_t slot = static_cast<size_t>(index * 2 + side);
    bounds_[slot] = {edit, kBoundFields[slot]};
  }
}

QCheckBox* TForm_Filter::CreateCategoryBox(QWidget* parent, const CategoryBox& box, QPoint place) {
  auto* check = new QCheckBox(parent);
  check->setObjectName(QStringLiteral("cb_") + ToQString(box.name));
  check->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13));
  check->move(place);
  // Reached with the mouse or by a click on the group; Tab goes through the bounds and the buttons.
  check->setFocusPolicy(Qt::ClickFocus);
  category_boxes_.emplace_back(check, box.box);
  return check;
}

QScrollArea* TForm_Filter::CreateCheckList(QGroupBox* parent, const char* name) {
  auto* list = new QScrollArea(parent);
  list->setObjectName(name);
  list->setFrameShape(QFrame::NoFrame);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setWidgetResizable(false);
  list->setGeometry(2, 18, 300, 80);
  list->viewport()->setAutoFillBackground(true);
  return list;
}

std::array<QRadioButton*, 2> TForm_Filter::CreateRadioPair(const char* box_name, int top, const char* first,
                                                           const char* second, const char* clear_name,
                                                           QButtonGroup*& group, QPushButton*& clear) {
  QGroupBox* box = CreateGroup(box_name, {326, top, 305, 100});
  std::array<QRadioButton*, 2> buttons{};
  int y = 30;
  for (const char* name : {first, second}) {
    auto* button = new QRadioButton(box);
    button->setObjectName(name);
    button->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13));
    button->move(16, y);
    buttons[y == 30 ? 0 : 1] = button;
    y += 30;
  }
  // The two buttons of a pair exclude each other, and Clear may uncheck both.
  group = new QButtonGroup(box);
  group->addButton(buttons[0]);
  group->addButton(buttons[1]);
  clear = new QPushButton(box);
  clear->setObjectName(clear_name);
  clear->setFont(font());
  clear->setGeometry(239, 70, 60, 25);
  clear->setAutoDefault(false);
  return buttons;
}

void TForm_Filter::CreateControls() {
  for (int index = 0; index < kBoundGroupCount; ++index) CreateBoundGroup(index);
  QGroupBox* Box_Program = CreateGroup("Box_Program", {16, 448, 305, 125});
  QGroupBox* Box_Meter = CreateGroup("Box_Meter", {326, 448, 305, 125});
  for (size_t i = 0; i < kCategoryBoxes.size(); ++i) {
    const CategoryBox& box = kCategoryBoxes[i];
    CreateCategoryBox(box.group == BoxGroup::kProgram ? Box_Program : Box_Meter, box, kCategoryPlaces[i]);
  }

  const auto flash =
      CreateRadioPair("Box_Flash", 8, "rb_Flash_Yes", "rb_Flash_No", "but_Flash", flash_group_, but_Flash);
  rb_Flash_Yes = flash[0];
  rb_Flash_No = flash[1];
  const auto orientation = CreateRadioPair("Box_Orientation", 118, "rb_Orientation_H", "rb_Orientation_V",
                                           "but_Orientation", orientation_group_, but_Orientation);
  rb_Orientation_H = orientation[0];
  rb_Orientation_V = orientation[1];

  ScrollBox_Photo = CreateCheckList(CreateGroup("Box_Model", {326, 228, 305, 100}), "ScrollBox_Photo");
  ScrollBox_Lens = CreateCheckList(CreateGroup("Box_Lens", {326, 338, 305, 100}), "ScrollBox_Lens");

  const auto button = [this](const char* name, int left) {
    auto* push = new QPushButton(this);
    push->setObjectName(name);
    push->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13));
    push->setGeometry(left, kButtonsTop, 120, 40);
    return push;
  };
  but_OK = button("but_OK", 134);
  but_Clear = button("but_Clear", 258);
  but_Close = button("but_Close", 382);
  // Enter applies wherever the focus is; Escape cancels (QDialog's own key).
  but_OK->setDefault(true);
  but_Clear->setAutoDefault(false);
  but_Close->setAutoDefault(false);

  ChainTabOrder();
}

void TForm_Filter::ChainTabOrder() {
  // Tab runs through the bounds in reading order, then the choices, the lists, the date and hours below the
  // category boxes, and the buttons.
  QWidget* previous = nullptr;
  const auto chain = [&previous](QWidget* next) {
    if (previous != nullptr) QWidget::setTabOrder(previous, next);
    previous = next;
  };
  constexpr size_t kTimeBounds = 4;
  for (size_t i = 0; i + kTimeBounds < bounds_.size(); ++i) chain(bounds_[i].edit);
  for (QWidget* next : std::initializer_list<QWidget*>{rb_Flash_Yes, but_Flash, rb_Orientation_H, but_Orientation,
                                                       ScrollBox_Photo, ScrollBox_Lens}) {
    chain(next);
  }
  for (size_t i = bounds_.size() - kTimeBounds; i < bounds_.size(); ++i) chain(bounds_[i].edit);
  for (QWidget* next : std::initializer_list<QWidget*>{but_OK, but_Clear, but_Close}) chain(next);
}

void TForm_Filter::ConnectControls() {
  // The criteria follow every edit at once: a run started later counts with what the dialog shows.
  for (const BoundBox& bound : bounds_) {
    connect(bound.edit, &QLineEdit::textChanged, this, [this, bound](const QString& text) {
      if (!showing_criteria_) criteria_.*bound.field = text.toStdString();
    });
  }
  for (const auto& [check, field] : category_boxes_) {
    connect(check, &QCheckBox::toggled, this, [this, field = field](bool checked) {
      if (!showing_criteria_) criteria_.*field = checked;
    });
  }
  const std::pair<QRadioButton*, bool FilterCriteria::*> radios[] = {
      {rb_Flash_Yes, &FilterCriteria::rb_Flash_Yes},
      {rb_Flash_No, &FilterCriteria::rb_Flash_No},
      {rb_Orientation_H, &FilterCriteria::rb_Orientation_H},
      {rb_Orientation_V, &FilterCriteria::rb_Orientation_V},
  };
  for (const auto& [radio, field] : radios) {
    connect(radio, &QRadioButton::toggled, this, [this, field = field](bool checked) {
      if (!showing_criteria_) criteria_.*field = checked;
    });
  }
  connect(but_OK, &QPushButton::clicked, this, &TForm_Filter::but_OKClick);
  connect(but_Clear, &QPushButton::clicked, this, &TForm_Filter::but_ClearClick);
  connect(but_Close, &QPushButton::clicked, this, &TForm_Filter::but_CloseClick);
  connect(but_Flash, &QPushButton::clicked, this, &TForm_Filter::but_FlashClick);
  connect(but_Orientation, &QPushButton::clicked, this, &TForm_Filter::but_OrientationClick);
}

void TForm_Filter::Show(const FilterDialogContext& context) {
  context_ = context;
  shown_with_ = criteria_;
  FormShow();
  FormActivate();
  show();
  activateWindow();
  bounds_[0].edit->setFocus();
}

bool TForm_Filter::Open(const FilterDialogContext& context) {
  Show(context);
  return exec() == QDialog::Accepted;
}

void TForm_Filter::FormShow() {
  // The category boxes and radio buttons as last applied.
  RestoreAppliedChoices(criteria_, applied_);
  ShowCriteria();
  const QSize screen = context_.screen.isEmpty() ? QSize(1024, 768) : context_.screen;
  move(static_cast<int>(std::nearbyint((screen.width() - width()) / 2.0)),
       static_cast<int>(std::nearbyint((screen.height() - height() - kTitleBarHeight) / 2.0)));
  SetNormalBackgrounds();
  const ValueRanges ranges = context_.survey != nullptr ? context_.survey->CurrentRanges : ValueRanges{};
  const std::array<std::string, 4> texts =
      CurrentRangeTexts(ranges, context_.rb_Real, context_.language, context_.separator);
  const std::array<std::string, 2> time_texts = TimeRangeTexts(ranges, context_.language);
  for (size_t i = 0; i < lb_Now_.size(); ++i) {
    const std::string& text = i < texts.size() ? texts[i] : time_texts[i - texts.size()];
    lb_Now_[i]->setText(QString::fromStdString(text));
    lb_Now_[i]->adjustSize();
  }
}

void TForm_Filter::FormActivate() {
  const Language language = context_.language;
  setWindowTitle(ToQString(kFilterDialogTitle.In(language)));
  for (const std::span<const FilterCaption> captions :
       {std::span<const FilterCaption>(kFilterCaptions), std::span<const FilterCaption>(kTimeFilterCaptions)}) {
    for (const FilterCaption& caption : captions) SetCaption(caption, language);
  }
  const BoundLabelLefts lefts = BoundLabelLeftsIn(language);
  for (size_t i = 0; i < lb_from_.size(); ++i) {
    const BoundGroup& group = kBoundGroups[i];
    lb_from_[i]->move(group.label_left_from != 0 ? group.label_left_from : lefts.from, lb_from_[i]->y());
    const int to = i == 1 ? lefts.to_fnumber : lefts.to;
    lb_to_[i]->move(group.label_left_to != 0 ? group.label_left_to : to, lb_to_[i]->y());
  }
}

void TForm_Filter::SetCaption(const FilterCaption& caption, Language language) {
  QObject* control = findChild<QObject*>(ToQString(caption.control));
  const QString text = ToQString(caption.text.In(language));
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
    if (qobject_cast<QPushButton*>(control) == nullptr) button->adjustSize();
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
    label->adjustSize();
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(text);
  }
}

void TForm_Filter::ShowCriteria() {
  showing_criteria_ = true;
  for (const BoundBox& bound : bounds_) {
    const QString text = QString::fromStdString(criteria_.*bound.field);
    if (bound.edit->text() != text) bound.edit->setText(text);
  }
  for (const auto& [check, field] : category_boxes_) check->setChecked(criteria_.*field);
  for (auto [group, first, second, first_on, second_on] :
       {std::tuple{flash_group_, rb_Flash_Yes, rb_Flash_No, criteria_.rb_Flash_Yes, criteria_.rb_Flash_No},
        std::tuple{orientation_group_, rb_Orientation_H, rb_Orientation_V, criteria_.rb_Orientation_H,
                   criteria_.rb_Orientation_V}}) {
    // An exclusive group cannot uncheck its checked button; for a moment it is not exclusive.
    group->setExclusive(false);
    first->setChecked(first_on);
    second->setChecked(second_on && !first_on);
    group->setExclusive(true);
  }
  RebuildCheckList(ScrollBox_Photo, criteria_.ModelChecks);
  RebuildCheckList(ScrollBox_Lens, criteria_.LensChecks);
  showing_criteria_ = false;
}

void TForm_Filter::RebuildCheckList(QScrollArea* list, std::vector<CheckEntry>& entries) {
  // The list is a view of the criteria's entries, built again each time: the survey may have changed them.
  auto* content = new QWidget;
  content->setObjectName(list->objectName() + QStringLiteral("_Entries"));
  content->setAutoFillBackground(true);
  const int width = list->width() - 18;
  int y = 2;
  for (size_t i = 0; i < entries.size(); ++i) {
    auto* check = new QCheckBox(ToQString(entries[i].text), content);
    check->setObjectName(QStringLiteral("%1_%2").arg(list->objectName()).arg(i));
    check->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13));
    check->setChecked(entries[i].checked);
    check->setGeometry(4, y, width, kCheckListRowHeight - 1);
    check->setToolTip(check->text());
    connect(check, &QCheckBox::toggled, this, [&entries, i](bool checked) {
      if (i < entries.size()) entries[i].checked = checked;
    });
    y += kCheckListRowHeight;
  }
  content->resize(list->width() - 2, std::max(y + 2, list->height()));
  content->setPalette(list->viewport()->palette());
  delete list->takeWidget();
  list->setWidget(content);
}

void TForm_Filter::SetBoxColour(QWidget* widget, bool invalid) {
  if (auto* list = qobject_cast<QScrollArea*>(widget)) {
    const QColor colour = invalid ? kInvalidColour : list->palette().color(QPalette::Button);
    for (QWidget* surface : {list->viewport(), list->widget()}) {
      if (surface == nullptr) continue;
      QPalette own = surface->palette();
      own.setColor(QPalette::Window, colour);
      surface->setPalette(own);
    }
    return;
  }
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, invalid ? kInvalidColour : QPalette().color(QPalette::Base));
  widget->setPalette(palette);
}

void TForm_Filter::SetNormalBackgrounds() {
  for (const BoundBox& bound : bounds_) SetBoxColour(bound.edit, false);
  SetBoxColour(ScrollBox_Photo, false);
  SetBoxColour(ScrollBox_Lens, false);
}

void TForm_Filter::but_FlashClick() {
  criteria_.rb_Flash_Yes = false;
  criteria_.rb_Flash_No = false;
  ShowCriteria();
}

void TForm_Filter::but_OrientationClick() {
  criteria_.rb_Orientation_H = false;
  criteria_.rb_Orientation_V = false;
  ShowCriteria();
}

void TForm_Filter::but_ClearClick() {
  ClearCriteria(criteria_);
  ShowCriteria();
  SetNormalBackgrounds();
}

void TForm_Filter::but_OKClick() {
  SetNormalBackgrounds();
  const int32_t processed = context_.survey != nullptr ? context_.survey->processedCount : 0;
  const ApplyCheckResult checked = CheckApply(criteria_, processed);
  if (checked.valid) StoreAppliedFilter(criteria_, applied_);
  // The boxes show what is applied, or what was refused: 2/500 has been rewritten as 1/250.
  ShowCriteria();
  if (checked.valid) {
    accept();
    return;
  }
  const PaintedBoxes& painted = checked.painted;
  const bool bound_painted[] = {painted.ed_from1, painted.ed_to1, painted.ed_from2, painted.ed_to2,
                                painted.ed_from3, painted.ed_to3, painted.ed_from4, painted.ed_to4,
                                painted.ed_from5, painted.ed_to5, painted.ed_from6, painted.ed_to6};
  for (size_t i = 0; i < bounds_.size(); ++i) SetBoxColour(bounds_[i].edit, bound_painted[i]);
  SetBoxColour(ScrollBox_Photo, painted.ScrollBox_Photo);
  SetBoxColour(ScrollBox_Lens, painted.ScrollBox_Lens);
}

void TForm_Filter::but_CloseClick() { reject(); }

void TForm_Filter::reject() {
  // Whatever was changed since the dialog was shown is dropped: the filter stays as it was applied.
  criteria_ = shown_with_;
  criteria_.keepChecks = false;
  QDialog::reject();
}

}  // namespace lumetra
