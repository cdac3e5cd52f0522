#include "charts/ChartModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "survey/Labels.h"

namespace lumetra {

std::array<ChartId, kChartCount> AllCharts() {
  std::array<ChartId, kChartCount> ids{};
  for (int i = 0; i < kChartCount; ++i) ids[static_cast<size_t>(i)] = static_cast<ChartId>(i);
  return ids;
}

ChartSeries::ChartSeries(std::string series_name, SeriesKind series_kind, PointOrder order, bool is_active)
    : name(std::move(series_name)), kind(series_kind), active(is_active), order_(order) {}

void ChartSeries::Clear() { points_.clear(); }

void ChartSeries::Add(int64_t value, std::string label, ChartColour colour, std::optional<size_t> row) {
  const double slot = kind == SeriesKind::kBar ? static_cast<double>(points_.size()) : 0;
  Insert(ChartPoint{std::move(label), value, colour, slot, row});
}

void ChartSeries::AddXY(double x, int64_t value, std::string label, ChartColour colour, std::optional<size_t> row) {
  Insert(ChartPoint{std::move(label), value, colour, x, row});
}

int64_t ChartSeries::Total() const {
  return std::accumulate(points_.begin(), points_.end(), int64_t{0},
                         [](int64_t sum, const ChartPoint& point) { return sum + point.value; });
}

// The chart component keeps its points sorted as they arrive; a new point goes after its equals.
void ChartSeries::Insert(ChartPoint point) {
  const auto before = [this](const ChartPoint& a, const ChartPoint& b) {
    switch (order_) {
      case PointOrder::kByX:
        return a.x < b.x;
      case PointOrder::kAscendingValue:
        return a.value < b.value;
      case PointOrder::kDescendingValue:
        return a.value > b.value;
    }
    return false;
  };
  const auto place = std::upper_bound(points_.begin(), points_.end(), point, before);
  points_.insert(place, std::move(point));
}

ChartSet::ChartSet() {
  for (const ChartRow& row : kChartRows) {
    Chart& chart = (*this)[row.id];
    chart.id = row.id;
    chart.name = row.name;
    chart.has_axis = row.form == ChartForm::kBars;
    if (chart.has_axis) {
      chart.bar = ChartSeries(std::string(row.bar_series), SeriesKind::kBar, PointOrder::kByX, true);
      chart.pie = ChartSeries(std::string(row.pie_series), SeriesKind::kPie, PointOrder::kAscendingValue, false);
      chart.pie.marks = true;
    } else {
      chart.bar = ChartSeries({}, SeriesKind::kBar, PointOrder::kByX, false);
      chart.pie = ChartSeries(std::string(row.pie_series), SeriesKind::kPie, PointOrder::kDescendingValue, true);
    }
  }
}

std::string ChartTitle(ChartId id, Language language) { return std::string(RowOf(id).title.In(language)); }

void SetChartTexts(ChartSet& charts, Language language) {
  for (const ChartId id : AllCharts()) {
    Chart& chart = charts[id];
    chart.title = ChartTitle(id, language);
    chart.axis_title = chart.has_axis ? (language == kRussian ? "Количество" : "Quantity") : "";
  }
}

}  // namespace lumetra
