#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QAreaSeries>
#include <QBarSet>
#include <QBrush>
#include <QCategoryAxis>
#include <QChart>
#include <QColor>
#include <QPen>
#include <QPieSeries>
#include <QString>
#include <QStringList>
#include <QValueAxis>

#include "charts/ChartModel.h"
#include "charts/LinearBars.h"
#include "charts/PaintedPie.h"
#include "charts/PieLabels.h"

namespace lumetra {

/// Where a chart is shown: among others on an overview page, or alone on its own page.
enum class ChartPage : uint8_t { kOverview, kSingle };

/// The Qt Charts picture of one `Chart`: the one place where the model's series become Qt Charts
/// series. It follows the fixed drawing rules (pies from 12 o'clock with "label (25%)" marks, a legend
/// below the category pies; bars on a white back wall with a 0-based count axis) and keeps fitting itself
/// to its size: the page's bottom margin, the tick spacing of the count axis, upright or turned bottom
/// labels (every second or third one where even turned ones would overlap), the pie's marks and legend.
class DrawnChart : public QChart {
 public:
  explicit DrawnChart(ChartPage page = ChartPage::kSingle);

  /// Replaces everything shown by the title and the active series of `chart`, as they are now.
  void Draw(const Chart& chart);
  /// Resizes the chart and lays it out at once, without the event loop (for off-screen drawing).
  void LayOut(QSizeF size);
  /// The bottom margin of a bar chart: 7 % of the height on an overview page, 2 % alone.
  void SetPage(ChartPage page);
  [[nodiscard]] ChartPage Page() const { return page_; }
  /// The marks and legend of the pie shown, if any.
  [[nodiscard]] const PieLabels& Labels() const { return *pie_labels_; }
  /// The bars of a linear axis, if shown.
  [[nodiscard]] const LinearBars& BarsAtValues() const { return *linear_bars_; }
  /// The slices of a pie of many rows, if shown (those of a smaller pie are Qt's).
  [[nodiscard]] const PaintedPie& PaintedSlices() const { return *painted_pie_; }

  /// The point of the series shown (its index in the series' points) whose bar or slice is at `position`
  /// in the chart's coordinates: on bars the column of a bar, as zoomed and panned, from the axis up; on a
  /// pie its slice. Empty elsewhere.
  [[nodiscard]] std::optional<size_t> PointAt(QPointF position);
  /// Marks the bar or slice of `point` as highlighted (a dark outline, a slice pulled out), or none.
  void Highlight(std::optional<size_t> point);

 private:
  void DrawBars(const Chart& chart);
  void DrawTextBars(const Chart& chart, QValueAxis* count_axis);
  void DrawLinearBars(const Chart& chart, QValueAxis* count_axis);
  void DrawPaintedSlots(const Chart& chart, QValueAxis* count_axis);
  QCategoryAxis* AddPaintedAxis();
  void PaintBars(const Chart& chart, qreal half_bar, QCategoryAxis* x_axis, QValueAxis* count_axis);
  // The widest line of the bottom labels, or, when the first few of them are already wider than `room`,
  // the widest of those: measured only as far as the choice between upright and turned labels needs.
  [[nodiscard]] qreal WidestLabel(qreal room);
  void DrawPie(const Chart& chart);
  void FitToSize();
  void FitBottomLabels(const QRectF& plot);
  void FitPie();
  [[nodiscard]] std::optional<size_t> SliceAt(QPointF position) const;
  void ShowHighlight(size_t point, bool shown);

  ChartPage page_;
  ChartId id_ = ChartId::Chart_ShutterSpeed;
  bool bars_shown_ = false;
  // The bottom labels as plain text ("\r" between the lines of the program labels) and where they
  // stand: slots 0, 1, ... on a text axis, X values on a linear one. Crowded labels are thinned out
  // from these.
  QStringList bottom_labels_;
  std::vector<qreal> label_positions_;
  std::optional<qreal> widest_label_;    // measured once per Draw, when needed
  std::optional<qreal> widest_sampled_;  // the widest of the first few labels
  PieLabels* pie_labels_;                // a child item of the chart
  LinearBars* linear_bars_;              // a child item of the chart
  PaintedPie* painted_pie_;              // a child item of the chart
  // The pie shown, if any: Qt's slices, or none beside the painted ones of a pie of many rows.
  QPieSeries* pie_ = nullptr;
  // The slices' border: white between slices, the slice's own colour on a pie of one slice.
  QColor slice_border_;
  // Where the points of the series shown stand, in point order: on a text axis of Qt's categories the bar
  // set holding each point's bar (in slot = point index); where the bars are painted (a linear axis, a text
  // axis of many bars) each point's bar among `linear_bars_` and its X value (no bar for a value without a
  // place). Reset by every `Draw`.
  std::vector<QBarSet*> point_sets_;
  std::vector<std::optional<size_t>> point_bars_;
  std::vector<qreal> point_x_;
  qreal half_bar_ = 0;
  QAbstractSeries* bar_series_ = nullptr;
  std::optional<size_t> highlighted_;
};

/// A model text as Qt Charts shows it. Qt Charts reads every label as rich text, so "<" and "&" are
/// escaped; a line break ("\r") is kept as one when `line_breaks` is set, otherwise it becomes a space.
[[nodiscard]] QString ChartText(std::string_view text, bool line_breaks = false);

/// A slice's mark and legend text, plain and on one line: its label and its share of `total` in whole
/// percent, "Canon (25%)"; halves round up. A pie without photos has no shares: the label alone.
[[nodiscard]] QString PieMarkText(const ChartPoint& point, int64_t total);

}  // namespace lumetra
