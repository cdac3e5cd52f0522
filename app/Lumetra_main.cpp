#include "app/Lumetra_main.h"

#include <optional>

#include <QAction>
#include <QApplication>
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
#include <QTimer>
#include <QToolButton>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/MainWindowDesign.h"
#include "app/ProgramPictures.h"
#include "app/SettingsFile.h"
#include "app/UiTexts.h"
#include "app/platform/ProgramFolder.h"
#include "app/platform/ShellFolders.h"
#include "app/platform/WindowsFonts.h"
#include "charts/BuildChartSeries.h"
#include "charts/ChartPages.h"
#include "filter/FilterDialog.h"
#include "survey/RecordsCache.h"
#include "survey/SurveyRun.h"
#include "survey/SurveyTexts.h"

namespace lumetra {

using namespace detail;

namespace {

// A count on the status bar is rewritten at most this often during a run; the last one is exact.
constexpr int kCounterIntervalMs = 100;
// The window handles its events at least this often during a run, so that a click on Stop acts well
// within a tenth of a second even inside a folder of many thousand photos.
constexpr auto kRunEventInterval = std::chrono::milliseconds(50);

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
    : QMainWindow(parent), report_error_(std::move(start.report_error)) {
  setObjectName("Form_Exif");
  SubstituteWindowsFonts();
  // The survey starts empty: no unknown camera met, nothing changed in the crop store. The tab captions
  // are always painted by the program here.
  setWindowTitle(QStringLiteral("Lumetra ") + QStringLiteral(LUMETRA_VERSION));
  setWindowIcon(ProgramIcon());
  CreateControls();
  CreateMenu();
  pages_ = std::make_unique<ChartPages>(charts_, *Chart_SBox);
  pages_->SetClickHandler([this](ChartId chart) { ChartClicked(chart); });
  ConnectControls();
  // The filter dialog lives as long as the window: its criteria and choices last between showings.
  Form_Filter = new TForm_Filter(criteria_, this);

  // The layout log and the scaling to the screen.
  program_folder_ = start.program_folder.empty() ? ProgramFolder() : start.program_folder;
  const QString first_argument = start.arguments.value(0);
  trace_mode_ = first_argument == QStringLiteral("test");
  layout_log_ = std::make_unique<LayoutLog>(program_folder_ / "log.txt", first_argument == QStringLiteral("i"));
  QSize screen = start.screen;
  if (screen.isEmpty() && QGuiApplication::primaryScreen() != nullptr) {
    screen = QGuiApplication::primaryScreen()->geometry().size();
  }
  if (screen.isEmpty()) screen = QSize(kDesignScreenWidth, kDesignScreenHeight);
  screen_ = screen;
  layout_log_->Log("ScreenWidth = ", screen.width());
  layout_log_->Log("ScreenHeight = ", screen.height());
  if (screen.width() != kDesignScreenWidth) ScaleToScreen(screen);
  // The summary box's heights, which the no-filter state gives back: those of this screen, so that the
  // box never shrinks below its own label.
  filter_box_height_ = Filter_Box->height();
  sb_filter_height_ = SB_Filter->height();
  layout_log_->Log("end", "");
  if (layout_log_->failure()) ReportError(ToQString(*layout_log_->failure()));

  // The window keeps the size it starts with.
  setFixedSize(ClientWidth(), ClientHeight() + menuBar()->sizeHint().height());
  DrawPictures();
  // The overview pages and two rows of eight tabs.
  pages_->ArrangeMainPage(KoefH_);
  pages_->ArrangeAdditionalPage();
  FitTabWidth();
  // The top-left corner of the screen.
  move(0, 0);
  // The user's settings and crop factors, the language, an empty display.
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
// Start-up and exit

void TForm_Exif::ReadSettings() {
  std::string refused;
  const std::optional<ProgramSettings> settings = ReadSettingsFile(settings_file_, &refused);
  if (!refused.empty()) {
    settings_file_refused_ = true;
    ReportError(ToQString(refused));
  }
  bool selected = false;
  if (settings) {
    if (IsSelectableFolder(settings->folder, SpecialFolders())) {
      selected = myTree->SelectFolder(QString::fromStdString(settings->folder));
    }
    if (settings->UiLanguage) {
      UiLanguage_ = *settings->UiLanguage;
      (UiLanguage_ == kRussian ? rb_Rus : rb_Eng)->setChecked(true);
    }
    (settings->rb_Real ? rb_Real : rb_Equivalent)->setChecked(true);
    (settings->rb_Text ? rb_Text : rb_Linear)->setChecked(true);
    cb_CF->setChecked(settings->cb_CF);
    cb_SubFolders->setChecked(settings->cb_SubFolders);
    cb_HideLeft->setChecked(settings->cb_HideLeft);
    mmAllFormats->setChecked(settings->formats == PhotoFormats::kAll);
    mmRememberPhotos->setChecked(settings->remember_photos);
  }
  // Nothing to come back to: the user's home folder is opened and in view.
  if (!selected) myTree->RevealFolder(QDir::homePath());
}

void TForm_Exif::LoadCrops() {
  const CropFileResult loaded = LoadCropStore(crops_, crop_file_, DecimalSeparator());
  if (!loaded.ok()) ReportError(ToQString(loaded.Message()));
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
  settings.folder = current_folder_;
  settings.UiLanguage = rb_Rus->isChecked() ? kRussian : kEnglish;
  settings.rb_Real = rb_Real->isChecked();
  settings.rb_Text = rb_Text->isChecked();
  settings.cb_CF = cb_CF->isChecked();
  settings.cb_SubFolders = cb_SubFolders->isChecked();
  settings.cb_HideLeft = cb_HideLeft->isChecked();
  settings.formats = SelectedFormats();
  settings.remember_photos = mmRememberPhotos->isChecked();
  if (settings_file_refused_) {
    // Already reported at start-up.
  } else if (const std::optional<std::string> failure = WriteSettingsFile(settings_file_, settings)) {
    ReportError(ToQString(*failure));
  }
  if (const CropFileResult saved = SaveCropStore(crops_, crop_file_, DecimalSeparator()); !saved.ok()) {
    ReportError(ToQString(saved.Message()));
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
  if (report_error_) {
    report_error_(message);
  } else {
    QMessageBox::warning(this, windowTitle(), message);
  }
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
  ShowLight(Light::kRed);
  // The shortcut list follows the green light.
  shortcut_enabled_ = false;
  mmShortcut->setEnabled(false);
  state_.ResetTallies(true, criteria_);
}

void TForm_Exif::ShowLight(Light light) {
  im_red->setVisible(light == Light::kRed);
  im_yellow->setVisible(light == Light::kYellow);
  im_green->setVisible(light == Light::kGreen);
}

PhotoFormats TForm_Exif::SelectedFormats() const {
  return mmAllFormats->isChecked() ? PhotoFormats::kAll : PhotoFormats::kJpeg;
}

bool TForm_Exif::ResultShown() const { return !im_green->isHidden(); }

int TForm_Exif::CurrentTab() const { return Tab_Exif->currentIndex(); }

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
  mmAllFormats->setEnabled(!running);
  mmRememberPhotos->setEnabled(!running);
  mmRun->setEnabled(!running && but_Run->isEnabled());
  mmShortcut->setEnabled(!running && shortcut_enabled_);
  if (running) but_Stop->setFocus();
}

void TForm_Exif::ShowNoPhotos(bool shown) {
  im_NoPhoto->setVisible(shown && UiLanguage_ == kRussian);
  im_NoPhotoEng->setVisible(shown && UiLanguage_ != kRussian);
}

// The records cache's fault, in the status bar's last panel until the next run, the credit line otherwise.
// The files sit in the program's folder, so the panel names them without it and ends in "..." where it is
// too narrow; the whole line is its tool tip.
void TForm_Exif::ShowRecordsProblem(const std::string& problem) {
  QLabel* panel = status_panels_[2];
  if (problem.empty()) {
    panel->setText(ToQString(kCreditLine.In(UiLanguage_)));
    panel->setToolTip(QString());
    return;
  }
  QString text = ToQString(kRecordsNotUsed.In(UiLanguage_)) + ToQString(problem);
  text.replace(QString::fromStdString((program_folder_ / "").string()), QString());
  panel->setToolTip(ToQString(problem));
  panel->setText(panel->fontMetrics().elidedText(text, Qt::ElideRight, panel->contentsRect().width() - 4));
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
    failure = QString::fromStdString(folder) + QStringLiteral(": ") + ToQString(kFolderCannotBeOpened.In(UiLanguage_));
    state_.ResetTallies(true, criteria_);
    // The folder is gone: Run waits for another choice in the tree.
    but_Run->setEnabled(false);
  } else {
    SurveyOptions options;
    options.language = UiLanguage_;
    options.rb_Real = rb_Real->isChecked();
    options.cb_SubFolders = cb_SubFolders->isChecked();
    options.cb_CF = cb_CF->isChecked();
    options.formats = SelectedFormats();
    options.event_interval = kRunEventInterval;
    if (trace_mode_) options.trace_path = (program_folder_ / "test.txt").string();
    WalkHooks hooks;
    hooks.process_events = [](const std::string&) { QCoreApplication::processEvents(); };
    counters_shown_.start();
    hooks.entry_done = [this](const std::string&) {
      if (counters_shown_.elapsed() < kCounterIntervalMs) return;
      ShowCounters();
      counters_shown_.restart();
    };
    const auto crop_factor = [this](const std::string& make, const std::string& model) {
      return StoredCropFactor(crops_, make, model);
    };
    // Without the cache, or with a broken one, every photo is read: it costs time, never a record.
    std::optional<RecordsCache> records;
    if (mmRememberPhotos->isChecked()) {
      records.emplace((program_folder_ / kRecordsFileName).string());
      options.records = &*records;
    }
    const WalkResult walk = RunSurvey(folder, options, state_, criteria_, crop_factor, hooks, stopRequested_);
    ShowRecordsProblem(records ? records->problem() : std::string());
    if (!walk.skipped_folders.empty() &&
        walk.skipped_folders.front() == (folder.ends_with('/') ? folder : folder + "/")) {
      failure = QString::fromStdString(folder) + QStringLiteral(": ") + ToQString(kFolderCannotBeRead.In(UiLanguage_));
    } else if (!walk.trace_failure.empty()) {
      failure = ToQString(walk.trace_failure);
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

void TForm_Exif::RebuildCharts(RebuildMode mode) {
  // Nothing passes the filter: the charts keep what they show rather than being built from no photos.
  if (state_.filteredCount > 0) BuildChartSeries(charts_, state_, mode, CurrentChartSettings());
  pages_->RefreshShown();
}

void TForm_Exif::RecountAndShow() {
  state_.Retally(criteria_, rb_Real->isChecked());
  ShowCounters();
  const bool any = state_.filteredCount > 0;
  if (any) BuildChartSeries(charts_, state_, RebuildMode::kAll, CurrentChartSettings());
  Chart_SBox->setVisible(any);
  ShowNoPhotos(!any);
  if (any) Tab_ExifChange();
}

void TForm_Exif::FocalClicked() {
  // The focal bounds apply to the focal length chosen here: with one set, another choice admits other
  // photos, so they are recounted as an Apply of the filter would.
  const bool focal_bound = !criteria_.ed_from3.empty() || !criteria_.ed_to3.empty();
  if (focal_bound) {
    RecountAndShow();
  } else {
    RebuildCharts(RebuildMode::kFocal);
  }
}

void TForm_Exif::ShowCounters() {
  status_panels_[0]->setText(ToQString(ProcessedText(state_.processedCount, UiLanguage_)));
  status_panels_[1]->setText(ToQString(FilteredText(state_.filteredCount, UiLanguage_)));
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

void TForm_Exif::FitTabWidth() {
  // Two rows of eight tabs across the tab area.
  Tab_Exif->setTabWidth((Tab_Exif->width() - kTabRowSlack) / ChartTabs::kTabsPerRow);
}

void TForm_Exif::SetLeftPanel(PanelMode mode) {
  const Language language = UiLanguage_;
  if (mode == PanelMode::Hide || !Panel_Left->isHidden()) {
    Panel_Left->hide();
    Tab_Exif->setGeometry(2, Tab_Exif->y(), ClientWidth() - 4, Tab_Exif->height());
    Tab_Exif->setCaption(kAdditionalTab, ToQString(kAdditionalTabLong.In(language)));
  } else {
    Panel_Left->show();
    Tab_Exif->setGeometry(Panel_Left->x() + Panel_Left->width(), Tab_Exif->y(), ClientWidth() - Panel_Left->width() - 2,
                          Tab_Exif->height());
    Tab_Exif->setCaption(kAdditionalTab, ToQString(kTabCaptions[kAdditionalTab].In(language)));
  }
  FitTabWidth();
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
  // A Save recounts and redraws through the dialog's follow-up; closing without it changes nothing.
  if (dialogs_.crop_editor) dialogs_.crop_editor();
}

// ---------------------------------------------------------------------------------------------------
// The language

void TForm_Exif::LanguageClicked(Language language) {
  UiLanguage_ = language;
  ApplyLanguage();
  // The summary says in the new language what is applied; nothing is recounted.
  if (lb_Filter->isHidden()) ShowFilterSummary();
  RebuildCharts(RebuildMode::kAll);
}

void TForm_Exif::ApplyLanguage() {
  const Language language = UiLanguage_;
  for (const ControlText& entry : kControlCaptions) {
    SetCaption(findChild<QObject*>(ToQString(entry.control)), ToQString(entry.text.In(language)));
  }
  for (const ControlText& entry : kMenuCaptions) {
    SetCaption(findChild<QObject*>(ToQString(entry.control)), ToQString(entry.text.In(language)));
  }
  ShowCounters();
  status_panels_[2]->setText(ToQString(kCreditLine.In(language)));
  for (int tab = 0; tab < ChartTabs::kTabCount; ++tab) {
    Tab_Exif->setCaption(tab, ToQString(kTabCaptions[static_cast<size_t>(tab)].In(language)));
  }
  SetChartTexts(charts_, language);
  pages_->RefreshShown();
  lb_Filter->move(static_cast<int>(std::nearbyint((Filter_Box->contentsRect().width() - lb_Filter->width()) / 2.0)),
                  lb_Filter->y());
  if (!im_NoPhoto->isHidden() || !im_NoPhotoEng->isHidden()) ShowNoPhotos(true);
  state_.RelabelTallies(language, criteria_);
}

}  // namespace lumetra
