#include "app/Lumetra_main.h"

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/ProgramPictures.h"
#include "app/SettingsFile.h"
#include "app/UiTexts.h"
#include "app/platform/ProgramFolder.h"
#include "app/platform/ShellFolders.h"
#include "app/platform/WindowsFonts.h"
#include "charts/BuildChartSeries.h"
#include "charts/ChartPages.h"
#include "survey/SurveyRun.h"
#include "survey/SurveyTexts.h"

namespace lumetra {
namespace {

// The design: a window of 1024 x 742 on a screen of 1024 x 768, whose client area (below the menu,
// the status bar included) is 1016 x 726.
constexpr int kDesignScreenWidth = 1024;
constexpr int kDesignScreenHeight = 768;
constexpr QSize kDesignWindow(1024, 742);
constexpr QSize kDesignClient(1016, 726);
constexpr int kDesignStatusHeight = 19;
constexpr int kDesignStatusWidths[3] = {210, 200, 50};
constexpr int kDesignTabHeight = 25;
// The two rows of eight tabs leave this much of the tab control's width free.
constexpr int kTabRowSlack = 29;
constexpr int kTopOfTabs = 8;
// A count on the status bar is rewritten at most this often during a run; the last one is exact.
constexpr int kCounterIntervalMs = 100;
// Group boxes as the window was designed with them: the caption stands on the frame's top line.
constexpr std::string_view kGroupBoxStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }";

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont PixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// A design length at the screen's width: length x W / 1024, rounded to nearest, ties to even.
int ScaleLength(int length, int screen_width) {
  return static_cast<int>(std::nearbyint(static_cast<double>(length) * screen_width / kDesignScreenWidth));
}

// A fixed-point factor in 1/10000: numerator / denominator rounded to four decimals.
int64_t Factor(int numerator, int denominator) {
  return static_cast<int64_t>(std::nearbyint(static_cast<double>(numerator) * 10000.0 / denominator));
}

// A factor in the general number format with the user's decimal separator: 1.25, 1.3333, 1.
QString FactorText(int64_t factor) {
  QString text = QString::number(static_cast<double>(factor) / 10000.0, 'g', 15);
  return text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

void SetCaption(QObject* control, const QString& caption) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(caption);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(caption);
  } else if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(caption);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(caption);
  }
}

}  // namespace

TForm_Exif::TForm_Exif(WindowStart start, QWidget* parent)
    : QMainWindow(parent), report_error_([this](const QString& message) {
        QMessageBox::warning(this, windowTitle(), message);
      }) {
  setObjectName("Form_Exif");
  SubstituteWindowsFonts();
  // 1. Nothing changed in the crop store, no unknown camera met: the state starts empty.
  // 2. The caption with the version; the tabs are always drawn by the program here.
  setWindowTitle(QStringLiteral("Lumetra ") + QStringLiteral(LUMETRA_VERSION));
  setWindowIcon(ProgramIcon());
  CreateControls();
  CreateMenu();
  pages_ = std::make_unique<ChartPages>(charts_, *Chart_SBox);
  pages_->SetClickHandler([this](ChartId chart) { ChartClicked(chart); });
  ConnectControls();

  // 4. The summary box's design heights, which the no-filter state gives back.
  filter_box_height_ = Filter_Box->height();
  sb_filter_height_ = SB_Filter->height();

  // 5-8. The layout log and the scaling to the screen.
  program_folder_ = start.program_folder.empty() ? ProgramFolder() : start.program_folder;
  const QString first_argument = start.arguments.value(0);
  trace_mode_ = first_argument == QStringLiteral("test");
  layout_log_ = std::make_unique<LayoutLog>(program_folder_ / "log.txt", first_argument == QStringLiteral("i"));
  QSize screen = start.screen;
  if (screen.isEmpty() && QGuiApplication::primaryScreen() != nullptr) {
    screen = QGuiApplication::primaryScreen()->geometry().size();
  }
  if (screen.isEmpty()) screen = QSize(kDesignScreenWidth, kDesignScreenHeight);
  layout_log_->Log("ScreenWidth = ", screen.width());
  layout_log_->Log("ScreenHeight = ", screen.height());
  if (screen.width() != kDesignScreenWidth) ScaleToScreen(screen);
  layout_log_->Log("end", "");
  if (layout_log_->failure()) ReportError(Text(*layout_log_->failure()));

  // 9. The window keeps the size it starts with.
  setFixedSize(ClientWidth(), ClientHeight() + menuBar()->sizeHint().height());
  DrawPictures();
  // 10-11. The overview pages and two rows of eight tabs.
  pages_->ArrangeMainPage(KoefH_);
  pages_->ArrangeAdditionalPage();
  Tab_Exif->setTabWidth((Tab_Exif->width() - kTabRowSlack) / ChartTabs::kTabsPerRow);
  // 13. The top-left corner of the screen.
  move(0, 0);
  // 14-18.
  settings_file_ = program_folder_ / kSettingsFileName;
  crop_file_ = program_folder_ / kCropFileName;
  ReadSettings();
  LoadCrops();
  ApplyLanguage();
  ResetDisplay();
  pages_->ShowPage(kMainTab, KoefH_);
}

TForm_Exif::~TForm_Exif() { stopRequested_ = true; }

// ---------------------------------------------------------------------------------------------------
// Controls

void TForm_Exif::Place(QWidget* widget, QRect design) {
  widget->setGeometry(design);
  // Every control holds its font itself: a style sheet above it would otherwise give it Qt's default.
  if (!widget->testAttribute(Qt::WA_SetFont)) widget->setFont(font());
  placed_.push_back({widget, design, widget->font().pixelSize()});
}

void TForm_Exif::CreateControls() {
  client_size_ = kDesignClient;
  window_size_ = kDesignWindow;
  window_font_pixels_ = 11;
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
  but_Stop->setText(Text(kStopCaption));
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

  Box_Settings = new QGroupBox(Panel_Left);
  Box_Settings->setObjectName("Box_Settings");
  for (QGroupBox* box : {Filter_Box, Box_Settings}) box->setStyleSheet(Text(kGroupBoxStyle));
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
  rb_Eng->setText(Text(kEnglishCaption));
  rb_Eng->setChecked(true);
  rb_Rus = radio(Panel_Set_Lang, "rb_Rus", {132, 0, 80, 17});
  rb_Rus->setText(Text(kRussianCaption));
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
  for (auto [first, second] : {std::pair{rb_Eng, rb_Rus}, std::pair{rb_Real, rb_Equivalent}, std::pair{rb_Text, rb_Linear}}) {
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
  connect(rb_Real, &QRadioButton::toggled, this, [this](bool) { RebuildCharts(static_cast<int>(RebuildMode::kFocal)); });
  connect(rb_Text, &QRadioButton::toggled, this, [this](bool) { RebuildCharts(static_cast<int>(RebuildMode::kAll)); });
  // A click anywhere on the filter summary opens the filter.
  for (QWidget* target : {static_cast<QWidget*>(Filter_Box), SB_Filter, static_cast<QScrollArea*>(SB_Filter)->widget(),
                          static_cast<QWidget*>(lb_Filter)}) {
    target->installEventFilter(this);
  }
}

bool TForm_Exif::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->isEnabled()) {
    Filter_BoxClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm_Exif::Filter_BoxClick() {
  if (running_) return;
  if (dialogs_.filter) dialogs_.filter();
}

// ---------------------------------------------------------------------------------------------------
// Scaling to the screen

int TForm_Exif::ClientWidth() const { return client_size_.width(); }
int TForm_Exif::ClientHeight() const { return client_size_.height(); }

void TForm_Exif::LogLayout(const char* suffix) {
  const auto log = [&](const char* name, int64_t value) {
    layout_log_->Log(std::string(name) + suffix + " = ", value);
  };
  log("F_E.W", window_size_.width());
  log("F_E.H", window_size_.height());
  log("P_L.L", Panel_Left->x());
  log("P_L.W", Panel_Left->width());
  log("T_E.L", Tab_Exif->x());
  log("T_E.W", Tab_Exif->width());
  log("C_S.L", Chart_SBox->x());
  log("C_S.W", Chart_SBox->width());
  log("T_E.F", Tab_Exif->font().pixelSize());
  log("lbF.F", lb_Filter->font().pixelSize());
  log("lbA.F", lb_Axis->font().pixelSize());
  log("rbT.F", rb_Text->font().pixelSize());
  log("cbSF.F", cb_SubFolders->font().pixelSize());
  log("StB.F", statusBar()->font().pixelSize());
  log("StB.0W", status_panels_[0]->width());
}

void TForm_Exif::ScaleToScreen(QSize screen) {
  const int W = screen.width();
  const int H = screen.height();
  window_size_ = QSize(W * kDesignWindow.width() / kDesignScreenWidth, H * kDesignWindow.height() / kDesignScreenHeight);
  // The frame around the client area keeps its size.
  client_size_ = window_size_ - (kDesignWindow - kDesignClient);
  LogLayout("");
  // Every control, its place, size and font, by W / 1024.
  window_font_pixels_ = ScaleLength(window_font_pixels_, W);
  setFont(PixelFont(font().family(), window_font_pixels_));
  for (const Placed& placed : placed_) {
    const QRect& d = placed.design;
    placed.widget->setGeometry(ScaleLength(d.x(), W), ScaleLength(d.y(), W), ScaleLength(d.width(), W),
                               ScaleLength(d.height(), W));
    QFont own = placed.widget->font();
    own.setPixelSize(ScaleLength(placed.font_pixels, W));
    placed.widget->setFont(own);
  }
  status_height_ = ScaleLength(kDesignStatusHeight, W);
  statusBar()->setFixedHeight(status_height_);
  LogLayout("2");

  Koef_ = Factor(W, kDesignScreenWidth);
  const auto times_koef = [this](int length) {
    return static_cast<int>(std::nearbyint(static_cast<double>(length) * Koef_ / 10000.0));
  };
  for (int panel = 0; panel < 2; ++panel) status_panels_[panel]->setFixedWidth(times_koef(kDesignStatusWidths[panel]));
  KoefH_ = Factor(H, kDesignScreenHeight);
  layout_log_->Log("Koef = ", FactorText(Koef_).toStdString());
  layout_log_->Log("KoefH = ", FactorText(KoefH_).toStdString());

  // The tab area reaches down to the status bar, less one status bar's height.
  layout_log_->Log("T_E.H = ", Tab_Exif->height());
  Tab_Exif->resize(Tab_Exif->width(), ClientHeight() - Tab_Exif->y() - 2 * status_height_);
  layout_log_->Log("T_E.H2 = ", Tab_Exif->height());
  layout_log_->Log("mSB.H = ", status_height_);
  Tab_Exif->setTabHeight(times_koef(kDesignTabHeight));
  Tab_Exif->move(Tab_Exif->x(), kTopOfTabs);

  layout_log_->Log("C_S.T = ", Chart_SBox->y());
  layout_log_->Log("C_S.H = ", Chart_SBox->height());
  const int chart_top = 2 * Tab_Exif->tabHeight() + times_koef(3);
  Chart_SBox->setGeometry(Chart_SBox->x(), chart_top, Chart_SBox->width(), Tab_Exif->height() - chart_top);
  layout_log_->Log("C_S.T2 = ", Chart_SBox->y());
  layout_log_->Log("C_S.H2 = ", Chart_SBox->height());

  Panel_Left->move(Panel_Left->x(), 0);
  layout_log_->Log("P_L.H = ", Panel_Left->height());
  layout_log_->Log("mT.H = ", myTree->height());
  Panel_Left->resize(Panel_Left->width(), ClientHeight() - 2 * status_height_);
  myTree->resize(myTree->width(), Panel_Left->contentsRect().height() - myTree->y());
  layout_log_->Log("P_L.H2 = ", Panel_Left->height());
  layout_log_->Log("mT.H2 = ", myTree->height());
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

// ---------------------------------------------------------------------------------------------------
// Start-up and exit

void TForm_Exif::ReadSettings() {
  const std::optional<ProgramSettings> settings = ReadSettingsFile(settings_file_);
  bool selected = false;
  if (settings) {
    if (IsSelectableFolder(settings->folder, SpecialFolders())) {
      selected = myTree->SelectFolder(QString::fromStdString(settings->folder));
    }
    if (settings->UiLanguage == kEnglish) {
      UiLanguage_ = kEnglish;
      rb_Eng->setChecked(true);
    } else if (settings->UiLanguage == kRussian) {
      UiLanguage_ = kRussian;
      rb_Rus->setChecked(true);
    }
    (settings->rb_Real ? rb_Real : rb_Equivalent)->setChecked(true);
    (settings->rb_Text ? rb_Text : rb_Linear)->setChecked(true);
    cb_CF->setChecked(settings->cb_CF);
    cb_SubFolders->setChecked(settings->cb_SubFolders);
    cb_HideLeft->setChecked(settings->cb_HideLeft);
  }
  // Nothing to come back to: the user's home folder is opened and in view.
  if (!selected) myTree->RevealFolder(QDir::homePath());
}

void TForm_Exif::LoadCrops() {
  const CropFileResult loaded = LoadCropStore(crops_, crop_file_, DecimalSeparator());
  if (!loaded.ok()) ReportError(Text(loaded.Message()));
}

char TForm_Exif::DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point == QStringLiteral(",") ? ',' : '.';
}

void TForm_Exif::ExitCommand() { close(); }

void TForm_Exif::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The walk ends first; the window closes when the run has returned.
    stopRequested_ = true;
    close_pending_ = true;
    event->ignore();
    return;
  }
  ExitWork();
  event->accept();
}

void TForm_Exif::ExitWork() {
  stopRequested_ = true;
  ProgramSettings settings;
  settings.folder = folder_selected_ ? current_folder_ : std::string();
  settings.UiLanguage = rb_Rus->isChecked() ? kRussian : kEnglish;
  settings.rb_Real = rb_Real->isChecked();
  settings.rb_Text = rb_Text->isChecked();
  settings.cb_CF = cb_CF->isChecked();
  settings.cb_SubFolders = cb_SubFolders->isChecked();
  settings.cb_HideLeft = cb_HideLeft->isChecked();
  if (const std::optional<std::string> failure = WriteSettingsFile(settings_file_, settings)) {
    ReportError(Text(*failure));
  }
  if (const CropFileResult saved = SaveCropStore(crops_, crop_file_, DecimalSeparator()); !saved.ok()) {
    ReportError(Text(saved.Message()));
  }
}

void TForm_Exif::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (pos() != QPoint(0, 0)) move(0, 0);
}

void TForm_Exif::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Restored from the task bar: back to the top-left corner.
  if (event->type() == QEvent::WindowStateChange && !isMinimized() && pos() != QPoint(0, 0)) move(0, 0);
}

void TForm_Exif::ReportError(const QString& message) {
  if (report_error_) report_error_(message);
}

// ---------------------------------------------------------------------------------------------------
// The folder, Run and Stop

void TForm_Exif::myTreeChange(const QString& path) {
  const std::string folder = path.toStdString();
  std::error_code error;
  const bool usable = std::filesystem::path(folder).is_absolute() && std::filesystem::is_directory(folder, error);
  but_Run->setEnabled(usable);
  mmRun->setEnabled(usable && !running_);
  current_folder_ = folder;
  folder_selected_ = true;
  ShowLight(Light::kRed);
  state_.ResetTallies(true, criteria_);
}

void TForm_Exif::ShowLight(Light light) {
  im_red->setVisible(light == Light::kRed);
  im_yellow->setVisible(light == Light::kYellow);
  im_green->setVisible(light == Light::kGreen);
}

bool TForm_Exif::ResultShown() const { return !im_green->isHidden(); }

void TForm_Exif::SetRunning(bool running) {
  running_ = running;
  but_Run->setVisible(!running);
  but_Stop->setVisible(running);
  // While the walk goes on only Stop and Exit act: nothing may reset or rebuild what it counts.
  for (QWidget* control : {static_cast<QWidget*>(Filter_Box), static_cast<QWidget*>(Box_Settings),
                           static_cast<QWidget*>(myTree), static_cast<QWidget*>(Tab_Exif)}) {
    control->setEnabled(!running);
  }
  mmHideLeft->setEnabled(!running);
  mmCrop->setEnabled(!running);
  mmRun->setEnabled(!running && but_Run->isEnabled());
  mmShortcut->setEnabled(!running && shortcut_enabled_);
  if (running) but_Stop->setFocus();
}

void TForm_Exif::ShowNoPhotos(bool shown) {
  im_NoPhoto->setVisible(shown && UiLanguage_ == kRussian);
  im_NoPhotoEng->setVisible(shown && UiLanguage_ != kRussian);
}

void TForm_Exif::but_StopClick() { stopRequested_ = true; }

void TForm_Exif::but_RunClick() {
  if (running_ || !but_Run->isEnabled()) return;
  const std::string folder = current_folder_;
  ShowLight(Light::kYellow);
  SetRunning(true);
  stopRequested_ = false;
  ResetDisplay();

  QString failure;
  if (!QDir::setCurrent(QString::fromStdString(folder))) {
    failure = QString::fromStdString(folder) + QStringLiteral(": the folder cannot be opened");
    state_.ResetTallies(true, criteria_);
  } else {
    SurveyOptions options;
    options.language = UiLanguage_;
    options.rb_Real = rb_Real->isChecked();
    options.cb_SubFolders = cb_SubFolders->isChecked();
    options.cb_CF = cb_CF->isChecked();
    if (trace_mode_) options.trace_path = (program_folder_ / "test.txt").string();
    WalkHooks hooks;
    hooks.process_events = [](const std::string&) { QCoreApplication::processEvents(); };
    counters_shown_.start();
    hooks.entry_done = [this](const std::string&) {
      if (counters_shown_.elapsed() < kCounterIntervalMs) return;
      ShowCounters();
      counters_shown_.restart();
    };
    const auto crop_factor = [this](const std::string& make, const std::string& model) -> int64_t {
      const CropRecord* record = FindCropFactor(crops_, make, model);
      return record != nullptr ? record->Factor : 0;
    };
    const WalkResult walk = RunSurvey(folder, options, state_, criteria_, crop_factor, hooks, stopRequested_);
    if (!walk.skipped_folders.empty() && walk.skipped_folders.front() == (folder.ends_with('/') ? folder : folder + "/")) {
      failure = QString::fromStdString(folder) + QStringLiteral(": the folder cannot be read");
    } else if (!walk.trace_failure.empty()) {
      failure = Text(walk.trace_failure);
    }
  }

  // A stopped run, or one where no photo with Exif passes the filter, shows no charts.
  const bool has_result = !stopRequested_ && state_.processedCount > 0 && state_.filteredCount > 0;
  if (!has_result) {
    ShowNoPhotos(true);
    Chart_SBox->hide();
    ResetDisplay();
    ShowLight(Light::kRed);
    shortcut_enabled_ = false;
  } else {
    Chart_SBox->show();
    ShowNoPhotos(false);
    if (cb_HideLeft->isChecked()) SetLeftPanel(PanelMode::Hide);
    BuildChartSeries(charts_, state_, RebuildMode::kAll, CurrentChartSettings());
    Tab_Exif->setCurrentIndex(kMainTab);
    Tab_ExifChange();
    ShowLight(Light::kGreen);
    shortcut_enabled_ = true;
  }
  ShowCounters();
  SetRunning(false);
  but_Run->setFocus();
  if (!failure.isEmpty()) ReportError(failure);
  if (close_pending_) {
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (has_result && cb_CF->isChecked() && !state_.UnknownCameras.empty() && dialogs_.unknown_cameras &&
      dialogs_.unknown_cameras() && dialogs_.unknown_cameras_saved) {
    dialogs_.unknown_cameras_saved();
  }
}

// ---------------------------------------------------------------------------------------------------
// The display

ChartSettings TForm_Exif::CurrentChartSettings() const {
  return ChartSettings{.rb_Real = rb_Real->isChecked(), .rb_Text = rb_Text->isChecked(), .language = UiLanguage_};
}

void TForm_Exif::RebuildCharts(int mode) {
  // Nothing passes the filter: the charts keep what they show rather than being built from no photos.
  if (state_.filteredCount > 0) BuildChartSeries(charts_, state_, static_cast<RebuildMode>(mode), CurrentChartSettings());
  pages_->RefreshShown();
}

void TForm_Exif::ShowCounters() {
  status_panels_[0]->setText(Text(ProcessedText(state_.processedCount, UiLanguage_)));
  status_panels_[1]->setText(Text(FilteredText(state_.filteredCount, UiLanguage_)));
}

void TForm_Exif::ResetDisplay() {
  ShowCounters();
  ResetChartSeries(charts_);
  pages_->RefreshShown();
}

void TForm_Exif::Tab_ExifChange() { pages_->ShowPage(Tab_Exif->currentIndex(), KoefH_); }

void TForm_Exif::ChartClicked(ChartId chart) {
  Tab_Exif->setCurrentIndex(TabAfterClick(chart, Tab_Exif->currentIndex()));
  Tab_ExifChange();
}

void TForm_Exif::HideLeftCommand() { SetLeftPanel(PanelMode::Change); }

void TForm_Exif::SetLeftPanel(PanelMode mode) {
  const int language = UiLanguage_;
  if (mode == PanelMode::Hide || !Panel_Left->isHidden()) {
    Panel_Left->hide();
    Tab_Exif->setGeometry(2, Tab_Exif->y(), ClientWidth() - 4, Tab_Exif->height());
    Tab_Exif->setCaption(kAdditionalTab, Text(kAdditionalTabLong.In(language)));
  } else {
    Panel_Left->show();
    Tab_Exif->setGeometry(Panel_Left->x() + Panel_Left->width(), Tab_Exif->y(),
                          ClientWidth() - Panel_Left->width() - 2, Tab_Exif->height());
    Tab_Exif->setCaption(kAdditionalTab, Text(kTabCaptions[kAdditionalTab].In(language)));
  }
  Tab_Exif->setTabWidth((Tab_Exif->width() - kTabRowSlack) / ChartTabs::kTabsPerRow);
  Chart_SBox->setGeometry(0, Chart_SBox->y(), Tab_Exif->width(), Chart_SBox->height());
  PlaceNoPhotos();
  const int tab = Tab_Exif->currentIndex();
  if (tab == kMainTab) {
    pages_->ArrangeMainPage(KoefH_);
  } else if (tab == kAdditionalTab) {
    pages_->ArrangeAdditionalPage();
  } else {
    Tab_ExifChange();
  }
}

void TForm_Exif::ShortcutCommand() {
  // The list is of the charts shown: nothing before a run or after another folder was chosen.
  if (!ResultShown()) return;
  if (dialogs_.shortcut_list) dialogs_.shortcut_list();
}

void TForm_Exif::CropCommand() {
  if (running_) return;
  if (dialogs_.crop_editor) dialogs_.crop_editor();
  RebuildCharts(static_cast<int>(RebuildMode::kFocalAndCrop));
}

// ---------------------------------------------------------------------------------------------------
// The language

void TForm_Exif::LanguageClicked(int language) {
  UiLanguage_ = language;
  ApplyLanguage();
  if (lb_Filter->isHidden() && dialogs_.filter_summary) dialogs_.filter_summary();
  RebuildCharts(static_cast<int>(RebuildMode::kAll));
}

void TForm_Exif::ApplyLanguage() {
  if (UiLanguage_ == 0) UiLanguage_ = kEnglish;
  const int language = UiLanguage_;
  for (const ControlText& entry : kControlCaptions) {
    SetCaption(findChild<QObject*>(Text(entry.control)), Text(entry.text.In(language)));
  }
  for (const ControlText& entry : kMenuCaptions) {
    SetCaption(findChild<QObject*>(Text(entry.control)), Text(entry.text.In(language)));
  }
  ShowCounters();
  status_panels_[2]->setText(Text(kCreditLine.In(language)));
  for (int tab = 0; tab < ChartTabs::kTabCount; ++tab) {
    Tab_Exif->setCaption(tab, Text(kTabCaptions[static_cast<size_t>(tab)].In(language)));
  }
  SetChartTexts(charts_, language);
  pages_->RefreshShown();
  lb_Filter->move(static_cast<int>(std::nearbyint((Filter_Box->contentsRect().width() - lb_Filter->width()) / 2.0)),
                  lb_Filter->y());
  if (!im_NoPhoto->isHidden() || !im_NoPhotoEng->isHidden()) ShowNoPhotos(true);
  state_.RelabelTallies(language, criteria_);
}

}  // namespace lumetra
