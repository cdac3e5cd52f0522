#pragma once

#include <QChartView>

#include "charts/ChartModel.h"
#include "charts/DrawnChart.h"

namespace lumetra {

/// A widget showing one chart of the model. The page code sets the page (the bottom margin of the bar
/// charts) and the model's flags (active series, marks of the pies), then calls `Refresh`.
class ChartView : public QChartView {
 public:
  /// `chart` is the model's chart, read again by every `Refresh`; it must outlive the view.
  explicit ChartView(const Chart& chart, ChartPage page = ChartPage::kOverview, QWidget* parent = nullptr);

  /// Redraws the chart from the model: its title, its active series and their points and marks.
  void Refresh();
  void SetPage(ChartPage page);
  [[nodiscard]] ChartPage Page() const { return drawn_->Page(); }
  [[nodiscard]] const Chart& Model() const { return chart_; }
  [[nodiscard]] DrawnChart& Drawn() { return *drawn_; }

 private:
  const Chart& chart_;
  DrawnChart* drawn_;  // owned by the view
};

}  // namespace lumetra
