// The main window's side of the filter: the dialog opened from the summary box, the summary of what is
// applied shown in the left panel, the chart commands "Only" and "All but", and the way back.

#include "app/ChartTabs.h"
#include "app/LeftPanel.h"
#include "app/Lumetra_main.h"
#include "app/WindowStatusBar.h"
#include "charts/ChartPointChoice.h"
#include "filter/ApplyChecks.h"
#include "filter/FilterDialog.h"
#include "widgets/QtText.h"

namespace lumetra {

void TForm_Exif::Filter_BoxClick() {
  if (run_.Running()) return;
  const FilterCriteria before = criteria_;
  // While the dialog may be applied, a recount keeps the model and lens lists the user is ticking.
  criteria_.keepChecks = true;
  const FilterDialogContext context{.survey = &state_,
                                    .rb_Real = options_.rb_Real,
                                    .language = UiLanguage(),
                                    .screen = screen_,
                                    .separator = DecimalSeparator()};
  if (!Form_Filter->Open(context)) return;
  // An Apply, after Clear or not, is a step the way back takes back.
  history_.Record(before, criteria_);
  ShowFilterSummary();
  RecountAndShow();
  UpdateActions();
}

void TForm_Exif::ShowFilterSummary() {
  // The tree reaches down to the tab area's bottom, less the status bar's height.
  Panel_Left->ShowFilterSummary(criteria_, UiLanguage(), Koef_, Tab_Exif->y() + Tab_Exif->height() - status_height_);
}

FilterChange TForm_Exif::ChartCommandChange(ChartId chart, size_t point, ChartCommand command) const {
  const std::vector<ChartPoint>& points = charts_[chart].Shown().Points();
  if (point >= points.size()) return {};
  return ChartFilterChange(criteria_, ChoiceOfPoint(state_, chart, points[point], command, options_.rb_Real),
                           state_.processedCount);
}

void TForm_Exif::ApplyChartCommand(ChartId chart, size_t point, ChartCommand command) {
  // Only the charts of a finished run stand for the stored photos.
  if (run_.Running() || !ResultShown()) return;
  const FilterChange change = ChartCommandChange(chart, point, command);
  if (!change.criteria) {
    ShowStatusNote(ToQString(change.reason.In(UiLanguage())));
    return;
  }
  history_.Record(criteria_, *change.criteria);
  ChangeFilter(*change.criteria);
}

void TForm_Exif::PreviousFilter() {
  if (run_.Running() || !ResultShown()) return;
  const std::optional<FilterCriteria> previous = history_.Back(criteria_);
  if (previous) ChangeFilter(*previous);
}

void TForm_Exif::ChangeFilter(const FilterCriteria& criteria) {
  criteria_ = criteria;
  // The dialog shows this filter the next time, exclusions kept.
  Form_Filter->SetApplied(ChoicesOf(criteria_));
  myStatusBar->EndNote();
  ShowFilterSummary();
  RecountAndShow();
  UpdateActions();
}

void TForm_Exif::ShowStatusNote(const QString& note) {
  if (note.isEmpty()) {
    myStatusBar->EndNote();
  } else {
    myStatusBar->ShowNote(note);
  }
}

}  // namespace lumetra
