#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QRect>
#include <QWidget>

#include "app/SettingsFile.h"
#include "survey/FilterCriteria.h"
#include "survey/Labels.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;

namespace lumetra {

class FolderTree;

/// The main window's left panel, `Panel_Left`: Run, Stop and Exit, the traffic light, the filter summary
/// box, the settings box and the folder tree. The settings box's controls show and edit the fields of a
/// `ProgramSettings` (an edit writes its field at once); the window reacts to the edits through the
/// controls' own signals, connected after the fields'.
class LeftPanel : public QWidget {
  Q_OBJECT

 public:
  /// Places a control at its design place (for a screen 1024 pixels wide) and keeps it for scaling.
  using PlaceControl = std::function<void(QWidget* widget, QRect design)>;
  enum class Light { kRed, kYellow, kGreen };

  LeftPanel(QWidget* parent, const PlaceControl& place, ProgramSettings& options);

  /// Checks the controls as the options say, signalling each change like a click.
  void ShowOptions();
  void ShowLight(Light light);
  [[nodiscard]] bool GreenLight() const;
  /// During a run only Stop shows in Run's place, and the boxes and the tree wait.
  void ShowRunning(bool running);
  /// Draws the traffic lights at their placed sizes.
  void DrawLights();
  /// Keeps "No Filter" centred in the summary box, whose caption changed.
  void CentreNoFilter();
  /// Remembers the summary box's heights with no filter, as placed on this screen: the box never
  /// shrinks below its own label.
  void KeepNoFilterHeights();
  /// Shows the filter as applied, or that there is none, scaled by `koef`, and lays out the settings box
  /// and the tree below it, the tree down to `tree_bottom`.
  void ShowFilterSummary(const FilterCriteria& criteria, Language language, int64_t koef, int tree_bottom);
  [[nodiscard]] bool NoFilterShown() const;

  [[nodiscard]] QToolButton& RunButton() const { return *but_Run; }
  [[nodiscard]] QToolButton& StopButton() const { return *but_Stop; }
  [[nodiscard]] QToolButton& ExitButton() const { return *but_Exit; }
  [[nodiscard]] FolderTree& Tree() const { return *myTree; }
  [[nodiscard]] QCheckBox& CropFactorQuery() const { return *cb_CF; }

 signals:
  /// A click anywhere on the filter summary.
  void filterBoxClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateButtons(const PlaceControl& place);
  void CreateFilterBox(const PlaceControl& place);
  void CreateSettingsBox(const PlaceControl& place);
  void BindOptions();
  void LayOutBelowSummary(int tree_bottom);

  ProgramSettings& options_;
  // The summary box's heights with no filter.
  int filter_box_height_ = 0;
  int sb_filter_height_ = 0;

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
  QRadioButton* rb_Eng = nullptr;
  QRadioButton* rb_Rus = nullptr;
  QRadioButton* rb_Real = nullptr;
  QRadioButton* rb_Equivalent = nullptr;
  QRadioButton* rb_Text = nullptr;
  QRadioButton* rb_Linear = nullptr;
  QCheckBox* cb_CF = nullptr;
  QCheckBox* cb_SubFolders = nullptr;
  QCheckBox* cb_HideLeft = nullptr;
  FolderTree* myTree = nullptr;
};

}  // namespace lumetra
