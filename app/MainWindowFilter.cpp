// The main window's side of the filter: the dialog opened from the summary box, the summary of what is
// applied, and the left panel laid out again below it.

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

#include "app/ChartTabs.h"
#include "app/FolderTree.h"
#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "filter/FilterDialog.h"
#include "filter/FilterSummary.h"

namespace lumetra {

using namespace detail;

void TForm_Exif::Filter_BoxClick() {
  if (running_) return;
  // While the dialog may be applied, a recount keeps the model and lens lists the user is ticking.
  criteria_.keepChecks = true;
  const FilterDialogContext context{.survey = &state_,
                                    .rb_Real = rb_Real->isChecked(),
                                    .language = UiLanguage_,
                                    .screen = screen_,
                                    .separator = DecimalSeparator()};
  if (!Form_Filter->Open(context)) return;
  ShowFilterSummary();
  RecountAndShow();
}

void TForm_Exif::ShowFilterSummary() {
  const std::vector<SummaryLabel> labels = BuildFilterSummary(criteria_, UiLanguage_);
  for (QLabel* label : summary_labels_) label->hide();
  auto* summary = static_cast<QScrollArea*>(SB_Filter);
  if (labels.empty()) {
    lb_Filter->show();
    Filter_Box->resize(Filter_Box->width(), filter_box_height_);
    SB_Filter->resize(SB_Filter->width(), sb_filter_height_);
    summary->widget()->resize(SB_Filter->width(), sb_filter_height_);
  } else {
    lb_Filter->hide();
    const SummaryLayout layout = LayOutFilterSummary(labels, Koef_, Panel_Left->height());
    int content_width = 0;
    int content_height = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
      QLabel* label = Panel_Left->findChild<QLabel*>(ToQString(labels[i].control));
      QString text = ToQString(labels[i].text);
      // The list lines follow carriage returns; a label breaks its lines at line feeds.
      text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
      label->setText(text);
      label->adjustSize();
      label->move(3, layout.tops[i]);
      label->show();
      content_width = std::max(content_width, label->x() + label->width() + 3);
      content_height = std::max(content_height, label->y() + label->height() + 3);
    }
    Filter_Box->resize(Filter_Box->width(), layout.filter_box_height);
    SB_Filter->resize(SB_Filter->width(), layout.sb_filter_height);
    // The labels fill the box's width, less the vertical scroll bar when they are taller than the box;
    // only a longer name scrolls sideways.
    const int scroll_bar =
        content_height > layout.sb_filter_height ? summary->verticalScrollBar()->sizeHint().width() : 0;
    content_width = std::max(content_width, SB_Filter->width() - scroll_bar);
    summary->widget()->resize(content_width, std::max(content_height, layout.sb_filter_height));
  }
  LayOutLeftPanel();
}

void TForm_Exif::LayOutLeftPanel() {
  Box_Settings->move(Box_Settings->x(), Filter_Box->y() + Filter_Box->height() + 5);
  const int tree_top = Box_Settings->y() + Box_Settings->height() + 10;
  myTree->setGeometry(myTree->x(), tree_top, myTree->width(),
                      Tab_Exif->y() + Tab_Exif->height() - tree_top - status_height_);
}

}  // namespace lumetra
