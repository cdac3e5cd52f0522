#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "charts/ChartCatalog.h"
#include "survey/Labels.h"

namespace lumetra {

/// Every chart, in `ChartId` order.
[[nodiscard]] std::array<ChartId, kChartCount> AllCharts();

/// A bar or a pie slice: a count of photos with its label and colour; `x` places a bar on the
/// horizontal axis (its slot from 0 on a text axis, its value on a linear one; 0 for slices); `row` is the
/// row of the chart's tally it was made from, empty for a slice that joins several rows ("Other").
struct ChartPoint {
  std::string label;
  int64_t value = 0;
  ChartColour colour = 0;
  double x = 0;
  std::optional<size_t> row;
};

enum class SeriesKind : uint8_t { kBar, kPie };
/// How a series keeps its points: bars by X, the alternate pies by ascending value, the category pies
/// by descending value; points of equal rank stay in the order they were added.
enum class PointOrder : uint8_t { kByX, kAscendingValue, kDescendingValue };

/// An ordered list of points with the flags that decide whether and how it is drawn.
class ChartSeries {
 public:
  ChartSeries() = default;
  ChartSeries(std::string name, SeriesKind kind, PointOrder order, bool active);

  /// Drops every point.
  void Clear();
  /// Adds a point; a bar takes the next free slot of a text axis (X = the number of points before it).
  void Add(int64_t value, std::string label, ChartColour colour, std::optional<size_t> row = std::nullopt);
  /// Adds a bar at `x` on a linear axis.
  void AddXY(double x, int64_t value, std::string label, ChartColour colour, std::optional<size_t> row = std::nullopt);

  [[nodiscard]] const std::vector<ChartPoint>& Points() const { return points_; }
  /// The sum of the values (a pie's whole).
  [[nodiscard]] int64_t Total() const;

  /// The control's name ("SerSS", "SerFN2", "SerMake").
  std::string name;
  SeriesKind kind = SeriesKind::kPie;
  /// Only active series are drawn; a bar chart has exactly one of its two series active.
  bool active = true;
  /// Each point carries a text mark (a pie: "label (25%)").
  bool marks = false;

 private:
  void Insert(ChartPoint point);

  PointOrder order_ = PointOrder::kDescendingValue;
  std::vector<ChartPoint> points_;
};

enum class AxisKind : uint8_t { kText, kLinear };

/// One chart: a title, for the bar charts a vertical axis from 0 to `axis_maximum`, and its series.
struct Chart {
  ChartId id = ChartId::Chart_ShutterSpeed;
  /// The control's name ("Chart_ShutterSpeed").
  std::string name;
  std::string title;
  /// The bar charts have a vertical axis and a bar series; the others only a pie.
  bool has_axis = false;
  int64_t axis_maximum = 0;
  std::string axis_title;
  /// How the bars were placed by the last build: slots of a text axis or values of a linear one.
  AxisKind axis = AxisKind::kText;
  /// The bar series of a bar chart; empty and inactive for the category pies.
  ChartSeries bar;
  /// The alternate pie of a bar chart, or the chart's only series.
  ChartSeries pie;

  /// The series that is drawn: the bar series unless the chart was switched to its pie.
  [[nodiscard]] const ChartSeries& Shown() const { return has_axis && bar.active ? bar : pie; }
};

/// Every chart with its series, in `ChartId` order; bar series active, alternate pies inactive
/// with marks, category pies active without marks; titles empty until `SetChartTexts`.
class ChartSet {
 public:
  ChartSet();
  [[nodiscard]] Chart& operator[](ChartId id) { return charts_[static_cast<size_t>(id)]; }
  [[nodiscard]] const Chart& operator[](ChartId id) const { return charts_[static_cast<size_t>(id)]; }

 private:
  std::array<Chart, kChartCount> charts_;
};

/// The chart's title in `language`: "Выдержка" / "Exposure".
[[nodiscard]] std::string ChartTitle(ChartId id, Language language);
/// Puts every title and the vertical-axis title ("Количество" / "Quantity") in `language`.
void SetChartTexts(ChartSet& charts, Language language);

}  // namespace lumetra
