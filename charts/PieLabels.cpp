#include "charts/PieLabels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>
#include <vector>

#include <QFontMetricsF>
#include <QPainter>

namespace lumetra {
namespace {

// Pixels between a mark's line and its text, and kept free at the chart's edge.
constexpr qreal kTextGap = 4;
// The square before a legend entry, as a share of the line height, and the space after an entry.
constexpr qreal kSquareShare = 0.7;
constexpr qreal kColumnGap = 16;
// Legend columns are never cut narrower than this to make room for more entries.
constexpr qreal kNarrowestColumn = 140;
// Shares of the largest radius the plot allows: a pie without marks takes most of it; beside long marks
// it never falls below the smallest share, the marks are cut short instead.
constexpr qreal kUnmarkedRadiusShare = 0.9;
constexpr qreal kSmallestRadiusShare = 0.36;
// Room above and below the pie for marks pushed apart.
constexpr qreal kRadiusHeightShare = 0.8;
// The most slices on each side of a pie (right: middle from 12 to 6 o'clock, clockwise) whose marks are
// laid out, and the most legend entries: more lines than this do not fit beside or below a pie on any
// screen or picture, and the texts of thousands of slices took long to measure at every layout.
constexpr size_t kMostMarksPerSide = 256;
constexpr size_t kMostLegendEntries = 1024;
// The outline of an empty pie: grey, so that it reads as no data, not as a slice of some colour.
const QColor kOutlineColour(0x80, 0x80, 0x80);

// The line from the pie's rim out to the bend of a mark's line.
qreal ArmLength(qreal radius) { return radius / 10 + 10; }

// The largest `most` slices of `slices` (or of each side of the pie, when `per_side`), in drawing order;
// all of them when there are no more. Of equal slices the earlier are kept.
std::vector<PieLabels::Slice> Largest(const std::vector<PieLabels::Slice>& slices, size_t most, bool per_side) {
  if (slices.size() <= (per_side ? 2 * most : most)) return slices;
  std::vector<size_t> right;
  std::vector<size_t> left;
  for (size_t i = 0; i < slices.size(); ++i) {
    (per_side && slices[i].start + slices[i].span / 2 > 180 ? left : right).push_back(i);
  }
  std::vector<size_t> kept;
  for (std::vector<size_t>* side : {&right, &left}) {
    const auto end = side->begin() + static_cast<std::ptrdiff_t>(std::min(most, side->size()));
    std::partial_sort(side->begin(), end, side->end(), [&](size_t a, size_t b) {
      return slices[a].span != slices[b].span ? slices[a].span > slices[b].span : a < b;
    });
    kept.insert(kept.end(), side->begin(), end);
  }
  std::sort(kept.begin(), kept.end());
  std::vector<PieLabels::Slice> largest;
  largest.reserve(kept.size());
  for (const size_t i : kept) largest.push_back(slices[i]);
  return largest;
}

qreal WidestText(const QFontMetricsF& metrics, const std::vector<PieLabels::Slice>& slices) {
  qreal widest = 0;
  for (const PieLabels::Slice& slice : slices) widest = std::max(widest, metrics.horizontalAdvance(slice.text));
  return widest;
}

}  // namespace

PieLabels::PieLabels(QFont font, QGraphicsItem* parent) : QGraphicsItem(parent), font_(std::move(font)) {}

void PieLabels::SetSlices(std::vector<Slice> slices, bool marks, bool legend, qreal smallest_marked) {
  prepareGeometryChange();
  legend_slices_ = legend ? Largest(slices, kMostLegendEntries, false) : std::vector<Slice>();
  legend_left_out_ = legend && legend_slices_.size() < slices.size();
  if (marks && smallest_marked > 0) {
    std::erase_if(slices, [smallest_marked](const Slice& slice) { return slice.span < smallest_marked; });
  }
  slices_ = marks ? Largest(slices, kMostMarksPerSide, true) : std::vector<Slice>();
  marks_ = marks;
  legend_ = legend;
  placed_marks_.clear();
  entries_.clear();
  legend_size_ = {};
}

void PieLabels::SetOutline(bool outline) {
  outline_ = outline;
  update();
}

qreal PieLabels::ArrangeLegend(qreal width, qreal most_height) {
  entries_.clear();
  legend_size_ = {};
  if (!legend_ || legend_slices_.empty() || width <= 0) return 0;
  const QFontMetricsF metrics(font_);
  const qreal line = metrics.height();
  const qreal square = line * kSquareShare;
  column_width_ = std::min(square + kTextGap + WidestText(metrics, legend_slices_) + kColumnGap, width);
  const auto count = static_cast<int>(legend_slices_.size());
  columns_ = std::clamp(static_cast<int>(width / column_width_), 1, count);
  const int most_rows = std::max(1, static_cast<int>(most_height / line));
  // A list that does not fit takes narrower columns, its longest names cut short in the middle so that
  // their shares still show, rather than leave slices out beside empty room.
  while (columns_ < count && (count + columns_ - 1) / columns_ > most_rows &&
         width / (columns_ + 1) >= kNarrowestColumn) {
    ++columns_;
    column_width_ = width / columns_;
  }
  const int rows = std::min(most_rows, (count + columns_ - 1) / columns_);
  const int shown = std::min(count, rows * columns_);
  const qreal text_room = column_width_ - square - kTextGap - kColumnGap / 2;
  for (int i = 0; i < shown; ++i) {
    const Slice& slice = legend_slices_[static_cast<size_t>(i)];
    // A list too long for the room ends with an ellipsis in place of the smallest slices.
    const bool last_of_cut_list = i == shown - 1 && (shown < count || legend_left_out_);
    Entry entry;
    entry.text = last_of_cut_list ? QStringLiteral("…") : metrics.elidedText(slice.text, Qt::ElideMiddle, text_room);
    entry.colour = last_of_cut_list ? QColor(Qt::transparent) : slice.colour;
    entry.position = QPointF((i % columns_) * column_width_, (i / columns_) * line);
    entries_.push_back(std::move(entry));
  }
  legend_size_ = QSizeF(columns_ * column_width_ - kColumnGap, rows * line);
  return legend_size_.height();
}

qreal PieLabels::PieRadius(const QRectF& plot) const {
  const qreal full = std::min(plot.width(), plot.height()) / 2;
  if (!marks_ || slices_.empty()) return full * kUnmarkedRadiusShare;
  // Half the width holds the radius, the arm (ArmLength: a tenth of the radius plus 10 px), the gaps and
  // the text.
  const qreal widest = WidestText(QFontMetricsF(font_), slices_);
  const qreal beside = (plot.width() / 2 - 10 - 2 * kTextGap - widest) / 1.1;
  const qreal radius = std::min(plot.height() / 2 * kRadiusHeightShare, beside);
  return std::max(radius, full * kSmallestRadiusShare);
}

void PieLabels::Arrange(const QRectF& area, QPointF centre, qreal radius, qreal legend_bottom) {
  prepareGeometryChange();
  area_ = area;
  centre_ = centre;
  radius_ = radius;
  placed_marks_.clear();
  if (marks_) {
    const QFontMetricsF metrics(font_);
    const qreal line = metrics.height();
    const qreal arm = ArmLength(radius);
    std::vector<Mark> left;
    std::vector<Mark> right;
    for (const Slice& slice : slices_) {
      const qreal middle = (slice.start + slice.span / 2) * std::numbers::pi / 180;
      const QPointF direction(std::sin(middle), -std::cos(middle));
      Mark mark;
      mark.text = slice.text;
      mark.span = slice.span;
      mark.rim = centre + direction * radius;
      mark.elbow = centre + direction * (radius + arm);
      mark.right = direction.x() >= 0;
      (mark.right ? right : left).push_back(std::move(mark));
    }
    // Each side is a column of lines: in the order of their elbows, pushed down where they would
    // overlap, then up again where they would leave the area.
    const auto stack = [&](std::vector<Mark>& side, bool on_right) {
      // More marks than lines fit beside the pie: the largest slices keep theirs, the legend names all.
      const auto fitting = static_cast<size_t>(std::max(0.0, std::floor(area.height() / line)));
      if (side.size() > fitting) {
        std::stable_sort(side.begin(), side.end(), [](const Mark& a, const Mark& b) { return a.span > b.span; });
        side.resize(fitting);
      }
      std::stable_sort(side.begin(), side.end(),
                       [](const Mark& a, const Mark& b) { return a.elbow.y() < b.elbow.y(); });
      const qreal top = area.top() + line / 2;
      const qreal bottom = area.bottom() - line / 2;
      std::vector<qreal> y(side.size());
      for (size_t i = 0; i < side.size(); ++i) {
        y[i] = std::max(side[i].elbow.y(), i == 0 ? top : y[i - 1] + line);
      }
      for (size_t i = side.size(); i-- > 0;) {
        y[i] = std::min(y[i], i + 1 == side.size() ? bottom : y[i + 1] - line);
      }
      const qreal x = on_right ? centre.x() + radius + arm : centre.x() - radius - arm;
      const qreal room = on_right ? area.right() - x - kTextGap * 2 : x - area.left() - kTextGap * 2;
      for (size_t i = 0; i < side.size(); ++i) {
        side[i].end = QPointF(x, y[i]);
        side[i].text = metrics.elidedText(side[i].text, Qt::ElideMiddle, std::max<qreal>(room, 0));
        placed_marks_.push_back(std::move(side[i]));
      }
    };
    stack(right, true);
    stack(left, false);
  }
  legend_origin_ = QPointF(area.center().x() - legend_size_.width() / 2, legend_bottom - legend_size_.height());
  update();
}

QStringList PieLabels::MarkTexts() const {
  QStringList texts;
  for (const Mark& mark : placed_marks_) texts.append(mark.text);
  return texts;
}

QStringList PieLabels::LegendTexts() const {
  QStringList texts;
  for (const Entry& entry : entries_) texts.append(entry.text);
  return texts;
}

void PieLabels::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  const QFontMetricsF metrics(font_);
  painter->save();
  painter->setFont(font_);
  painter->setRenderHint(QPainter::Antialiasing);
  if (outline_ && radius_ > 0) {
    painter->setPen(QPen(kOutlineColour, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(centre_, radius_, radius_);
  }
  for (const Mark& mark : placed_marks_) {
    painter->setPen(QPen(Qt::black, 1));
    painter->drawPolyline(std::array<QPointF, 3>{mark.rim, mark.elbow, mark.end}.data(), 3);
    const qreal width = metrics.horizontalAdvance(mark.text);
    const qreal x = mark.right ? mark.end.x() + kTextGap : mark.end.x() - kTextGap - width;
    painter->drawText(QPointF(x, mark.end.y() - metrics.height() / 2 + metrics.ascent()), mark.text);
  }
  const qreal line = metrics.height();
  const qreal square = line * kSquareShare;
  for (const Entry& entry : entries_) {
    if (entry.colour.alpha() != 0) {
      painter->setPen(QPen(entry.colour.darker(160), 1));
      painter->setBrush(entry.colour);
      painter->drawRect(
          QRectF(legend_origin_ + entry.position + QPointF(0, (line - square) / 2), QSizeF(square, square)));
    }
    painter->setPen(Qt::black);
    painter->drawText(legend_origin_ + entry.position + QPointF(square + kTextGap, metrics.ascent()), entry.text);
  }
  painter->restore();
}

}  // namespace lumetra
