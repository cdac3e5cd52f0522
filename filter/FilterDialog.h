#pragma once

#include <array>
#include <string>
#include <vector>

#include <QDialog>
#include <QSize>

#include "filter/FilterDialogTexts.h"
#include "survey/FilterCriteria.h"
#include "survey/Labels.h"
#include "survey/Tallies.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace lumetra {

/// What the filter dialog shows besides the criteria it edits.
struct FilterDialogContext {
  /// The survey whose current ranges the dialog shows and whose photo count decides the list check.
  const SurveyState* survey = nullptr;
  /// The focal length chosen in the main window: real (true) or 35 mm.
  bool rb_Real = true;
  Language language = kEnglish;
  /// The screen the dialog is centred on.
  QSize screen;
  /// The user's decimal separator, for the ranges shown.
  char separator = '.';
};

/// The filter dialog: edits the filter criteria it is given, field by field as the user types, checks them
/// on Apply and stores what was applied. Created once; its criteria and choices last between showings.
/// Cancel, Escape and the window's close button put the criteria back as they were last applied.
class TForm_Filter : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Filter(FilterCriteria& criteria, QWidget* parent = nullptr);

  /// Prepares the dialog for `context` and shows it without waiting; `finished` tells the outcome.
  void Show(const FilterDialogContext& context);
  /// Shows the dialog modally: true when a valid filter (or none) was applied, false when cancelled.
  bool Open(const FilterDialogContext& context);

  // The dialog's commands, as its buttons call them.
  void but_OKClick();
  void but_ClearClick();
  void but_FlashClick();
  void but_OrientationClick();
  void but_CloseClick();

  /// The category part of the filter as last applied.
  [[nodiscard]] const AppliedChoices& Applied() const { return applied_; }
  /// Takes `applied` as the filter last applied when the filter was changed without the dialog (from a chart,
  /// or back to an earlier filter), so that the dialog shows that filter the next time it is shown.
  void SetApplied(const AppliedChoices& applied) { applied_ = applied; }

  void reject() override;

 private:
  struct BoundBox {
    QLineEdit* edit;
    std::string FilterCriteria::*field;
  };

  void CreateControls();
  void CreateBoundGroup(int index);
  QGroupBox* CreateGroup(const char* name, QRect design);
  QCheckBox* CreateCategoryBox(QWidget* parent, const CategoryBox& box, QPoint place);
  QScrollArea* CreateCheckList(QGroupBox* parent, const char* name);
  /// A group box at `top` with two radio buttons that exclude each other and a Clear button that may
  /// uncheck both.
  std::array<QRadioButton*, 2> CreateRadioPair(const char* box_name, int top, const char* first, const char* second,
                                               const char* clear_name, QButtonGroup*& group, QPushButton*& clear);
  void ChainTabOrder();
  void ConnectControls();
  void FormShow();
  void FormActivate();
  void SetCaption(const FilterCaption& caption, Language language);
  void ShowCriteria();
  void RebuildCheckList(QScrollArea* list, std::vector<CheckEntry>& entries);
  void SetNormalBackgrounds();
  static void SetBoxColour(QWidget* widget, bool invalid);

  FilterCriteria& criteria_;
  // The filter as it was when the dialog was shown: what Cancel puts back.
  FilterCriteria shown_with_;
  AppliedChoices applied_;
  FilterDialogContext context_;
  bool showing_criteria_ = false;

  // Exposure, F-number, focal length, ISO, date and hours.
  std::array<BoundBox, 12> bounds_{};
  std::array<QLabel*, 6> lb_from_{};
  std::array<QLabel*, 6> lb_to_{};
  std::array<QLabel*, 6> lb_Now_{};
  std::vector<std::pair<QCheckBox*, bool CategoryBoxes::*>> category_boxes_;
  QRadioButton* rb_Flash_Yes = nullptr;
  QRadioButton* rb_Flash_No = nullptr;
  QRadioButton* rb_Orientation_H = nullptr;
  QRadioButton* rb_Orientation_V = nullptr;
  QButtonGroup* flash_group_ = nullptr;
  QButtonGroup* orientation_group_ = nullptr;
  QScrollArea* ScrollBox_Photo = nullptr;
  QScrollArea* ScrollBox_Lens = nullptr;
  QPushButton* but_OK = nullptr;
  QPushButton* but_Clear = nullptr;
  QPushButton* but_Close = nullptr;
  QPushButton* but_Flash = nullptr;
  QPushButton* but_Orientation = nullptr;
};

}  // namespace lumetra
