// The main window's side of the filter: the dialog opened from the summary box, and the summary of what
// is applied shown in the left panel.

#include "app/ChartTabs.h"
#include "app/LeftPanel.h"
#include "app/Lumetra_main.h"
#include "filter/FilterDialog.h"

namespace lumetra {

void TForm_Exif::Filter_BoxClick() {
  if (run_.Running()) return;
  // While the dialog may be applied, a recount keeps the model and lens lists the user is ticking.
  criteria_.keepChecks = true;
  const FilterDialogContext context{.survey = &state_,
                                    .rb_Real = options_.rb_Real,
                                    .language = UiLanguage(),
                                    .screen = screen_,
                                    .separator = DecimalSeparator()};
  if (!Form_Filter->Open(context)) return;
  ShowFilterSummary();
  RecountAndShow();
}

void TForm_Exif::ShowFilterSummary() {
  // The tree reaches down to the tab area's bottom, less the status bar's height.
  Panel_Left->ShowFilterSummary(criteria_, UiLanguage(), Koef_, Tab_Exif->y() + Tab_Exif->height() - status_height_);
}

}  // namespace lumetra
