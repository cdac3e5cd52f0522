// Which bar or slice of a drawn chart is where, and the highlighted one the keyboard moves.

#include <cmath>
#include <numbers>

#include <QBrush>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>

#include "charts/DrawnChart.h"

namespace lumetra {
namespace {

// A highlighted bar is filled darker and outlined; a highlighted slice is pulled out of the pie.
constexpr int kHighlightDarkness = 170;
constexpr qreal kHighlightOutline = 2.5;
constexpr qreal kSlicePulledOut = 0.08;
// A pulled-out slice stands a little beyond the pie's radius.
constexpr qreal kSliceReach = 1 + kSlicePulledOut;

}  // namespace

std::optional<size_t> DrawnChart::PointAt(QPointF position) {
  if (pie_ != nullptr) return SliceAt(position);
  if (!bars_shown_ || bar_series_ == nullptr || !plotArea().contains(position)) return std::nullopt;
  // In the axis' values, so that a zoomed or panned chart finds the bar drawn there.
  const qreal x = mapToValue(position, bar_series_).x();
  if (!point_sets_.empty()) {
    const qreal slot = std::round(x);
    if (slot < 0 || slot >= static_cast<qreal>(point_sets_.size()) || std::abs(x - slot) > half_bar_)
      return std::nullopt;
    return static_cast<size_t>(slot);
  }
  std::optional<size_t> nearest;
  for (size_t i = 0; i < point_x_.size(); ++i) {
    if (!point_bars_[i] || std::abs(x - point_x_[i]) > half_bar_) continue;
    if (!nearest || std::abs(x - point_x_[i]) < std::abs(x - point_x_[*nearest])) nearest = i;
  }
  return nearest;
}

std::optional<size_t> DrawnChart::SliceAt(QPointF position) const {
  const QRectF plot = plotArea();
  if (plot.isEmpty()) return std::nullopt;
  const QPointF offset = position - plot.center();
  const qreal radius = pie_labels_->PieRadius(plot);
  if (std::hypot(offset.x(), offset.y()) > radius * kSliceReach) return std::nullopt;
  // Clockwise from 12 o'clock, as Qt measures the slices.
  qreal angle = std::atan2(offset.x(), -offset.y()) * 180 / std::numbers::pi;
  if (angle < 0) angle += 360;
  if (!painted_pie_->Slices().empty()) return painted_pie_->SliceAtAngle(angle);
  const QList<QPieSlice*> slices = pie_->slices();
  for (qsizetype i = 0; i < slices.size(); ++i) {
    const qreal start = slices[i]->startAngle();
    if (angle >= start && angle < start + slices[i]->angleSpan()) return static_cast<size_t>(i);
  }
  return std::nullopt;
}

void DrawnChart::Highlight(std::optional<size_t> point) {
  if (highlighted_) ShowHighlight(*highlighted_, false);
  highlighted_ = point;
  if (highlighted_) ShowHighlight(*highlighted_, true);
}

void DrawnChart::ShowHighlight(size_t point, bool shown) {
  if (pie_ != nullptr && !painted_pie_->Slices().empty()) {
    painted_pie_->Highlight(shown ? std::optional(point) : std::nullopt, kSlicePulledOut, kHighlightOutline);
  } else if (pie_ != nullptr) {
    if (point >= static_cast<size_t>(pie_->count())) return;
    QPieSlice* slice = pie_->slices()[static_cast<qsizetype>(point)];
    slice->setExplodeDistanceFactor(kSlicePulledOut);
    slice->setExploded(shown);
    slice->setBorderColor(shown ? QColor(Qt::black) : slice_border_);
    slice->setBorderWidth(shown ? kHighlightOutline : 1);
  } else if (point < point_sets_.size()) {
    QBarSet* set = point_sets_[point];
    set->setSelectedColor(set->color().darker(kHighlightDarkness));
    if (shown) {
      set->selectBar(static_cast<int>(point));
    } else {
      set->deselectBar(static_cast<int>(point));
    }
  } else if (point < point_bars_.size() && point_bars_[point]) {
    linear_bars_->Highlight(shown ? point_bars_[point] : std::nullopt, kHighlightDarkness, kHighlightOutline);
  }
}

}  // namespace lumetra
