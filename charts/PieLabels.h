#pragma once

#include <vector>

#include <QColor>
#include <QFont>
#include <QGraphicsItem>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace lumetra {

/// The marks and the legend of a pie, drawn over the chart as plain text (so "<" and "&" show as they
/// are). Qt Charts' own slice labels run into each other on small slices and its legend keeps to one
/// row, cutting long lists short; here the marks stand in two columns beside the pie, pushed apart,
/// and the legend fills as many columns and rows below the pie as it needs.
class PieLabels : public QGraphicsItem {
 public:
  struct Slice {
    QString text;  // "Canon (25%)"
    QColor colour;
    qreal start = 0;  // degrees, clockwise from 12 o'clock
    qreal span = 0;
  };

  /// Draws its texts in `font`, black.
  explicit PieLabels(QFont font, QGraphicsItem* parent = nullptr);

  /// Takes the pie's slices in drawing order, and whether their marks and a legend are drawn; nothing
  /// shows until the next `ArrangeLegend` and `Arrange`. Of a pie of thousands of slices only the largest
  /// few hundred on each side of the pie may get a mark, and the legend lists at most the largest thousand
  /// (in drawing order), ending with "…" for the slices left out: no room holds more, and the others'
  /// texts are never measured.
  /// Only slices of at least `smallest_marked` degrees get a mark.
  void SetSlices(std::vector<Slice> slices, bool marks, bool legend, qreal smallest_marked = 0);
  /// Whether the pie is empty (no photo counted in any row): its outline is drawn then, as no slice is.
  void SetOutline(bool outline);
  [[nodiscard]] bool Outline() const { return outline_; }
  /// Lays the legend out across `width` and returns its height: at most `most_height`, the slices past
  /// that being left out after a last entry "…". 0 without a legend.
  qreal ArrangeLegend(qreal width, qreal most_height);
  /// The largest radius that leaves room for the marks beside a pie in `plot`.
  [[nodiscard]] qreal PieRadius(const QRectF& plot) const;
  /// Places the marks around the pie and the legend with its bottom at `legend_bottom`, within `area`.
  void Arrange(const QRectF& area, QPointF centre, qreal radius, qreal legend_bottom);

  /// The texts drawn: the marks placed (right column from the top, then the left one) and the
  /// legend's entries.
  [[nodiscard]] QStringList MarkTexts() const;
  [[nodiscard]] QStringList LegendTexts() const;

  [[nodiscard]] QRectF boundingRect() const override { return area_; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

 private:
  struct Mark {
    QString text;  // elided to the room beside the pie
    qreal span = 0;
    QPointF rim, elbow, end;
    bool right = true;
  };
  struct Entry {
    QString text;
    QColor colour;
    QPointF position;  // top left of the colour square, from the legend's top left
  };

  QFont font_;
  std::vector<Slice> slices_;         // those that may get a mark
  std::vector<Slice> legend_slices_;  // those the legend may list
  bool legend_left_out_ = false;      // whether the legend leaves slices out whatever its room
  bool marks_ = false;
  bool legend_ = false;
  bool outline_ = false;
  QPointF centre_;
  qreal radius_ = 0;
  std::vector<Mark> placed_marks_;
  std::vector<Entry> entries_;
  QSizeF legend_size_;
  QPointF legend_origin_;
  qreal column_width_ = 0;
  int columns_ = 1;
  QRectF area_;
};

}  // namespace lumetra
