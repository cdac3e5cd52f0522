#include "charts/PaintedPie.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace lumetra {
namespace {

// A wedge at least this many pixels wide at the rim is parted from the next by a border line; narrower
// ones would be all border and are outlined in their own colour.
constexpr qreal kBorderedArc = 3;

// The wedge from `start` over `span` degrees, clockwise from 12 o'clock, as Qt's pie draws a slice.
QPainterPath Wedge(QPointF centre, qreal radius, qreal start, qreal span) {
  QPainterPath path;
  path.moveTo(centre);
  path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2), 90 - start, -span);
  path.closeSubpath();
  return path;
}

}  // namespace

PaintedPie::PaintedPie(QGraphicsItem* parent) : QGraphicsItem(parent) {}

void PaintedPie::SetSlices(std::vector<Slice> slices, QColor border) {
  prepareGeometryChange();
  slices_ = std::move(slices);
  border_ = border;
  highlighted_.reset();
  update();
}

void PaintedPie::Place(QPointF centre, qreal radius) {
  if (centre == centre_ && radius == radius_) return;
  prepareGeometryChange();
  centre_ = centre;
  radius_ = radius;
  update();
}

void PaintedPie::Highlight(std::optional<size_t> slice, qreal pulled_out, qreal outline) {
  // The pulled-out slice and its outline reach beyond the pie.
  prepareGeometryChange();
  highlighted_ = slice && *slice < slices_.size() ? slice : std::nullopt;
  pulled_out_ = pulled_out;
  outline_ = outline;
  update();
}

std::optional<size_t> PaintedPie::SliceAtAngle(qreal angle) const {
  // The slices follow one another round the pie: the last one starting at or before `angle` is the only
  // one that can hold it.
  const auto after = std::upper_bound(slices_.begin(), slices_.end(), angle,
                                      [](qreal value, const Slice& slice) { return value < slice.start; });
  if (after == slices_.begin()) return std::nullopt;
  const auto slice = std::prev(after);
  if (angle >= slice->start + slice->span) return std::nullopt;
  return static_cast<size_t>(slice - slices_.begin());
}

QRectF PaintedPie::boundingRect() const {
  if (slices_.empty() || radius_ <= 0) return {};
  const qreal reach = radius_ * (1 + pulled_out_) + outline_ + 1;
  return {centre_.x() - reach, centre_.y() - reach, reach * 2, reach * 2};
}

void PaintedPie::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (slices_.empty() || radius_ <= 0) return;
  const qreal pixels_per_degree = radius_ * std::numbers::pi / 180;
  const auto rim_pixel = [&](qreal angle) { return std::floor(angle * pixels_per_degree); };
  painter->save();
  for (size_t first = 0; first < slices_.size(); ++first) {
    if (first == highlighted_ || slices_[first].span <= 0) continue;
    // The slices starting in the same pixel of the rim make one wedge, in the colour of the largest.
    size_t last = first;
    size_t largest = first;
    while (last + 1 < slices_.size() && last + 1 != highlighted_ &&
           rim_pixel(slices_[last + 1].start) == rim_pixel(slices_[first].start)) {
      ++last;
      if (slices_[last].span > slices_[largest].span) largest = last;
    }
    const qreal span = slices_[last].start + slices_[last].span - slices_[first].start;
    const QColor& colour = slices_[largest].colour;
    painter->setBrush(colour);
    painter->setPen(QPen(span * pixels_per_degree >= kBorderedArc ? border_ : colour, 1));
    painter->drawPath(Wedge(centre_, radius_, slices_[first].start, span));
    first = last;
  }
  PaintHighlighted(*painter);
  painter->restore();
}

void PaintedPie::PaintHighlighted(QPainter& painter) const {
  if (!highlighted_) return;
  const Slice& slice = slices_[*highlighted_];
  const qreal middle = (slice.start + slice.span / 2) * std::numbers::pi / 180;
  const QPointF centre = centre_ + QPointF(std::sin(middle), -std::cos(middle)) * radius_ * pulled_out_;
  painter.setBrush(slice.colour);
  painter.setPen(QPen(Qt::black, outline_));
  painter.drawPath(Wedge(centre, radius_, slice.start, slice.span));
}

}  // namespace lumetra
