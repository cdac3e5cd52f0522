#include "charts/LinearBars.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QPainter>
#include <QPen>

namespace lumetra {

LinearBars::LinearBars(QChart* chart) : QGraphicsItem(chart), chart_(chart) {}

void LinearBars::SetBars(std::vector<Bar> bars, QAbstractSeries* anchor) {
  bars_ = std::move(bars);
  highlighted_.reset();
  anchor_ = anchor;
  Refresh();
}

void LinearBars::Highlight(std::optional<size_t> bar, int darkness, qreal outline) {
  highlighted_ = bar && *bar < bars_.size() ? bar : std::nullopt;
  highlight_darkness_ = darkness;
  highlight_outline_ = outline;
  update();
}

void LinearBars::Refresh() {
  prepareGeometryChange();
  plot_ = bars_.empty() ? QRectF() : chart_->plotArea();
  update();
}

void LinearBars::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  if (bars_.empty() || anchor_ == nullptr || plot_.isEmpty()) return;
  // Both axes are linear: two mapped points give the scale and offset of each.
  const QPointF origin = chart_->mapToPosition(QPointF(0, 0), anchor_);
  const QPointF unit = chart_->mapToPosition(QPointF(1, 1), anchor_) - origin;
  const auto rect_of = [&](const Bar& bar) {
    const qreal left = origin.x() + bar.left * unit.x();
    const qreal right = origin.x() + bar.right * unit.x();
    const qreal top = origin.y() + bar.height * unit.y();
    return QRectF(QPointF(left, top), QPointF(std::max(right, left + 1), origin.y())).normalized();
  };
  // More bars than pixels across: those starting in one pixel column are painted as one rectangle, as tall
  // as the tallest of them, instead of tens of thousands of rectangles over one another.
  const bool merged = static_cast<qreal>(bars_.size()) > plot_.width();
  painter->save();
  painter->setClipRect(plot_);
  QColor current;
  bool styled = false;
  for (size_t index = 0; index < bars_.size(); ++index) {
    const Bar& bar = bars_[index];
    if (index == highlighted_) {
      styled = false;
      painter->setBrush(bar.colour.darker(highlight_darkness_));
      painter->setPen(QPen(Qt::black, highlight_outline_));
    } else if (!styled || bar.colour != current) {
      styled = true;
      current = bar.colour;
      painter->setBrush(current);
      painter->setPen(QPen(current.darker(160), 1));
    }
    QRectF rect = rect_of(bar);
    while (merged && index != highlighted_ && index + 1 < bars_.size() && index + 1 != highlighted_ &&
           bars_[index + 1].colour == bar.colour &&
           std::floor(rect_of(bars_[index + 1]).left()) == std::floor(rect.left())) {
      rect = rect.united(rect_of(bars_[++index]));
    }
    painter->drawRect(rect);
  }
  painter->restore();
}

}  // namespace lumetra
