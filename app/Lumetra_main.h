#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QStringList>

#include "app/LayoutLog.h"
#include "app/SettingsFile.h"
#include "app/WindowCommands.h"
#include "app/WindowRun.h"
#include "charts/BuildChartSeries.h"
#include "charts/ChartModel.h"
#include "crop/CropStore.h"
#include "filter/ChartFilterChange.h"
#include "filter/FilterHistory.h"
#include "numbers/FixedPoint.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoFormats.h"
#include "survey/Tallies.h"

class QCheckBox;
class QLabel;

namespace lumetra {

class ChartPages;
class ChartTabs;
class LeftPanel;
class SkippedItemsDialog;
class TForm_Filter;
class WindowStatusBar;

/// What the window starts with besides the settings file: the program's arguments ("i" the layout log,
/// "test" the trace file), the screen it scales itself to and the folder of its own files. Tests give
/// any screen size and a folder of their own.
struct WindowStart {
  QStringList arguments;
  /// Empty: the primary screen's size.
  QSize screen;
  /// Empty: the program's folder ($LUMETRA_HOME, else beside the executable).
  std::filesystem::path program_folder;
  /// Where error messages go, from the start on; empty: a message box.
  std::function<void(const QString&)> report_error;
};

/// The main window: the left panel (`LeftPanel`), the sixteen chart pages, the status bar
/// (`WindowStatusBar`) and the menu, whose commands are rows of one table (`WindowCommands`). It owns the
/// survey state, the filter, the crop store, the charts and the options that the settings file keeps; a
/// run is a `WindowRun`.
class TForm_Exif : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_Exif(WindowStart start = {}, QWidget* parent = nullptr);
  ~TForm_Exif() override;

  /// How `SetLeftPanel` treats the panel.
  enum class PanelMode { Change, Hide };

  // Commands, as the buttons, menu items and keys call them.
  void myTreeChange(const QString& path);
  void but_RunClick();
  void but_StopClick();
  void SetLeftPanel(PanelMode mode);
  void Tab_ExifChange();
  void ResetDisplay();
  void ApplyLanguage();

  /// The main menu's commands; dialogs of other parts of the program bind their handlers to them.
  [[nodiscard]] WindowCommands& Commands() { return *commands_; }
  /// Applies every command's and control's enabled rule to the state of the window now.
  void UpdateActions();

  [[nodiscard]] Language UiLanguage() const { return options_.UiLanguage.value_or(kEnglish); }
  [[nodiscard]] int64_t Koef() const { return Koef_; }
  [[nodiscard]] int64_t KoefH() const { return KoefH_; }
  [[nodiscard]] bool Running() const { return run_.Running(); }
  [[nodiscard]] const SurveyState& Survey() const { return state_; }
  [[nodiscard]] SurveyState& Survey() { return state_; }
  [[nodiscard]] FilterCriteria& Criteria() { return criteria_; }
  [[nodiscard]] CropStore& Crops() { return crops_; }
  [[nodiscard]] ChartSet& Charts() { return charts_; }
  [[nodiscard]] ChartPages& Pages() { return *pages_; }
  [[nodiscard]] const std::string& CurrentFolder() const { return options_.folder; }
  [[nodiscard]] const std::filesystem::path& ProgramFolderPath() const { return program_folder_; }
  /// The photo files the next run takes, as the main menu sets them.
  [[nodiscard]] PhotoFormats SelectedFormats() const { return options_.formats; }
  /// The green light is on: the charts of a finished run are shown.
  [[nodiscard]] bool ResultShown() const;
  /// The selected tab of the chart pages.
  [[nodiscard]] int CurrentTab() const;
  /// How the charts are built now: focal length, axis, language.
  [[nodiscard]] ChartSettings CurrentChartSettings() const;
  /// Rebuilds the charts that `mode` names from the tallies and redraws the page; nothing is built while
  /// no photo passes the filter.
  void RebuildCharts(RebuildMode mode);
  /// Rewrites status panels 0 and 1 from the counters.
  void ShowCounters();
  /// Recounts the stored photos under the filter as it stands, without reading a file, and shows the
  /// result: the counters, and all charts rebuilt, or the no-photos picture when no photo passes.
  void RecountAndShow();
  // What the crop dialogs need of the window.
  [[nodiscard]] QCheckBox* CropFactorQuery() const;
  [[nodiscard]] QSize ScreenSize() const { return screen_; }
  /// The user's decimal separator, for the crop file and the crop dialogs.
  [[nodiscard]] static char DecimalSeparator();
  void ReportError(const QString& message);

  // Chart commands and the way back.
  /// What "Only" or "All but" on `point` (an index of the shown series' points) of `chart` would make of
  /// the applied filter: the new filter, or why it cannot be made.
  [[nodiscard]] FilterChange ChartCommandChange(ChartId chart, size_t point, ChartCommand command) const;
  /// Makes the command's filter the applied one and recounts as Apply does; a command the filter cannot
  /// express changes nothing and says why in the status bar.
  void ApplyChartCommand(ChartId chart, size_t point, ChartCommand command);
  /// Restores the filter applied before the last change (Backspace, "Previous filter").
  void PreviousFilter();
  /// Shows in the status bar why a command cannot be made; an empty note puts back what it replaced.
  void ShowStatusNote(const QString& note);

 signals:
  /// Cameras without a crop factor were met and the user asks for factors (`cb_CF`): at the end of a
  /// run that shows charts, or when `cb_CF` is ticked while they are shown.
  void unknownCamerasMet();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenu();
  /// The menu's check marks from the settings they show.
  void ShowMenuOptions();
  void ConnectControls();
  void Place(QWidget* widget, QRect design);
  void ScaleToScreen(QSize screen);
  void ScaleControls(int screen_width);
  void ScaleChartArea();
  /// Moves the chart area below the third row of tabs.
  void PlaceTimeTabRow();
  void DrawPictures();
  void LogLayout(const char* suffix);
  void ReadSettings();
  void LoadCrops();
  void ShowNoPhotos(bool shown);
  void PlaceNoPhotos();
  void FitTabWidth();
  void ShowRunResult(const RunOutcome& outcome);
  void ShowSkippedItems();
  void ExitWork();
  void Filter_BoxClick();
  /// Shows the filter as applied in the summary box, or that there is none, and lays out the panel below.
  void ShowFilterSummary();
  /// Makes `criteria` the applied filter, changed without the dialog, and recounts and shows as Apply does.
  void ChangeFilter(const FilterCriteria& criteria);
  void LanguageClicked(Language language);
  void FocalClicked();
  void CropFactorClicked(bool checked);
  void ChartClicked(ChartId chart);
  [[nodiscard]] CommandContext CurrentContext() const;
  [[nodiscard]] int ClientWidth() const;
  [[nodiscard]] int ClientHeight() const;

  // The survey and what it is counted and shown with.
  SurveyState state_;
  FilterCriteria criteria_;
  // The filters applied before the current one.
  FilterHistory history_;
  CropStore crops_;
  ChartSet charts_;
  // The options the settings file keeps, as the controls edit them; the language is English until the
  // settings or the user choose, and the folder is the one chosen in the tree.
  ProgramSettings options_;
  WindowRun run_;
  int64_t Koef_ = kFixedPointUnit;
  int64_t KoefH_ = kFixedPointUnit;
  // The folder chosen can be surveyed: Run is enabled.
  bool folder_usable_ = false;
  bool close_pending_ = false;
  bool trace_mode_ = false;
  // What the last run passed over, and the dialog that lists it (made when first asked for).
  std::vector<SkippedEntry> skipped_;
  SkippedItemsDialog* skipped_dialog_ = nullptr;

  std::filesystem::path program_folder_;
  std::filesystem::path settings_file_;
  // Something that is not a settings file stands under its name: it is left as it is at exit.
  bool settings_file_refused_ = false;
  std::filesystem::path crop_file_;
  QSize screen_;
  std::unique_ptr<LayoutLog> layout_log_;
  std::function<void(const QString&)> report_error_;

  // Every control placed by the program, with its design place (for a screen 1024 pixels wide).
  // Each with its design font size in pixels.
  struct Placed {
    QWidget* widget;
    QRect design;
    int font_pixels;
  };
  std::vector<Placed> placed_;
  // The window as the layout sees it: its outer size and its client area (below the menu).
  QSize window_size_;
  QSize client_size_;
  int window_font_pixels_ = 0;
  int status_height_ = 0;

  QWidget* central_ = nullptr;
  LeftPanel* Panel_Left = nullptr;
  ChartTabs* Tab_Exif = nullptr;
  QWidget* Chart_SBox = nullptr;
  QLabel* im_NoPhoto = nullptr;
  QLabel* im_NoPhotoEng = nullptr;
  WindowStatusBar* myStatusBar = nullptr;
  WindowCommands* commands_ = nullptr;
  std::unique_ptr<ChartPages> pages_;
  TForm_Filter* Form_Filter = nullptr;
};

}  // namespace lumetra
