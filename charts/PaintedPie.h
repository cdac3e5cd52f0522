#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QColor>
#include <QGraphicsItem>
#include <QPointF>
#include <QRectF>

namespace lumetra {

/// The slices of a pie of many rows, painted by one item with the geometry of Qt's pie (from its centre,
/// clockwise from 12 o'clock, a highlighted slice pulled out along its middle). Qt's pie series makes a
/// slice item and a legend marker for every row, and its legend's work grows with the square of the rows:
/// a pie of 6,000 distinct exposure times froze the window for seconds. Slices narrower than a pixel at
/// the rim are painted together, one wedge per pixel of the rim in the colour of its largest slice, and
/// only slices a few pixels wide get the border that parts them from the next.
class PaintedPie : public QGraphicsItem {
 public:
  struct Slice {
    qreal start = 0;  // degrees, clockwise from 12 o'clock
    qreal span = 0;
    QColor colour;
  };

  explicit PaintedPie(QGraphicsItem* parent = nullptr);

  /// Replaces the slices (in drawing order) and the colour of the line between two slices; none draw
  /// nothing. The highlight is cleared.
  void SetSlices(std::vector<Slice> slices, QColor border);
  [[nodiscard]] const std::vector<Slice>& Slices() const { return slices_; }
  /// Places the pie: its centre and radius in the chart's coordinates.
  void Place(QPointF centre, qreal radius);
  /// Draws slice `slice` (or none) pulled out by `pulled_out` times the radius, with a black outline
  /// `outline` pixels wide; an index past the slices is none.
  void Highlight(std::optional<size_t> slice, qreal pulled_out, qreal outline);
  [[nodiscard]] std::optional<size_t> Highlighted() const { return highlighted_; }
  /// The slice whose angle (degrees clockwise from 12 o'clock, 0 to 360) is `angle`, if any.
  [[nodiscard]] std::optional<size_t> SliceAtAngle(qreal angle) const;

  [[nodiscard]] QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 private:
  void PaintHighlighted(QPainter& painter) const;

  std::vector<Slice> slices_;
  QColor border_;
  QPointF centre_;
  qreal radius_ = 0;
  std::optional<size_t> highlighted_;
  qreal pulled_out_ = 0;
  qreal outline_ = 1;
};

}  // namespace lumetra
