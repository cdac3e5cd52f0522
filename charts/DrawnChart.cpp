#include "charts/DrawnChart.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QHash>
#include <QLineSeries>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>
#include <QSet>
#include <QStackedBarSeries>
#include <QValueAxis>

namespace lumetra {
namespace {

constexpr qreal kBarWidth = 0.75;
// Qt Charts' own bar width, which the metering chart keeps.
constexpr qreal kComponentBarWidth = 0.5;
// Bottom margins in percent of the chart's height: more room below the small bars of an overview page.
constexpr int kOverviewBottomMargin = 7;
constexpr int kSingleBottomMargin = 2;
// Qt measures pie angles clockwise from 12 o'clock; the first slice starts at 90 degrees counted the
// mathematical way from 3 o'clock, which is 12 o'clock.
constexpr qreal kPieStartAngle = 0;
// Room a count-axis label needs, in pixels, and the most labels worth reading on it.
constexpr qreal kCountTickSpacing = 40;
constexpr int kMostCountTicks = 10;
// A text axis of more bars than this has its bars painted like those of a linear axis, one per slot: Qt's
// category axis measures every category's text at each layout and its bar series makes an item per bar,
// which froze the window for seconds on thousands of distinct values.
constexpr size_t kMostCategoryBars = 200;
// A pie of more rows than this has its slices painted by one item: Qt's pie makes an item and a legend
// marker per slice, and its legend's work grows with the square of the slices (6,000 rows froze the
// window for 6 s; 600 rows took 60 ms).
constexpr size_t kMostPieSlices = 200;
// The smallest share of a painted pie that gets a mark: half a percent, which its mark rounds up to 1 %.
constexpr qreal kSmallestMarkedShare = 0.005;
// Space kept between two bottom labels, in pixels.
constexpr qreal kLabelGap = 6;
// A turned bottom label takes at most this share of the chart's height.
constexpr qreal kTurnedLabelShare = 0.25;
// A legend takes at most this share of a pie chart's height.
constexpr qreal kLegendHeightShare = 0.4;

const QColor kBackground(0xF0, 0xF0, 0xF0);
const QColor kGridLine(0xC8, 0xC8, 0xC8);

QColor ToQColor(ChartColour colour) { return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF); }

QFont TitleFont() {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(13);
  font.setBold(true);
  return font;
}

QFont LabelFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  return font;
}

qreal BarWidth(ChartId id) { return RowOf(id).narrow_bars ? kComponentBarWidth : kBarWidth; }

// The exposure program labels ("Aperture\rpriority") are written on two lines under their bars.
bool MultiLineLabels(ChartId id) { return RowOf(id).two_line_labels; }

// The window of a linear axis over bars from `low` to `high`: a sixteenth of the spread beyond each end.
// One bar, or all at one X: a window as wide as the value itself (1 at 0), never a zero-width axis.
std::pair<qreal, qreal> LinearAxisWindow(qreal low, qreal high) {
  if (high > low) return {low - (high - low) / 16, high + (high - low) / 16};
  const qreal half = low != 0 ? std::abs(low) / 2 : 0.5;
  return {low - half, low + half};
}

QPen BarOutline(const QColor& colour) { return QPen(colour.darker(160), 1); }

void StyleAxis(QAbstractAxis& axis) {
  axis.setLabelsFont(LabelFont());
  axis.setLabelsBrush(Qt::black);
  axis.setTitleFont(LabelFont());
  axis.setTitleBrush(Qt::black);
  axis.setLinePen(QPen(Qt::black, 1));
  axis.setGridLinePen(QPen(kGridLine, 1, Qt::SolidLine));
  // Upright labels are written whole; crowded ones are turned or thinned out instead (FitBottomLabels).
  axis.setTruncateLabels(false);
}

// The widest line of the first `count` bottom labels.
qreal WidestLine(const QStringList& labels, qsizetype count) {
  const QFontMetricsF metrics(LabelFont());
  qreal widest = 0;
  for (qsizetype i = 0; i < std::min(count, labels.size()); ++i) {
    for (const QString& line : labels[i].split(QLatin1Char('\r')))
      widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  return widest;
}

// Qt's category axes drop an empty label or one equal to an earlier one, and on a text axis the bars
// after it with it; invisible characters keep every label there and apart.
// The n-th copy of a text gets n written in binary with two invisible characters, zero-width space and word
// joiner: a chart of thousands of thinned-out (empty) labels once gave them thousands of blanks each, whose
// shaping took time growing with the square of the count.
void MakeDistinct(QStringList& labels) {
  constexpr QChar kZero(0x200B);
  constexpr QChar kOne(0x2060);
  QSet<QString> taken;
  QHash<QString, quint64> copies;
  taken.reserve(labels.size());
  for (QString& label : labels) {
    if (label.isEmpty()) label = kZero;
    quint64& copy = copies[label];
    QString distinct = label;
    // A label of the photos' own may already end in such characters: the next number is tried then.
    while (taken.contains(distinct)) {
      ++copy;
      distinct = label;
      const int digits = 64 - std::countl_zero(copy);
      for (int digit = digits - 1; digit >= 0; --digit) distinct.append(((copy >> digit) & 1) != 0 ? kOne : kZero);
    }
    taken.insert(distinct);
    label = distinct;
  }
}

// A round step for the count axis (1, 2 or 5 times a power of ten) that gives at most `ticks` steps up
// to `maximum`; counts are whole, so never below 1.
qreal CountInterval(qreal maximum, int ticks) {
  const qreal raw = maximum / std::max(ticks, 1);
  if (raw <= 1) return 1;
  const qreal magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const qreal residual = raw / magnitude;
  const qreal step = residual <= 1 ? 1 : residual <= 2 ? 2 : residual <= 5 ? 5 : 10;
  return step * magnitude;
}

// A label as plain text: its line breaks kept as "\r" when asked, otherwise spaces.
QString PlainText(std::string_view text, bool line_breaks = false) {
  QString plain = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  // Most labels have no line break; thousands of them are converted for a chart of distinct values.
  if (text.find_first_of("\r\n") == std::string_view::npos) return plain;
  const QString line_break = line_breaks ? QStringLiteral("\r") : QStringLiteral(" ");
  plain.replace(QStringLiteral("\r\n"), line_break);
  plain.replace(QLatin1Char('\n'), line_break);
  if (!line_breaks) plain.replace(QLatin1Char('\r'), line_break);
  return plain;
}

// Plain text as Qt Charts' rich text: escaped, its "\r" line breaks as <br>.
QString RichText(const QString& plain) {
  return plain.toHtmlEscaped().replace(QLatin1Char('\r'), QStringLiteral("<br>"));
}

}  // namespace

QString ChartText(std::string_view text, bool line_breaks) { return RichText(PlainText(text, line_breaks)); }

QString PieMarkText(const ChartPoint& point, int64_t total) {
  QString text = PlainText(point.label);
  if (total <= 0) return text;
  const int64_t percent = (200 * point.value + total) / (2 * total);
  text.append(QStringLiteral(" (%1%)").arg(percent));
  return text;
}

DrawnChart::DrawnChart(ChartPage page)
    : page_(page),
      pie_labels_(new PieLabels(LabelFont(), this)),
      linear_bars_(new LinearBars(this)),
      painted_pie_(new PaintedPie(this)) {
  setBackgroundRoundness(0);
  setBackgroundBrush(kBackground);
  setTitleFont(TitleFont());
  setTitleBrush(Qt::black);
  legend()->hide();
  pie_labels_->setZValue(100);  // over the series
  linear_bars_->setZValue(50);  // over the plot's back wall and grid
  painted_pie_->setZValue(50);  // where Qt's pie would stand, under the marks
  connect(this, &QGraphicsWidget::geometryChanged, this, [this] { FitToSize(); });
  connect(this, &QChart::plotAreaChanged, this, [this] { FitToSize(); });
}

void DrawnChart::LayOut(QSizeF size) {
  setGeometry(QRectF(QPointF(0, 0), size));
  // Fitting to the size (margins, tick spacing, turned labels, the pie's room) asks for another layout;
  // a few passes settle it.
  for (int pass = 0; pass < 4 && layout() != nullptr && !layout()->isActivated(); ++pass) layout()->activate();
}

void DrawnChart::SetPage(ChartPage page) {
  page_ = page;
  FitToSize();
}

void DrawnChart::Draw(const Chart& chart) {
  removeAllSeries();
  pie_ = nullptr;
  point_sets_.clear();
  point_bars_.clear();
  point_x_.clear();
  bar_series_ = nullptr;
  highlighted_.reset();
  for (QAbstractAxis* axis : axes()) {
    removeAxis(axis);
    delete axis;
  }
  id_ = chart.id;
  bottom_labels_.clear();
  label_positions_.clear();
  widest_label_.reset();
  widest_sampled_.reset();
  pie_labels_->SetSlices({}, false, false);
  pie_labels_->SetOutline(false);
  linear_bars_->SetBars({}, nullptr);
  painted_pie_->SetSlices({}, {});
  setTitle(ChartText(chart.title));
  bars_shown_ = chart.Shown().kind == SeriesKind::kBar;
  if (bars_shown_) {
    DrawBars(chart);
  } else {
    DrawPie(chart);
  }
  FitToSize();
}

void DrawnChart::DrawBars(const Chart& chart) {
  setPlotAreaBackgroundBrush(Qt::white);
  setPlotAreaBackgroundVisible(true);

  auto* count_axis = new QValueAxis;
  StyleAxis(*count_axis);
  // An empty tally has a maximum of 0; the axis still needs a height.
  count_axis->setRange(0, chart.axis_maximum > 0 ? static_cast<qreal>(chart.axis_maximum) : 1);
  count_axis->setTickType(QValueAxis::TicksDynamic);
  count_axis->setTickAnchor(0);
  count_axis->setTickInterval(1);
  count_axis->setLabelFormat(QStringLiteral("%.0f"));
  count_axis->setTitleText(ChartText(chart.axis_title));
  addAxis(count_axis, Qt::AlignLeft);

  if (chart.axis == AxisKind::kLinear) {
    DrawLinearBars(chart, count_axis);
  } else if (chart.bar.Points().size() > kMostCategoryBars) {
    DrawPaintedSlots(chart, count_axis);
  } else {
    DrawTextBars(chart, count_axis);
  }
}

// Bars in slots, one bar set per colour stacked over the others' zeros, so that every bar keeps the
// colour of its point.
void DrawnChart::DrawTextBars(const Chart& chart, QValueAxis* count_axis) {
  const std::vector<ChartPoint>& points = chart.bar.Points();
  auto* series = new QStackedBarSeries;
  series->setBarWidth(BarWidth(chart.id));
  half_bar_ = BarWidth(chart.id) / 2;
  std::vector<std::pair<ChartColour, QBarSet*>> sets;
  const bool line_breaks = MultiLineLabels(chart.id);
  for (size_t i = 0; i < points.size(); ++i) {
    const ChartPoint& point = points[i];
    auto found = std::find_if(sets.begin(), sets.end(), [&](const auto& set) { return set.first == point.colour; });
    if (found == sets.end()) {
      auto* set = new QBarSet(QString());
      const QColor colour = ToQColor(point.colour);
      set->setColor(colour);
      set->setPen(BarOutline(colour));
      for (size_t slot = 0; slot < points.size(); ++slot) set->append(0);
      series->append(set);
      found = sets.insert(sets.end(), {point.colour, set});
    }
    found->second->replace(static_cast<qsizetype>(i), static_cast<qreal>(point.value));
    point_sets_.push_back(found->second);
    bottom_labels_.append(PlainText(point.label, line_breaks));
    label_positions_.push_back(static_cast<qreal>(i));
  }
  addSeries(series);
  bar_series_ = series;

  auto* slot_axis = new QBarCategoryAxis;
  StyleAxis(*slot_axis);
  QStringList labels;
  for (const QString& label : bottom_labels_) labels.append(RichText(label));
  MakeDistinct(labels);
  slot_axis->append(labels);
  addAxis(slot_axis, Qt::AlignBottom);
  series->attachAxis(slot_axis);
  series->attachAxis(count_axis);
}

// Bars standing at their X values, each a filled rectangle, labelled with its label at its position.
// A bar is 75 % as wide as the closest distance between two values, kept between 1/200 and 1/8 of the
// axis so that neither crowded nor lone bars vanish or swamp the chart.
void DrawnChart::DrawLinearBars(const Chart& chart, QValueAxis* count_axis) {
  // A value too large to be a number has no place on the axis.
  std::vector<const ChartPoint*> points;
  for (const ChartPoint& point : chart.bar.Points()) {
    if (std::isfinite(point.x)) points.push_back(&point);
  }
  auto* x_axis = AddPaintedAxis();
  if (points.empty()) {
    for (const ChartPoint& point : chart.bar.Points()) point_x_.push_back(point.x);
    point_bars_.assign(point_x_.size(), std::nullopt);
    x_axis->setRange(0, 1);
    return;
  }
  const auto [axis_min, axis_max] = LinearAxisWindow(points.front()->x, points.back()->x);
  x_axis->setStartValue(axis_min);
  x_axis->setRange(axis_min, axis_max);

  // Labels of bars at the same X share one position.
  for (const ChartPoint* point : points) {
    const QString label = PlainText(point->label);
    if (!label_positions_.empty() && label_positions_.back() == point->x) {
      bottom_labels_.back().append(QStringLiteral(", ")).append(label);
    } else {
      bottom_labels_.append(label);
      label_positions_.push_back(point->x);
    }
  }
  const qreal span = axis_max - axis_min;
  qreal closest = span;
  for (size_t i = 1; i < label_positions_.size(); ++i) {
    closest = std::min(closest, label_positions_[i] - label_positions_[i - 1]);
  }
  PaintBars(chart, std::clamp(closest, span / 200, span / 8) * BarWidth(chart.id) / 2, x_axis, count_axis);
}

// The bars of a text axis too many for Qt's category axis: each in its slot (X 0, 1, ...) as wide as a bar
// of the category axis, every slot's label at its slot, thinned out like a linear axis's.
void DrawnChart::DrawPaintedSlots(const Chart& chart, QValueAxis* count_axis) {
  const std::vector<ChartPoint>& points = chart.bar.Points();
  auto* x_axis = AddPaintedAxis();
  x_axis->setStartValue(-0.5);
  x_axis->setRange(-0.5, static_cast<qreal>(points.size()) - 0.5);
  const bool line_breaks = MultiLineLabels(chart.id);
  for (const ChartPoint& point : points) {
    bottom_labels_.append(PlainText(point.label, line_breaks));
    label_positions_.push_back(point.x);
  }
  PaintBars(chart, BarWidth(chart.id) / 2, x_axis, count_axis);
}

QCategoryAxis* DrawnChart::AddPaintedAxis() {
  auto* x_axis = new QCategoryAxis;
  StyleAxis(*x_axis);
  x_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  addAxis(x_axis, Qt::AlignBottom);
  return x_axis;
}

// The bars of the points with a place (a finite X), `half_bar` either side of it, painted by one item over
// the plot; a series without points gives that item the axes.
void DrawnChart::PaintBars(const Chart& chart, qreal half_bar, QCategoryAxis* x_axis, QValueAxis* count_axis) {
  half_bar_ = half_bar;
  std::vector<LinearBars::Bar> bars;
  bars.reserve(chart.bar.Points().size());
  for (const ChartPoint& point : chart.bar.Points()) {
    point_x_.push_back(point.x);
    point_bars_.emplace_back();
    if (!std::isfinite(point.x)) continue;
    bars.push_back({point.x - half_bar, point.x + half_bar, static_cast<qreal>(point.value), ToQColor(point.colour)});
    point_bars_.back() = bars.size() - 1;
  }
  auto* anchor = new QLineSeries;
  addSeries(anchor);
  anchor->attachAxis(x_axis);
  anchor->attachAxis(count_axis);
  linear_bars_->SetBars(std::move(bars), anchor);
  bar_series_ = anchor;
  connect(x_axis, &QValueAxis::rangeChanged, this, [this] { linear_bars_->Refresh(); });
  connect(count_axis, &QValueAxis::rangeChanged, this, [this] { linear_bars_->Refresh(); });
  // The labels are put on the axis by FitBottomLabels, thinned out to those that fit.
}

void DrawnChart::DrawPie(const Chart& chart) {
  setPlotAreaBackgroundVisible(false);
  const ChartSeries& series = chart.Shown();
  const int64_t total = series.Total();
  pie_ = new QPieSeries;
  pie_->setPieStartAngle(kPieStartAngle);
  pie_->setPieEndAngle(kPieStartAngle + 360);
  // A pie whose rows are all zero (before a run, or no photo with that value) has nothing to share out:
  // slices of equal size would read as data, so only its outline is drawn, without marks or legend.
  pie_labels_->SetOutline(total <= 0);
  if (total <= 0) {
    addSeries(pie_);
    return;
  }
  // White borders part the slices; a pie of one slice is a full disc, without the white line its borders
  // (and those of the empty slices) would draw from the centre up to 12 o'clock.
  const auto& points = series.Points();
  const auto whole =
      std::find_if(points.begin(), points.end(), [total](const ChartPoint& point) { return point.value == total; });
  slice_border_ = whole != points.end() ? ToQColor(whole->colour) : QColor(Qt::white);
  const bool painted = points.size() > kMostPieSlices;
  std::vector<PieLabels::Slice> slices;
  std::vector<PaintedPie::Slice> painted_slices;
  QList<QPieSlice*> pie_slices;
  qreal start = kPieStartAngle;
  for (const ChartPoint& point : points) {
    const auto size = static_cast<qreal>(point.value);
    const QColor colour = ToQColor(point.colour);
    const qreal span = 360 * size / static_cast<qreal>(total);
    if (painted) {
      painted_slices.push_back({start, span, colour});
    } else {
      auto* slice = new QPieSlice(PlainText(point.label), size);
      slice->setColor(colour);
      slice->setBorderColor(slice_border_);
      pie_slices.append(slice);
    }
    slices.push_back({PieMarkText(point, total), colour, start, span});
    start += span;
  }
  // All at once, and before the pie joins the chart: a slice added to a shown pie has every slice laid out
  // again, which grew with the square of the rows (a pie of 1,500 exposure times took 26 s).
  pie_->append(pie_slices);
  addSeries(pie_);
  painted_pie_->SetSlices(std::move(painted_slices), slice_border_);
  // Marks for the thousands of slices too thin to tell apart would cover the chart with lines: of a painted
  // pie only the slices shown as at least 1 % are marked.
  pie_labels_->SetSlices(std::move(slices), series.marks, !IsBarChart(chart.id),
                         painted ? kSmallestMarkedShare * 360 : 0);
}

// Called whenever the size or the plot area changes; each step sets a property only when its value
// changes, so the layout it starts settles at once.
void DrawnChart::FitToSize() {
  const QSizeF whole = size();
  QMargins chart_margins = margins();
  int bottom = chart_margins.bottom();
  if (IsBarChart(id_)) {
    const int percent = page_ == ChartPage::kOverview ? kOverviewBottomMargin : kSingleBottomMargin;
    bottom = static_cast<int>(std::lround(whole.height() * percent / 100));
  } else if (pie_ != nullptr) {
    // The legend sits in the bottom margin.
    const qreal legend = pie_labels_->ArrangeLegend(whole.width() - chart_margins.left() - chart_margins.right(),
                                                    whole.height() * kLegendHeightShare);
    bottom = chart_margins.top() + static_cast<int>(std::ceil(legend));
  }
  if (chart_margins.bottom() != bottom) {
    chart_margins.setBottom(bottom);
    setMargins(chart_margins);
  }
  const QRectF plot = plotArea();
  if (pie_ != nullptr) {
    FitPie();
    return;
  }
  if (!bars_shown_) return;
  linear_bars_->Refresh();
  const QList<QAbstractAxis*> vertical = axes(Qt::Vertical);
  if (auto* count_axis = vertical.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(vertical.front())) {
    const int ticks = std::clamp(static_cast<int>(plot.height() / kCountTickSpacing), 2, kMostCountTicks);
    const qreal interval = CountInterval(count_axis->max(), ticks);
    if (count_axis->tickInterval() != interval) count_axis->setTickInterval(interval);
  }
  FitBottomLabels(plot);
}

// Labels that would run into each other stand turned, reading upwards; where even turned ones would
// overlap, only every second (third, ...) one is written.
void DrawnChart::FitBottomLabels(const QRectF& plot) {
  const QList<QAbstractAxis*> horizontal = axes(Qt::Horizontal);
  if (horizontal.isEmpty() || bottom_labels_.isEmpty() || plot.width() <= 0) return;
  QAbstractAxis* axis = horizontal.front();
  auto* x_axis = qobject_cast<QCategoryAxis*>(axis);
  std::vector<qreal> pixels;
  if (x_axis != nullptr) {
    const qreal per_unit = plot.width() / (x_axis->max() - x_axis->min());
    for (const qreal position : label_positions_) pixels.push_back((position - x_axis->min()) * per_unit);
  } else {
    const qreal slot = plot.width() / static_cast<qreal>(bottom_labels_.size());
    for (const qreal position : label_positions_) pixels.push_back((position + 0.5) * slot);
  }
  qreal closest = std::numeric_limits<qreal>::max();
  for (size_t i = 1; i < pixels.size(); ++i) closest = std::min(closest, pixels[i] - pixels[i - 1]);
  const bool upright = closest >= WidestLabel(closest - kLabelGap) + kLabelGap;
  const int angle = upright ? 0 : -90;
  const QFontMetricsF metrics(LabelFont());
  const qreal spacing = upright ? 0 : metrics.height() + 2;
  if (axis->labelsAngle() != angle) axis->setLabelsAngle(angle);
  // A turned label stands on one line, cut short beyond a quarter of the chart's height ("Multi-Se…"), so
  // that a small chart keeps its plot.
  const qreal longest = size().height() * kTurnedLabelShare;
  const auto shown_text = [&](QString label) {
    if (upright) return RichText(label);
    label.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return RichText(metrics.elidedText(label, Qt::ElideRight, longest));
  };

  std::vector<bool> kept;
  qreal last_kept = -std::numeric_limits<qreal>::max();
  for (const qreal pixel : pixels) {
    kept.push_back(pixel - last_kept >= spacing);
    if (kept.back()) last_kept = pixel;
  }
  if (x_axis == nullptr) {
    // Every slot keeps a category; those left out show a blank.
    QStringList shown;
    for (qsizetype i = 0; i < bottom_labels_.size(); ++i) {
      shown.append(kept[static_cast<size_t>(i)] ? shown_text(bottom_labels_[i]) : QString());
    }
    MakeDistinct(shown);
    auto* slot_axis = static_cast<QBarCategoryAxis*>(axis);
    if (slot_axis->categories() != shown) slot_axis->setCategories(shown);
    return;
  }
  QStringList shown;
  std::vector<qreal> positions;
  for (qsizetype i = 0; i < bottom_labels_.size(); ++i) {
    if (!kept[static_cast<size_t>(i)]) continue;
    shown.append(shown_text(bottom_labels_[i]));
    positions.push_back(label_positions_[static_cast<size_t>(i)]);
  }
  MakeDistinct(shown);
  if (x_axis->categoriesLabels() == shown) return;
  for (const QString& label : x_axis->categoriesLabels()) x_axis->remove(label);
  for (qsizetype i = 0; i < shown.size(); ++i) x_axis->append(shown[i], positions[static_cast<size_t>(i)]);
}

qreal DrawnChart::WidestLabel(qreal room) {
  if (widest_label_) return *widest_label_;
  // Labels crowded below the width of the first few of them stand turned whatever the others measure: the
  // thousands of labels of distinct values are not measured one by one, at every layout.
  constexpr qsizetype kSampled = 32;
  if (!widest_sampled_) widest_sampled_ = WidestLine(bottom_labels_, kSampled);
  if (bottom_labels_.size() <= kSampled) widest_label_ = widest_sampled_;
  if (*widest_sampled_ > room || widest_label_) return *widest_sampled_;
  widest_label_ = WidestLine(bottom_labels_, bottom_labels_.size());
  return *widest_label_;
}

// The pie as large as its marks leave room for, its marks beside it and its legend below.
void DrawnChart::FitPie() {
  const QRectF plot = plotArea();
  if (plot.isEmpty()) return;
  const qreal radius = pie_labels_->PieRadius(plot);
  const qreal relative = radius / (std::min(plot.width(), plot.height()) / 2);
  if (std::abs(pie_->pieSize() - relative) > 1e-6) pie_->setPieSize(relative);
  painted_pie_->Place(plot.center(), radius);
  const QMargins chart_margins = margins();
  const QRectF area(chart_margins.left(), plot.top(), size().width() - chart_margins.left() - chart_margins.right(),
                    plot.height());
  pie_labels_->Arrange(area, plot.center(), radius, size().height() - chart_margins.top());
}

}  // namespace lumetra
