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
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/LeftPanel.h"
#include "app/MainWindowDesign.h"
#include "app/ProgramPictures.h"
#include "app/SettingsFile.h"
#include "app/SkippedItemsDialog.h"
#include "app/UiTexts.h"
#include "app/WindowStatusBar.h"
#include "app/platform/ProgramFolder.h"
#include "app/platform/ShellFolders.h"
#include "app/platform/WindowsFonts.h"
#include "charts/BuildChartSeries.h"
#include "charts/ChartPages.h"
#include "filter/FilterDialog.h"
#include "survey/RecordsCache.h"
#include "text/TextEncoding.h"

namespace lumetra {

using namespace detail;

namespace {

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
  options_.UiLanguage = kEnglish;
  // The survey starts empty: no unknown camera met, nothing changed in the crop store. The tab captions
  // are always painted by the program here.
  setWindowTitle(QStringLiteral("Lumetra ") + QStringLiteral(LUMETRA_VERSION));
  setWindowIcon(ProgramIcon());
  CreateControls();
  CreateMenu();
  pages_ = std::make_unique<ChartPages>(charts_, *Chart_SBox);
  pages_->SetClickHandler([this](ChartId chart) { ChartClicked(chart); });
  pages_->SetChoiceHandler(
      [this](ChartId chart, size_t point, ChartCommand command) { ApplyChartCommand(chart, point, command); });
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
  Panel_Left->KeepNoFilterHeights();
  layout_log_->Log("end", "");
  PlaceTimeTabRow();
  if (layout_log_->failure()) ReportError(ToQString(*layout_log_->failure()));

  // The window keeps the size it starts with.
  setFixedSize(ClientWidth(), ClientHeight() + menuBar()->sizeHint().height());
  DrawPictures();
  // The overview pages and the rows of eight tabs.
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
  UpdateActions();
}

TForm_Exif::~TForm_Exif() { run_.RequestStop(); }

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
      selected = Panel_Left->Tree().SelectFolder(QString::fromStdString(settings->folder));
    }
    // The folder is the one the tree selected; a file that names no language keeps the window's.
    ProgramSettings read = *settings;
    read.folder = options_.folder;
    // The tree shows names decoded as UTF-8 and cannot select a folder named otherwise: the line's own
    // bytes are kept and written back at exit, until the person selects another folder.
    if (!selected && !IsValidUtf8(settings->folder) && IsSelectableFolder(settings->folder, SpecialFolders())) {
      read.folder = settings->folder;
    }
    if (!read.UiLanguage) read.UiLanguage = options_.UiLanguage;
    options_ = read;
    Panel_Left->ShowOptions();
    ShowMenuOptions();
  }
  // Nothing to come back to: the user's home folder is opened and in view.
  if (!selected) Panel_Left->Tree().RevealFolder(QDir::homePath());
}

void TForm_Exif::LoadCrops() {
  const CropFileResult loaded = LoadCropStore(crops_, crop_file_, DecimalSeparator());
  if (!loaded.ok()) ReportError(ToQString(loaded.Message()));
}

char TForm_Exif::DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point == QStringLiteral(",") ? ',' : '.';
}

void TForm_Exif::closeEvent(QCloseEvent* event) {
  if (run_.Running()) {
    // The walk ends first; the window closes when the run has returned.
    run_.RequestStop();
    close_pending_ = true;
    event->ignore();
    return;
  }
  ExitWork();
  event->accept();
}

void TForm_Exif::ExitWork() {
  run_.RequestStop();
  if (settings_file_refused_) {
    // Already reported at start-up.
  } else if (const std::optional<std::string> failure = WriteSettingsFile(settings_file_, options_)) {
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

QCheckBox* TForm_Exif::CropFactorQuery() const { return &Panel_Left->CropFactorQuery(); }

// ---------------------------------------------------------------------------------------------------
// The folder, Run and Stop

void TForm_Exif::myTreeChange(const QString& path) {
  const std::string folder = path.toStdString();
  std::error_code error;
  folder_usable_ = std::filesystem::path(folder).is_absolute() && std::filesystem::is_directory(folder, error);
  options_.folder = folder;
  // The shortcut list follows the green light.
  Panel_Left->ShowLight(LeftPanel::Light::kRed);
  UpdateActions();
  state_.ResetTallies(true, criteria_);
}

bool TForm_Exif::ResultShown() const { return Panel_Left->GreenLight(); }

int TForm_Exif::CurrentTab() const { return Tab_Exif->currentIndex(); }

CommandContext TForm_Exif::CurrentContext() const {
  return {.running = run_.Running(),
          .folder_usable = folder_usable_,
          .result_shown = ResultShown(),
          .previous_filter = !history_.empty(),
          .items_skipped = !skipped_.empty()};
}

void TForm_Exif::UpdateActions() {
  const bool running = run_.Running();
  Panel_Left->RunButton().setEnabled(folder_usable_);
  Panel_Left->ShowRunning(running);
  Tab_Exif->setEnabled(!running);
  commands_->UpdateActions();
}

void TForm_Exif::ShowNoPhotos(bool shown) {
  im_NoPhoto->setVisible(shown && UiLanguage() == kRussian);
  im_NoPhotoEng->setVisible(shown && UiLanguage() != kRussian);
}

void TForm_Exif::but_StopClick() { run_.RequestStop(); }

void TForm_Exif::but_RunClick() {
  if (run_.Running() || !folder_usable_) return;
  Panel_Left->ShowLight(LeftPanel::Light::kYellow);
  run_.Start();
  UpdateActions();
  Panel_Left->StopButton().setFocus();
  ResetDisplay();
  skipped_.clear();
  myStatusBar->ShowSkipped(0, UiLanguage());
  const RunRequest request{
      .folder = options_.folder,
      .language = UiLanguage(),
      .rb_Real = options_.rb_Real,
      .cb_SubFolders = options_.cb_SubFolders,
      .cb_CF = options_.cb_CF,
      .formats = options_.formats,
      .trace_file = trace_mode_ ? program_folder_ / "test.txt" : std::filesystem::path(),
      .records_file = options_.remember_photos ? program_folder_ / kRecordsFileName : std::filesystem::path()};
  const RunOutcome outcome = run_.Survey(request, state_, criteria_, crops_, [this] { ShowCounters(); });
  // The folder is gone: Run waits for another choice in the tree.
  if (outcome.folder_gone) folder_usable_ = false;
  myStatusBar->ShowRecordsProblem(outcome.records_problem, (program_folder_ / "").string(), UiLanguage());
  ShowRunResult(outcome);
}

void TForm_Exif::ShowRunResult(const RunOutcome& outcome) {
  // A stopped run, or one where no photo with Exif passes the filter, shows no charts.
  const bool has_result = !outcome.stopped && state_.processedCount > 0 && state_.filteredCount > 0;
  if (!has_result) {
    ShowNoPhotos(true);
    Chart_SBox->hide();
    ResetDisplay();
    Panel_Left->ShowLight(LeftPanel::Light::kRed);
  } else {
    Chart_SBox->show();
    ShowNoPhotos(false);
    if (options_.cb_HideLeft) SetLeftPanel(PanelMode::Hide);
    BuildChartSeries(charts_, state_, RebuildMode::kAll, CurrentChartSettings());
    Tab_Exif->setCurrentIndex(kMainTab);
    Tab_ExifChange();
    Panel_Left->ShowLight(LeftPanel::Light::kGreen);
  }
  ShowCounters();
  skipped_ = outcome.skipped;
  myStatusBar->ShowSkipped(skipped_.size(), UiLanguage());
  run_.Finish();
  UpdateActions();
  Panel_Left->RunButton().setFocus();
  if (!outcome.failure.isEmpty()) ReportError(outcome.failure);
  if (close_pending_) {
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (has_result && options_.cb_CF && !state_.UnknownCameras.empty()) emit unknownCamerasMet();
}

void TForm_Exif::ShowSkippedItems() {
  if (skipped_dialog_ == nullptr) skipped_dialog_ = new SkippedItemsDialog(this);
  skipped_dialog_->ShowItems(skipped_, UiLanguage());
}

void TForm_Exif::CropFactorClicked(bool checked) {
  // Ticking cb_CF after a finished run asks at once for the cameras still without a factor.
  if (checked && !run_.Running() && ResultShown() && !state_.UnknownCameras.empty()) emit unknownCamerasMet();
}

// ---------------------------------------------------------------------------------------------------
// The display

ChartSettings TForm_Exif::CurrentChartSettings() const {
  return ChartSettings{.rb_Real = options_.rb_Real, .rb_Text = options_.rb_Text, .language = UiLanguage()};
}

void TForm_Exif::RebuildCharts(RebuildMode mode) {
  // Nothing passes the filter: the charts keep what they show rather than being built from no photos.
  if (state_.filteredCount > 0) BuildChartSeries(charts_, state_, mode, CurrentChartSettings());
  pages_->RefreshShown();
}

void TForm_Exif::RecountAndShow() {
  state_.Retally(criteria_, options_.rb_Real);
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

void TForm_Exif::ShowCounters() { myStatusBar->ShowCounters(state_, UiLanguage()); }

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

void TForm_Exif::FitTabWidth() {
  // Rows of eight tabs across the tab area.
  Tab_Exif->setTabWidth((Tab_Exif->width() - kTabRowSlack) / ChartTabs::kTabsPerRow);
}

void TForm_Exif::SetLeftPanel(PanelMode mode) {
  const Language language = UiLanguage();
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

// ---------------------------------------------------------------------------------------------------
// The language

void TForm_Exif::LanguageClicked(Language language) {
  options_.UiLanguage = language;
  ApplyLanguage();
  // The summary says in the new language what is applied; nothing is recounted.
  if (!Panel_Left->NoFilterShown()) ShowFilterSummary();
  RebuildCharts(RebuildMode::kAll);
}

void TForm_Exif::ApplyLanguage() {
  const Language language = UiLanguage();
  for (const ControlText& entry : kControlCaptions) {
    SetCaption(findChild<QObject*>(ToQString(entry.control)), ToQString(entry.text.In(language)));
  }
  for (const ControlText& entry : kMenuCaptions) {
    SetCaption(findChild<QObject*>(ToQString(entry.control)), ToQString(entry.text.In(language)));
  }
  ShowCounters();
  myStatusBar->ShowCredit(language);
  myStatusBar->ShowSkipped(skipped_.size(), language);
  if (skipped_dialog_ != nullptr && skipped_dialog_->isVisible()) skipped_dialog_->ShowItems(skipped_, language);
  for (int tab = 0; tab < ChartTabs::kTabCount; ++tab) {
    Tab_Exif->setCaption(tab, ToQString(kTabCaptions[static_cast<size_t>(tab)].In(language)));
  }
  SetChartTexts(charts_, language);
  pages_->RefreshShown();
  Panel_Left->CentreNoFilter();
  if (!im_NoPhoto->isHidden() || !im_NoPhotoEng->isHidden()) ShowNoPhotos(true);
  state_.RelabelTallies(language, criteria_);
}

}  // namespace lumetra
