#pragma once

#include <optional>
#include <vector>

#include <QAbstractSeries>
#include <QChart>
#include <QColor>
#include <QGraphicsItem>
#include <QPointer>
#include <QRectF>

namespace lumetra {

/// The bars of a linear axis, painted over the plot as rectangles in one pass. Qt Charts has no bar
/// series for bars at X values; an area series for each bar made its work grow with the square of the
/// bars, and one area for all of them fills a path whose edges its scan converter sorts, again growing
/// with the square: thousands of distinct exposures took tens of seconds. Here each paint maps the
/// bars through the axes of `anchor` (a series without points attached to them), so zooming and
/// scrolling the axes move the bars too.
class LinearBars : public QGraphicsItem {
 public:
  struct Bar {
    qreal left = 0;  // axis values
    qreal right = 0;
    qreal height = 0;  // a count
    QColor colour;
  };

  explicit LinearBars(QChart* chart);

  /// Replaces the bars, drawn through the axes of `anchor`; no bars and no anchor draw nothing.
  void SetBars(std::vector<Bar> bars, QAbstractSeries* anchor);
  [[nodiscard]] const std::vector<Bar>& Bars() const { return bars_; }
  /// Draws bar `bar` (or none) `darkness` percent darker with a black outline `outline` pixels wide.
  void Highlight(std::optional<size_t> bar, int darkness, qreal outline);
  /// Called when the plot area or an axis range has changed.
  void Refresh();

  [[nodiscard]] QRectF boundingRect() const override { return plot_; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 private:
  QChart* chart_;
  std::vector<Bar> bars_;
  std::optional<size_t> highlighted_;
  int highlight_darkness_ = 100;
  qreal highlight_outline_ = 1;
  QPointer<QAbstractSeries> anchor_;
  QRectF plot_;
};

}  // namespace lumetra
