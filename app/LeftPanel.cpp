#include "app/LeftPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "app/FolderTree.h"
#include "app/MainWindowDesign.h"
#include "app/ProgramPictures.h"
#include "app/UiTexts.h"
#include "filter/FilterSummary.h"

namespace lumetra {

using namespace detail;

namespace {

// The boxes of the left panel as the window was designed with them: the caption stands on the frame's top line.
constexpr std::string_view kSettingsBoxStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"
    // The captions beside the buttons were laid out for Windows' narrow gap after the round or square mark.
    "QRadioButton, QCheckBox { spacing: 3px; }";

template <typename Control>
Control* Make(QWidget* parent, const char* name, QRect design, const LeftPanel::PlaceControl& place) {
  auto* control = new Control(parent);
  control->setObjectName(name);
  place(control, design);
  return control;
}

}  // namespace

LeftPanel::LeftPanel(QWidget* parent, const PlaceControl& place, ProgramSettings& options)
    : QWidget(parent), options_(options) {
  setObjectName("Panel_Left");
  place(this, {0, 0, 285, 670});
  CreateButtons(place);
  CreateFilterBox(place);
  CreateSettingsBox(place);
  myTree = Make<FolderTree>(this, "myTree", {5, 256, 275, 412}, place);
  BindOptions();
}

void LeftPanel::CreateButtons(const PlaceControl& place) {
  const auto speed_button = [this, &place](const char* name, const char* colour, QRect design) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setStyleSheet(QStringLiteral("QToolButton { color: %1; }").arg(QLatin1String(colour)));
    button->setFont(PixelFont(QStringLiteral("Tahoma"), 16, true));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    place(button, design);
    return button;
  };
  but_Run = speed_button("but_Run", "navy", {12, 10, 80, 27});
  but_Run->setEnabled(false);
  but_Stop = speed_button("but_Stop", "olive", {12, 10, 80, 27});
  but_Stop->setText(ToQString(kStopCaption));
  but_Stop->setShortcut(QKeySequence(Qt::Key_Escape));
  but_Stop->hide();
  but_Exit = speed_button("but_Exit", "maroon", {192, 10, 80, 27});

  const auto light = [this, &place](const char* name) {
    auto* picture = Make<QLabel>(this, name, {115, 3, 54, 44}, place);
    picture->setAlignment(Qt::AlignCenter);
    return picture;
  };
  im_red = light("im_red");
  im_yellow = light("im_yellow");
  im_yellow->hide();
  im_green = light("im_green");
  im_green->hide();
}

void LeftPanel::CreateFilterBox(const PlaceControl& place) {
  Filter_Box = Make<QGroupBox>(this, "Filter_Box", {5, 45, 275, 52}, place);
  auto* summary = new QScrollArea(Filter_Box);
  summary->setFrameShape(QFrame::NoFrame);
  summary->setWidgetResizable(false);
  summary->setObjectName("SB_Filter");
  SB_Filter = summary;
  place(SB_Filter, {1, 12, 272, 38});
  auto* summary_labels = new QWidget;
  summary_labels->setObjectName("SB_Filter_Labels");
  summary->setWidget(summary_labels);
  summary_labels->resize(272, 38);
  lb_Filter = new QLabel(summary_labels);
  lb_Filter->setObjectName("lb_Filter");
  lb_Filter->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
  lb_Filter->setStyleSheet(QStringLiteral("color: green;"));
  lb_Filter->setAlignment(Qt::AlignCenter);
  place(lb_Filter, {48, 5, 180, 20});
  // The criterion labels, placed when a filter is applied.
  for (const std::string_view name : kSummaryLabelNames) {
    auto* label = new QLabel(summary_labels);
    label->setObjectName(ToQString(name));
    label->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    label->setStyleSheet(QStringLiteral("color: green;"));
    label->hide();
    place(label, {3, 5, 10, 10});
    summary_labels_.push_back(label);
  }
  // A click anywhere on the filter summary opens the filter.
  std::vector<QWidget*> targets = {Filter_Box, SB_Filter, summary_labels, lb_Filter};
  targets.insert(targets.end(), summary_labels_.begin(), summary_labels_.end());
  for (QWidget* target : targets) target->installEventFilter(this);
}

void LeftPanel::CreateSettingsBox(const PlaceControl& place) {
  Box_Settings = Make<QGroupBox>(this, "Box_Settings", {5, 102, 275, 147}, place);
  for (QGroupBox* box : {Filter_Box, Box_Settings}) box->setStyleSheet(ToQString(kSettingsBoxStyle));
  auto* Panel_Set_Lang = Make<QWidget>(Box_Settings, "Panel_Set_Lang", {2, 20, 271, 18}, place);
  auto* Panel_Set_OX = Make<QWidget>(Box_Settings, "Panel_Set_OX", {2, 60, 271, 18}, place);
  Make<QLabel>(Panel_Set_Lang, "lb_Lang", {3, 1, 58, 17}, place);
  rb_Eng = Make<QRadioButton>(Panel_Set_Lang, "rb_Eng", {62, 0, 70, 17}, place);
  rb_Eng->setText(ToQString(kEnglishCaption));
  rb_Eng->setChecked(true);
  rb_Rus = Make<QRadioButton>(Panel_Set_Lang, "rb_Rus", {132, 0, 80, 17}, place);
  rb_Rus->setText(ToQString(kRussianCaption));
  Make<QLabel>(Box_Settings, "lb_FL", {5, 41, 58, 17}, place);
  rb_Real = Make<QRadioButton>(Box_Settings, "rb_Real", {64, 40, 70, 17}, place);
  rb_Real->setChecked(true);
  rb_Equivalent = Make<QRadioButton>(Box_Settings, "rb_Equivalent", {134, 40, 138, 17}, place);
  Make<QLabel>(Panel_Set_OX, "lb_Axis", {3, 1, 111, 17}, place);
  rb_Text = Make<QRadioButton>(Panel_Set_OX, "rb_Text", {115, 0, 80, 17}, place);
  rb_Text->setChecked(true);
  rb_Linear = Make<QRadioButton>(Panel_Set_OX, "rb_Linear", {195, 0, 75, 17}, place);
  cb_CF = Make<QCheckBox>(Box_Settings, "cb_CF", {5, 80, 236, 17}, place);
  cb_SubFolders = Make<QCheckBox>(Box_Settings, "cb_SubFolders", {5, 100, 130, 17}, place);
  cb_HideLeft = Make<QCheckBox>(Box_Settings, "cb_HideLeft", {5, 120, 245, 17}, place);
  cb_CF->setChecked(true);
  cb_SubFolders->setChecked(true);
  // Each pair is a group of its own: Qt's automatic grouping would take in the radio buttons of the
  // panels inside the settings box too.
  for (auto [first, second] :
       {std::pair{rb_Eng, rb_Rus}, std::pair{rb_Real, rb_Equivalent}, std::pair{rb_Text, rb_Linear}}) {
    auto* group = new QButtonGroup(Box_Settings);
    group->addButton(first);
    group->addButton(second);
  }
}

void LeftPanel::BindOptions() {
  // The first of each pair says which is checked: its toggle comes with either click.
  connect(rb_Rus, &QRadioButton::toggled, this,
          [this](bool checked) { options_.UiLanguage = checked ? kRussian : kEnglish; });
  const auto bind = [this](QAbstractButton* control, bool ProgramSettings::*field) {
    connect(control, &QAbstractButton::toggled, this, [this, field](bool checked) { options_.*field = checked; });
  };
  bind(rb_Real, &ProgramSettings::rb_Real);
  bind(rb_Text, &ProgramSettings::rb_Text);
  bind(cb_CF, &ProgramSettings::cb_CF);
  bind(cb_SubFolders, &ProgramSettings::cb_SubFolders);
  bind(cb_HideLeft, &ProgramSettings::cb_HideLeft);
}

void LeftPanel::ShowOptions() {
  (options_.UiLanguage == kRussian ? rb_Rus : rb_Eng)->setChecked(true);
  (options_.rb_Real ? rb_Real : rb_Equivalent)->setChecked(true);
  (options_.rb_Text ? rb_Text : rb_Linear)->setChecked(true);
  cb_CF->setChecked(options_.cb_CF);
  cb_SubFolders->setChecked(options_.cb_SubFolders);
  cb_HideLeft->setChecked(options_.cb_HideLeft);
}

void LeftPanel::ShowLight(Light light) {
  im_red->setVisible(light == Light::kRed);
  im_yellow->setVisible(light == Light::kYellow);
  im_green->setVisible(light == Light::kGreen);
}

bool LeftPanel::GreenLight() const { return !im_green->isHidden(); }

void LeftPanel::ShowRunning(bool running) {
  but_Run->setVisible(!running);
  but_Stop->setVisible(running);
  // While the walk goes on nothing may reset or rebuild what it counts.
  for (QWidget* control :
       {static_cast<QWidget*>(Filter_Box), static_cast<QWidget*>(Box_Settings), static_cast<QWidget*>(myTree)}) {
    control->setEnabled(!running);
  }
}

void LeftPanel::DrawLights() {
  const auto light = [](QLabel* label, TrafficLight which) {
    label->setPixmap(TrafficLightPicture(which).scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  };
  light(im_red, TrafficLight::kRed);
  light(im_yellow, TrafficLight::kYellow);
  light(im_green, TrafficLight::kGreen);
}

void LeftPanel::CentreNoFilter() {
  lb_Filter->move(static_cast<int>(std::nearbyint((Filter_Box->contentsRect().width() - lb_Filter->width()) / 2.0)),
                  lb_Filter->y());
}

void LeftPanel::KeepNoFilterHeights() {
  filter_box_height_ = Filter_Box->height();
  sb_filter_height_ = SB_Filter->height();
}

bool LeftPanel::NoFilterShown() const { return !lb_Filter->isHidden(); }

bool LeftPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->isEnabled()) {
    emit filterBoxClicked();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void LeftPanel::ShowFilterSummary(const FilterCriteria& criteria, Language language, int64_t koef, int tree_bottom) {
  const std::vector<SummaryLabel> labels = BuildFilterSummary(criteria, language);
  for (QLabel* label : summary_labels_) label->hide();
  auto* summary = static_cast<QScrollArea*>(SB_Filter);
  if (labels.empty()) {
    lb_Filter->show();
    Filter_Box->resize(Filter_Box->width(), filter_box_height_);
    SB_Filter->resize(SB_Filter->width(), sb_filter_height_);
    summary->widget()->resize(SB_Filter->width(), sb_filter_height_);
    LayOutBelowSummary(tree_bottom);
    return;
  }
  lb_Filter->hide();
  const SummaryLayout layout = LayOutFilterSummary(labels, koef, height());
  int content_width = 0;
  int content_height = 0;
  for (size_t i = 0; i < labels.size(); ++i) {
    QLabel* label = findChild<QLabel*>(ToQString(labels[i].control));
    QString text = ToQString(labels[i].text);
    // The list lines follow carriage returns; a label breaks its lines at line feeds.
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    label->setText(text);
    label->adjustSize();
    label->move(3, layout.tops[i]);
    label->show();
    content_width = std::max(content_width, label->x() + label->width() + 3);
    content_height = std::max(content_height, label->y() + label->height() + 3);
  }
  Filter_Box->resize(Filter_Box->width(), layout.filter_box_height);
  SB_Filter->resize(SB_Filter->width(), layout.sb_filter_height);
  // The labels fill the box's width, less the vertical scroll bar when they are taller than the box;
  // only a longer name scrolls sideways.
  const int scroll_bar =
      content_height > layout.sb_filter_height ? summary->verticalScrollBar()->sizeHint().width() : 0;
  content_width = std::max(content_width, SB_Filter->width() - scroll_bar);
  summary->widget()->resize(content_width, std::max(content_height, layout.sb_filter_height));
  LayOutBelowSummary(tree_bottom);
}

void LeftPanel::LayOutBelowSummary(int tree_bottom) {
  Box_Settings->move(Box_Settings->x(), Filter_Box->y() + Filter_Box->height() + 5);
  const int tree_top = Box_Settings->y() + Box_Settings->height() + 10;
  myTree->setGeometry(myTree->x(), tree_top, myTree->width(), tree_bottom - tree_top);
}

}  // namespace lumetra
