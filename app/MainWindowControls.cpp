// The main window's controls: made at their design places, their menu, and what they are wired to.

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolButton>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "app/ProgramPictures.h"
#include "app/UiTexts.h"
#include "charts/ChartPages.h"
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

}  // namespace

void TForm_Exif::Place(QWidget* widget, QRect design) {
  widget->setGeometry(design);
  // Every control holds its font itself: a style sheet above it would otherwise give it Qt's default.
  if (!widget->testAttribute(Qt::WA_SetFont)) widget->setFont(font());
  placed_.push_back({widget, design, widget->font().pixelSize()});
}

void TForm_Exif::CreateControls() {
  client_size_ = kDesignClient;
  window_size_ = kDesignWindow;
  window_font_pixels_ = kDesignFontPixels;
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), window_font_pixels_));
  central_ = new QWidget(this);
  central_->setObjectName("Form_Exif_Client");
  setCentralWidget(central_);

  Panel_Left = new QWidget(central_);
  Panel_Left->setObjectName("Panel_Left");
  Place(Panel_Left, {0, 0, 285, 670});

  const auto speed_button = [this](const char* name, const char* colour, QRect design) {
    auto* button = new QToolButton(Panel_Left);
    button->setObjectName(name);
    button->setStyleSheet(QStringLiteral("QToolButton { color: %1; }").arg(QLatin1String(colour)));
    button->setFont(PixelFont(QStringLiteral("Tahoma"), 16, true));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    Place(button, design);
    return button;
  };
  but_Run = speed_button("but_Run", "navy", {12, 10, 80, 27});
  but_Run->setEnabled(false);
  but_Stop = speed_button("but_Stop", "olive", {12, 10, 80, 27});
  but_Stop->setText(ToQString(kStopCaption));
  but_Stop->setShortcut(QKeySequence(Qt::Key_Escape));
  but_Stop->hide();
  but_Exit = speed_button("but_Exit", "maroon", {192, 10, 80, 27});

  const auto light = [this](const char* name) {
    auto* picture = new QLabel(Panel_Left);
    picture->setObjectName(name);
    picture->setAlignment(Qt::AlignCenter);
    Place(picture, {115, 3, 54, 44});
    return picture;
  };
  im_red = light("im_red");
  im_yellow = light("im_yellow");
  im_yellow->hide();
  im_green = light("im_green");
  im_green->hide();

  Filter_Box = new QGroupBox(Panel_Left);
  Filter_Box->setObjectName("Filter_Box");
  Place(Filter_Box, {5, 45, 275, 52});
  auto* summary = new QScrollArea(Filter_Box);
  summary->setFrameShape(QFrame::NoFrame);
  summary->setWidgetResizable(false);
  summary->setObjectName("SB_Filter");
  SB_Filter = summary;
  Place(SB_Filter, {1, 12, 272, 38});
  auto* summary_labels = new QWidget;
  summary_labels->setObjectName("SB_Filter_Labels");
  summary->setWidget(summary_labels);
  summary_labels->resize(272, 38);
  lb_Filter = new QLabel(summary_labels);
  lb_Filter->setObjectName("lb_Filter");
  lb_Filter->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
  lb_Filter->setStyleSheet(QStringLiteral("color: green;"));
  lb_Filter->setAlignment(Qt::AlignCenter);
  Place(lb_Filter, {48, 5, 180, 20});
  // The criterion labels, placed when a filter is applied.
  for (const std::string_view name : kSummaryLabelNames) {
    auto* label = new QLabel(summary_labels);
    label->setObjectName(ToQString(name));
    label->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    label->setStyleSheet(QStringLiteral("color: green;"));
    label->hide();
    Place(label, {3, 5, 10, 10});
    summary_labels_.push_back(label);
  }

  Box_Settings = new QGroupBox(Panel_Left);
  Box_Settings->setObjectName("Box_Settings");
  for (QGroupBox* box : {Filter_Box, Box_Settings}) box->setStyleSheet(ToQString(kSettingsBoxStyle));
  Place(Box_Settings, {5, 102, 275, 147});
  auto* Panel_Set_Lang = new QWidget(Box_Settings);
  Panel_Set_Lang->setObjectName("Panel_Set_Lang");
  Place(Panel_Set_Lang, {2, 20, 271, 18});
  auto* Panel_Set_OX = new QWidget(Box_Settings);
  Panel_Set_OX->setObjectName("Panel_Set_OX");
  Place(Panel_Set_OX, {2, 60, 271, 18});
  const auto label = [this](QWidget* parent, const char* name, QRect design) {
    auto* text = new QLabel(parent);
    text->setObjectName(name);
    Place(text, design);
    return text;
  };
  const auto radio = [this](QWidget* parent, const char* name, QRect design) {
    auto* button = new QRadioButton(parent);
    button->setObjectName(name);
    Place(button, design);
    return button;
  };
  const auto check = [this](const char* name, QRect design) {
    auto* box = new QCheckBox(Box_Settings);
    box->setObjectName(name);
    box->setChecked(true);
    Place(box, design);
    return box;
  };
  lb_Lang = label(Panel_Set_Lang, "lb_Lang", {3, 1, 58, 17});
  rb_Eng = radio(Panel_Set_Lang, "rb_Eng", {62, 0, 70, 17});
  rb_Eng->setText(ToQString(kEnglishCaption));
  rb_Eng->setChecked(true);
  rb_Rus = radio(Panel_Set_Lang, "rb_Rus", {132, 0, 80, 17});
  rb_Rus->setText(ToQString(kRussianCaption));
  lb_FL = label(Box_Settings, "lb_FL", {5, 41, 58, 17});
  rb_Real = radio(Box_Settings, "rb_Real", {64, 40, 70, 17});
  rb_Real->setChecked(true);
  rb_Equivalent = radio(Box_Settings, "rb_Equivalent", {134, 40, 138, 17});
  lb_Axis = label(Panel_Set_OX, "lb_Axis", {3, 1, 111, 17});
  rb_Text = radio(Panel_Set_OX, "rb_Text", {115, 0, 80, 17});
  rb_Text->setChecked(true);
  rb_Linear = radio(Panel_Set_OX, "rb_Linear", {195, 0, 75, 17});
  cb_CF = check("cb_CF", {5, 80, 236, 17});
  cb_SubFolders = check("cb_SubFolders", {5, 100, 130, 17});
  cb_HideLeft = check("cb_HideLeft", {5, 120, 245, 17});
  cb_HideLeft->setChecked(false);
  // Each pair is a group of its own: Qt's automatic grouping would take in the radio buttons of the
  // panels inside the settings box too.
  for (auto [first, second] :
       {std::pair{rb_Eng, rb_Rus}, std::pair{rb_Real, rb_Equivalent}, std::pair{rb_Text, rb_Linear}}) {
    auto* group = new QButtonGroup(Box_Settings);
    group->addButton(first);
    group->addButton(second);
  }

  myTree = new FolderTree(Panel_Left);
  myTree->setObjectName("myTree");
  Place(myTree, {5, 256, 275, 412});

  Tab_Exif = new ChartTabs(central_);
  Tab_Exif->setObjectName("Tab_Exif");
  Tab_Exif->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));
  Tab_Exif->setTabHeight(kDesignTabHeight);
  Place(Tab_Exif, {285, kTopOfTabs, 725, 662});
  Chart_SBox = new QWidget(Tab_Exif);
  Chart_SBox->setObjectName("Chart_SBox");
  Place(Chart_SBox, {0, 52, 725, 610});
  const auto no_photos = [this](const char* name) {
    auto* picture = new QLabel(Tab_Exif);
    picture->setObjectName(name);
    picture->setScaledContents(true);
    picture->hide();
    return picture;
  };
  im_NoPhoto = no_photos("im_NoPhoto");
  im_NoPhotoEng = no_photos("im_NoPhotoEng");

  auto* status = new QStatusBar(this);
  status->setObjectName("myStatusBar");
  status->setSizeGripEnabled(false);
  setStatusBar(status);
  for (int panel = 0; panel < 3; ++panel) {
    status_panels_[panel] = new QLabel(status);
    status_panels_[panel]->setObjectName(QStringLiteral("myStatusBar_Panel%1").arg(panel));
    status_panels_[panel]->setFrameShape(QFrame::Panel);
    status_panels_[panel]->setFrameShadow(QFrame::Sunken);
    // The credit line takes what the counters leave.
    if (panel < 2) status_panels_[panel]->setFixedWidth(kDesignStatusWidths[panel]);
    status->addWidget(status_panels_[panel], panel < 2 ? 0 : 1);
  }
  status_height_ = kDesignStatusHeight;
  status->setFixedHeight(status_height_);
}

void TForm_Exif::CreateMenu() {
  mSettings = menuBar()->addMenu(QString());
  mSettings->setObjectName("mSettings");
  const auto command = [this](const char* name, QKeySequence key, void (TForm_Exif::*handler)()) {
    auto* action = mSettings->addAction(QString());
    action->setObjectName(name);
    action->setShortcut(key);
    // The keys work wherever the focus is in the window: the tree, the radio buttons, the charts.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  mmHideLeft = command("mmHideLeft", QKeySequence(Qt::Key_F4), &TForm_Exif::HideLeftCommand);
  mmRun = command("mmRun", QKeySequence(Qt::Key_F5), &TForm_Exif::but_RunClick);
  mmRun->setEnabled(false);
  mmShortcut = command("mmShortcut", QKeySequence(Qt::Key_F6), &TForm_Exif::ShortcutCommand);
  mmShortcut->setEnabled(false);
  mmCrop = command("mmCrop", QKeySequence(Qt::Key_F7), &TForm_Exif::CropCommand);
  // A setting, not a command: the next Run reads it, and the settings file keeps it.
  mmAllFormats = mSettings->addAction(QString());
  mmAllFormats->setObjectName("mmAllFormats");
  mmAllFormats->setCheckable(true);
  mmAllFormats->setShortcut(QKeySequence(Qt::Key_F8));
  mmAllFormats->setShortcutContext(Qt::WindowShortcut);
  mmRememberPhotos = mSettings->addAction(QString());
  mmRememberPhotos->setObjectName("mmRememberPhotos");
  mmRememberPhotos->setCheckable(true);
  mmRememberPhotos->setChecked(true);
  mmExit = command("mmExit", QKeySequence(Qt::Key_F10), &TForm_Exif::ExitCommand);
}

void TForm_Exif::ConnectControls() {
  connect(but_Run, &QToolButton::clicked, this, &TForm_Exif::but_RunClick);
  connect(but_Stop, &QToolButton::clicked, this, &TForm_Exif::but_StopClick);
  connect(but_Exit, &QToolButton::clicked, this, &TForm_Exif::ExitCommand);
  connect(myTree, &FolderTree::folderChanged, this, &TForm_Exif::myTreeChange);
  connect(Tab_Exif, &ChartTabs::currentChanged, this, [this](int) { Tab_ExifChange(); });
  connect(rb_Eng, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) LanguageClicked(kEnglish);
  });
  connect(rb_Rus, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) LanguageClicked(kRussian);
  });
  // One handler for each pair: the toggle of the button that becomes checked.
  connect(rb_Real, &QRadioButton::toggled, this, [this](bool) { FocalClicked(); });
  connect(rb_Text, &QRadioButton::toggled, this, [this](bool) { RebuildCharts(RebuildMode::kAll); });
  // A click anywhere on the filter summary opens the filter.
  std::vector<QWidget*> summary = {Filter_Box, SB_Filter, static_cast<QScrollArea*>(SB_Filter)->widget(), lb_Filter};
  summary.insert(summary.end(), summary_labels_.begin(), summary_labels_.end());
  for (QWidget* target : summary) target->installEventFilter(this);
}

bool TForm_Exif::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->isEnabled()) {
    Filter_BoxClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm_Exif::DrawPictures() {
  const auto light = [](QLabel* label, TrafficLight which) {
    label->setPixmap(TrafficLightPicture(which).scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  };
  light(im_red, TrafficLight::kRed);
  light(im_yellow, TrafficLight::kYellow);
  light(im_green, TrafficLight::kGreen);
  im_NoPhoto->setPixmap(NoPhotosPicture(kRussian));
  im_NoPhotoEng->setPixmap(NoPhotosPicture(kEnglish));
  PlaceNoPhotos();
}

void TForm_Exif::PlaceNoPhotos() {
  // In the chart area's place: the picture stands for the charts that are not there.
  im_NoPhoto->setGeometry(Chart_SBox->geometry());
  im_NoPhotoEng->setGeometry(Chart_SBox->geometry());
}

}  // namespace lumetra
