#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QStringList>

#include "app/LayoutLog.h"
#include "charts/BuildChartSeries.h"
#include "charts/ChartModel.h"
#include "crop/CropStore.h"
#include "numbers/FixedPoint.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoFormats.h"
#include "survey/Tallies.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QRadioButton;
class QToolButton;

namespace lumetra {

class ChartPages;
class ChartTabs;
class FolderTree;
class TForm_Filter;

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

/// The dialogs the main window opens. Each is set by the dialog's own code; until then the command that
/// would open it does nothing visible.
struct WindowDialogs {
  /// F7: the crop database editor, modal.
  std::function<void()> crop_editor;
  /// The end of a run that met cameras without a crop factor: true when the user saved factors for them.
  std::function<bool()> unknown_cameras;
  /// What follows a save in the unknown-cameras dialog: stored factors merged, photos recounted.
  std::function<void()> unknown_cameras_saved;
  /// F6: the shortcut list of the filtered photos.
  std::function<void()> shortcut_list;
};

/// The main window: the left panel (Run, Stop and Exit, the traffic light, the filter summary, the
/// settings box and the folder tree), the sixteen chart pages, the status bar and the menu. It owns the
/// survey state, the filter, the crop store and the charts.
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

  WindowDialogs& Dialogs() { return dialogs_; }

  [[nodiscard]] Language UiLanguage() const { return UiLanguage_; }
  [[nodiscard]] int64_t Koef() const { return Koef_; }
  [[nodiscard]] int64_t KoefH() const { return KoefH_; }
  [[nodiscard]] bool Running() const { return running_; }
  [[nodiscard]] const SurveyState& Survey() const { return state_; }
  [[nodiscard]] SurveyState& Survey() { return state_; }
  [[nodiscard]] FilterCriteria& Criteria() { return criteria_; }
  [[nodiscard]] CropStore& Crops() { return crops_; }
  [[nodiscard]] ChartSet& Charts() { return charts_; }
  [[nodiscard]] ChartPages& Pages() { return *pages_; }
  [[nodiscard]] const std::string& CurrentFolder() const { return current_folder_; }
  [[nodiscard]] const std::filesystem::path& ProgramFolderPath() const { return program_folder_; }
  /// The photo files the next run takes, as the main menu sets them.
  [[nodiscard]] PhotoFormats SelectedFormats() const;
  void ShowRecordsProblem(const std::string& problem);
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
  [[nodiscard]] QCheckBox* CropFactorQuery() const { return cb_CF; }
  [[nodiscard]] QSize ScreenSize() const { return screen_; }
  /// The user's decimal separator, for the crop file and the crop dialogs.
  [[nodiscard]] static char DecimalSeparator();
  void ReportError(const QString& message);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Light { kRed, kYellow, kGreen };

  void CreateControls();
  void CreateMenu();
  void ConnectControls();
  void Place(QWidget* widget, QRect design);
  void ScaleToScreen(QSize screen);
  void DrawPictures();
  void LogLayout(const char* suffix);
  void ReadSettings();
  void LoadCrops();
  void ShowLight(Light light);
  void SetRunning(bool running);
  void ShowNoPhotos(bool shown);
  void PlaceNoPhotos();
  void FitTabWidth();
  void ExitWork();
  void ExitCommand();
  void HideLeftCommand();
  void Filter_BoxClick();
  /// Shows the filter as applied in the summary box, or that there is none, and lays out the panel below.
  void ShowFilterSummary();
  void LayOutLeftPanel();
  void LanguageClicked(Language language);
  void FocalClicked();
  void ChartClicked(ChartId chart);
  void ShortcutCommand();
  void CropCommand();
  [[nodiscard]] int ClientWidth() const;
  [[nodiscard]] int ClientHeight() const;

  // The survey and what it is counted and shown with.
  SurveyState state_;
  FilterCriteria criteria_;
  CropStore crops_;
  ChartSet charts_;
  std::atomic<bool> stopRequested_{false};
  // English until the settings or the user choose.
  Language UiLanguage_ = kEnglish;
  int64_t Koef_ = kFixedPointUnit;
  int64_t KoefH_ = kFixedPointUnit;
  std::string current_folder_;
  // F6 is enabled after a run that showed charts.
  bool shortcut_enabled_ = false;
  bool running_ = false;
  bool close_pending_ = false;
  bool trace_mode_ = false;
  QElapsedTimer counters_shown_;

  std::filesystem::path program_folder_;
  std::filesystem::path settings_file_;
  // Something that is not a settings file stands under its name: it is left as it is at exit.
  bool settings_file_refused_ = false;
  std::filesystem::path crop_file_;
  QSize screen_;
  std::unique_ptr<LayoutLog> layout_log_;
  std::function<void(const QString&)> report_error_;
  WindowDialogs dialogs_;

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
  // The summary box's heights with no filter, as placed on this screen.
  int filter_box_height_ = 0;
  int sb_filter_height_ = 0;

  QWidget* central_ = nullptr;
  QWidget* Panel_Left = nullptr;
  QToolButton* but_Run = nullptr;
  QToolButton* but_Stop = nullptr;
  QToolButton* but_Exit = nullptr;
  QLabel* im_red = nullptr;
  QLabel* im_yellow = nullptr;
  QLabel* im_green = nullptr;
  QGroupBox* Filter_Box = nullptr;
  QWidget* SB_Filter = nullptr;
  QLabel* lb_Filter = nullptr;
  std::vector<QLabel*> summary_labels_;
  QGroupBox* Box_Settings = nullptr;
  QLabel* lb_Lang = nullptr;
  QRadioButton* rb_Eng = nullptr;
  QRadioButton* rb_Rus = nullptr;
  QLabel* lb_FL = nullptr;
  QRadioButton* rb_Real = nullptr;
  QRadioButton* rb_Equivalent = nullptr;
  QLabel* lb_Axis = nullptr;
  QRadioButton* rb_Text = nullptr;
  QRadioButton* rb_Linear = nullptr;
  QCheckBox* cb_CF = nullptr;
  QCheckBox* cb_SubFolders = nullptr;
  QCheckBox* cb_HideLeft = nullptr;
  FolderTree* myTree = nullptr;
  ChartTabs* Tab_Exif = nullptr;
  QWidget* Chart_SBox = nullptr;
  QLabel* im_NoPhoto = nullptr;
  QLabel* im_NoPhotoEng = nullptr;
  QLabel* status_panels_[3] = {};
  QMenu* mSettings = nullptr;
  QAction* mmHideLeft = nullptr;
  QAction* mmRun = nullptr;
  QAction* mmShortcut = nullptr;
  QAction* mmCrop = nullptr;
  // Checked: a run also takes HEIC/HEIF, AVIF and RAW files.
  QAction* mmAllFormats = nullptr;
  QAction* mmRememberPhotos = nullptr;
  QAction* mmExit = nullptr;
  std::unique_ptr<ChartPages> pages_;
  TForm_Filter* Form_Filter = nullptr;
};

}  // namespace lumetra
