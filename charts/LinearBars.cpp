#include "charts/LinearBars.h"

#include <algorithm>
#include <utility>

#include <QPainter>
#include <QPen>

namespace lumetra {

LinearBars::LinearBars(QChart* chart) : QGraphicsItem(chart), chart_(chart) {}

void LinearBars::SetBars(std::vector<Bar> bars, QAbstractSeries* anchor) {
  bars_ = std::move(bars);
  anchor_ = anchor;
  Refresh();
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
  painter->save();
  painter->setClipRect(plot_);
  QColor current;
  bool styled = false;
  for (const Bar& bar : bars_) {
    if (!styled || bar.colour != current) {
      styled = true;
      current = bar.colour;
      painter->setBrush(current);
      painter->setPen(QPen(current.darker(160), 1));
    }
    const qreal left = origin.x() + bar.left * unit.x();
    const qreal right = origin.x() + bar.right * unit.x();
    const qreal top = origin.y() + bar.height * unit.y();
    painter->drawRect(QRectF(QPointF(left, top), QPointF(std::max(right, left + 1), origin.y())).normalized());
  }
  painter->restore();
}

}  // namespace lumetra
