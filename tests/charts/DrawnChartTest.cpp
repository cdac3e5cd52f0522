// How a chart of the model is drawn on Qt Charts: texts shown whole, pie marks and legends, the series
// shown, the axes, the page margins and crowded bottom labels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QCoreApplication>
#include <QLineSeries>
#include <QPieSeries>
#include <QSet>
#include <QStackedBarSeries>
#include <QValueAxis>

#include "charts/BuildChartSeries.h"
#include "charts/ChartView.h"
#include "charts/DrawnChart.h"
#include "tests/charts/LaidOutChart.h"

namespace lumetra {
namespace {

using testing::LaidOutChart;
using testing::MakeChart;

struct Bar {
  std::string label;
  int64_t value;
};

Chart TextBars(ChartId id, const std::vector<Bar>& bars) {
  Chart chart = MakeChart(id);
  for (const Bar& bar : bars) {
    chart.bar.Add(bar.value, bar.label, 0xFF0000);
    chart.axis_maximum = std::max(chart.axis_maximum, bar.value);
  }
  return chart;
}

Chart LinearBars(ChartId id, const std::vector<double>& xs) {
  Chart chart = MakeChart(id);
  chart.axis = AxisKind::kLinear;
  for (const double x : xs) chart.bar.AddXY(x, 4, QString::number(x).toStdString(), 0x00FF00);
  chart.axis_maximum = 4;
  return chart;
}

Chart CategoryPie(ChartId id, const std::vector<Bar>& slices, bool marks) {
  Chart chart = MakeChart(id);
  for (const Bar& slice : slices) chart.pie.Add(slice.value, slice.label, 0x2376EE);
  chart.pie.marks = marks;
  return chart;
}

QAbstractAxis* BottomAxis(DrawnChart& drawn) { return drawn.axes(Qt::Horizontal).value(0); }
QValueAxis* CountAxis(DrawnChart& drawn) { return qobject_cast<QValueAxis*>(drawn.axes(Qt::Vertical).value(0)); }

TEST(ChartText, EscapesRichTextAndKeepsLineBreaksOnlyWhereAsked) {
  const struct {
    const char* text;
    bool line_breaks;
    const char* expected;
  } kCases[] = {
      {"Other (each < 1%)", false, "Other (each &lt; 1%)"},
      {"K&F <b>", false, "K&amp;F &lt;b&gt;"},
      {"Aperture\rpriority", true, "Aperture<br>priority"},
      {"Aperture\rpriority", false, "Aperture priority"},
      {"Фирма", false, "Фирма"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ChartText(c.text, c.line_breaks).toStdString(), c.expected);
  }
}

TEST(DrawnChart, TextsWithLessThanAndAmpersandShowWhole) {
  for (const AxisKind axis : {AxisKind::kText, AxisKind::kLinear}) {
    SCOPED_TRACE(axis == AxisKind::kText ? "text axis" : "linear axis");
    Chart chart = MakeChart(ChartId::Chart_Fnumber);
    chart.title = "F <Number> & more";
    chart.axis_title = "Count <n>";
    chart.axis = axis;
    chart.bar.AddXY(2.8, 3, "Other (each < 1%)", 0x0000FF);
    chart.bar.AddXY(5.6, 5, "Canon <EOS> & Co", 0x0000FF);
    chart.axis_maximum = 5;
    LaidOutChart drawn(chart, {1000, 600});
    const QStringList texts = drawn.ShownTexts();
    for (const char* expected : {"F <Number> & more", "Count <n>", "Other (each < 1%)", "Canon <EOS> & Co"}) {
      EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << " in " << texts.join('|').toStdString();
    }
  }
}

TEST(PieMarkText, LabelAndWholePercentOfTheTotal) {
  const struct {
    const char* label;
    int64_t value;
    int64_t total;
    const char* expected;
  } kCases[] = {
      {"Canon", 1, 4, "Canon (25%)"},
      {"Canon", 1, 8, "Canon (13%)"},  // 12.5 % rounds up
      {"Canon", 1, 3, "Canon (33%)"},
      {"Canon", 2, 3, "Canon (67%)"},
      {"No Flash", 0, 5, "No Flash (0%)"},
      {"Other (each < 1%)", 7, 7, "Other (each < 1%) (100%)"},
      {"Aperture\rpriority", 1, 2, "Aperture priority (50%)"},
      {"", 0, 0, ""},  // the display reset's placeholder: no share to show
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(PieMarkText(ChartPoint{c.label, c.value, 0, 0, std::nullopt}, c.total).toStdString(), c.expected);
  }
}

TEST(DrawnChart, CategoryPieMarksFollowTheModelAndTheLegendListsEverySlice) {
  const std::vector<Bar> slices = {{"Canon", 8}, {"Other (each < 1%)", 2}};
  const QStringList expected = {"Canon (80%)", "Other (each < 1%) (20%)"};
  for (const bool marks : {false, true}) {
    SCOPED_TRACE(marks ? "marks shown" : "marks hidden");
    LaidOutChart drawn(CategoryPie(ChartId::Chart_Make, slices, marks), {600, 500});
    EXPECT_EQ(drawn->Labels().MarkTexts(), marks ? expected : QStringList());
    EXPECT_EQ(drawn->Labels().LegendTexts(), expected);
  }
}

TEST(DrawnChart, AlternatePieHasMarksButNoLegend) {
  Chart chart = MakeChart(ChartId::Chart_ISO);
  chart.bar.Add(3, "100", 0x00FFFF);
  chart.pie.Add(3, "100", 0xFF0000);
  chart.pie.Add(1, "200", 0x00FF00);
  chart.bar.active = false;
  chart.pie.active = true;
  LaidOutChart drawn(chart, {600, 500});
  ASSERT_EQ(drawn->series().size(), 1);
  EXPECT_NE(qobject_cast<QPieSeries*>(drawn->series().front()), nullptr);
  EXPECT_EQ(drawn->Labels().MarkTexts(), QStringList({"200 (25%)", "100 (75%)"}));
  EXPECT_TRUE(drawn->Labels().LegendTexts().isEmpty());
}

TEST(DrawnChart, LegendTooLongForTheRoomEndsWithAnEllipsis) {
  std::vector<Bar> slices;
  for (int i = 0; i < 60; ++i) slices.push_back({"Camera model " + std::to_string(i), 100 - i});
  const Chart chart = CategoryPie(ChartId::Chart_Model, slices, false);

  LaidOutChart small(chart, {300, 200}, ChartPage::kOverview);
  const QStringList cut = small->Labels().LegendTexts();
  ASSERT_FALSE(cut.isEmpty());
  EXPECT_LT(cut.size(), 60);
  EXPECT_EQ(cut.back(), QStringLiteral("…"));
  EXPECT_TRUE(cut.front().startsWith(QStringLiteral("Camera model 0 (")));

  LaidOutChart large(chart, {1000, 1000});
  EXPECT_EQ(large->Labels().LegendTexts().size(), 60);
}

TEST(DrawnChart, CutLegendShortensLongNamesKeepingTheirShares) {
  std::vector<Bar> slices;
  for (int i = 0; i < 30; ++i) slices.push_back({"A very long lens name, number " + std::to_string(i), 100 - i});
  LaidOutChart drawn(CategoryPie(ChartId::Chart_Lens, slices, false), {500, 300}, ChartPage::kOverview);
  const QStringList legend = drawn->Labels().LegendTexts();
  // 40 % of 300 pixels holds fewer than ten rows: more entries than that need a second column.
  EXPECT_GT(legend.size(), 10);
  for (qsizetype i = 0; i + 1 < legend.size(); ++i) {
    SCOPED_TRACE(legend[i].toStdString());
    EXPECT_TRUE(legend[i].endsWith(QStringLiteral("%)")));
    EXPECT_TRUE(legend[i].contains(QChar(0x2026)));
  }
}

TEST(DrawnChart, MarksThatDoNotFitBesideThePieAreLeftToTheSmallestSlices) {
  std::vector<Bar> slices;
  for (int i = 0; i < 80; ++i) slices.push_back({"Lens " + std::to_string(i), 1000 - i * 10});
  LaidOutChart drawn(CategoryPie(ChartId::Chart_Lens, slices, true), {700, 400});
  const QStringList marks = drawn->Labels().MarkTexts();
  EXPECT_GT(marks.size(), 4);
  EXPECT_LT(marks.size(), 80);
  const auto has_mark = [&](const std::string& label) {
    return std::any_of(marks.begin(), marks.end(),
                       [&](const QString& mark) { return mark.startsWith(QString::fromStdString(label + " (")); });
  };
  EXPECT_TRUE(has_mark("Lens 0"));
  EXPECT_FALSE(has_mark("Lens 79"));
}

// The exposure chart switched to its pie, one row per value.
Chart AlternatePie(const std::vector<Bar>& rows) {
  Chart chart = MakeChart(ChartId::Chart_ShutterSpeed);
  for (size_t i = 0; i < rows.size(); ++i)
    chart.pie.Add(rows[i].value, rows[i].label, PaletteColour(static_cast<int>(i) + 1));
  chart.bar.active = false;
  chart.pie.active = true;
  return chart;
}

// Up to 200 rows the pie is Qt's, as it always was; beyond, one item paints the slices and Qt's pie stays
// empty (its legend's work grew with the square of the slices).
TEST(DrawnChart, PieOfMoreThanTwoHundredRowsIsPaintedByOneItem) {
  for (const size_t rows : {size_t{2}, size_t{200}, size_t{201}, size_t{3000}}) {
    SCOPED_TRACE(rows);
    std::vector<Bar> values;
    for (size_t i = 0; i < rows; ++i)
      values.push_back({"1/" + std::to_string(100000 - i), static_cast<int64_t>(i % 7 + 1)});
    LaidOutChart drawn(AlternatePie(values), {2000, 1000});
    ASSERT_EQ(drawn->series().size(), 1);
    auto* pie = qobject_cast<QPieSeries*>(drawn->series().front());
    ASSERT_NE(pie, nullptr);
    const bool painted = rows > 200;
    EXPECT_EQ(pie->count(), painted ? 0 : static_cast<qsizetype>(rows));
    EXPECT_EQ(drawn->PaintedSlices().Slices().size(), painted ? rows : 0);
    // Slices too thin to tell apart get no mark on a painted pie: none of 3,000 is half a percent.
    EXPECT_EQ(drawn->Labels().MarkTexts().isEmpty(), rows == 3000);
  }
}

TEST(DrawnChart, PaintedPieSlicesFollowTheCountsAndAnswerClicks) {
  std::vector<Bar> rows;
  int64_t total = 0;
  for (int i = 0; i < 3000; ++i) {
    // One row holds a quarter of the photos.
    rows.push_back({"1/" + std::to_string(100000 - i), i == 1000 ? 1000 : i % 3 + 1});
    total += rows.back().value;
  }
  const Chart chart = AlternatePie(rows);
  LaidOutChart drawn(chart, {2000, 1000});
  // In the order of the series' points, each its count's share of the full turn.
  const std::vector<ChartPoint>& points = chart.pie.Points();
  const std::vector<PaintedPie::Slice>& slices = drawn->PaintedSlices().Slices();
  ASSERT_EQ(slices.size(), points.size());
  int64_t before = 0;
  size_t largest = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_NEAR(slices[i].start, 360.0 * static_cast<double>(before) / static_cast<double>(total), 1e-9);
    ASSERT_NEAR(slices[i].span, 360.0 * static_cast<double>(points[i].value) / static_cast<double>(total), 1e-9);
    EXPECT_EQ(slices[i].colour, QColor::fromRgb(points[i].colour));
    before += points[i].value;
    if (points[i].value > points[largest].value) largest = i;
  }
  ASSERT_EQ(points[largest].label, "1/99000");
  ASSERT_GT(largest, 0);
  // A click half-way out along the middle of a slice finds it, however thin; outside the pie none.
  const QRectF plot = drawn->plotArea();
  const qreal radius = drawn->Labels().PieRadius(plot);
  const auto at_middle = [&](size_t i, qreal reach) {
    const qreal middle = (slices[i].start + slices[i].span / 2) * std::numbers::pi / 180;
    return plot.center() + QPointF(std::sin(middle), -std::cos(middle)) * radius * reach;
  };
  // The last row with photos (a row of none has no slice to click).
  size_t last = points.size() - 1;
  while (points[last].value == 0) --last;
  for (const size_t i : {size_t{0}, points.size() / 2, largest - 1, largest, last}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(drawn->PointAt(at_middle(i, 0.9)), std::optional<size_t>(i));
  }
  EXPECT_EQ(drawn->PointAt(at_middle(largest, 1.2)), std::nullopt);
  drawn->Highlight(largest);
  EXPECT_EQ(drawn->PaintedSlices().Highlighted(), std::optional<size_t>(largest));
  drawn->Highlight(std::nullopt);
  EXPECT_EQ(drawn->PaintedSlices().Highlighted(), std::nullopt);
  // Only the slice of at least half a percent is marked, not the thousands too thin to tell apart.
  EXPECT_EQ(drawn->Labels().MarkTexts(),
            QStringList({QStringLiteral("1/99000 (%1%)").arg((200 * 1000 + total) / (2 * total))}));
  EXPECT_TRUE(drawn->Labels().LegendTexts().isEmpty());
}

TEST(DrawnChart, LegendOfThousandsOfRowsListsTheLargestAndEndsWithAnEllipsis) {
  std::vector<Bar> slices;
  for (int i = 0; i < 5000; ++i) slices.push_back({"M" + std::to_string(i), 10000 - i});
  LaidOutChart drawn(CategoryPie(ChartId::Chart_Model, slices, false), {1000, 1000});
  const QStringList legend = drawn->Labels().LegendTexts();
  ASSERT_GT(legend.size(), 10);
  EXPECT_LT(legend.size(), 5000);
  EXPECT_TRUE(legend.front().startsWith(QStringLiteral("M0 (")));
  EXPECT_TRUE(legend[1].startsWith(QStringLiteral("M1 (")));
  EXPECT_EQ(legend.back(), QStringLiteral("…"));
}

TEST(DrawnChart, PieWhoseRowsAreAllZeroIsAnOutlineWithoutSlicesMarksOrLegend) {
  const struct {
    const char* trace;
    ChartId id;
    std::vector<Bar> rows;
  } cases[] = {
      {"before a run: one row of no photos", ChartId::Chart_Lens, {{"", 0}}},
      {"no photo with a flash value", ChartId::Chart_Flash, {{"Yes", 0}, {"No", 0}}},
      {"an alternate pie of bars without photos", ChartId::Chart_ISO, {{"100", 0}, {"200", 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    Chart chart = CategoryPie(c.id, c.rows, true);
    chart.bar.active = false;
    chart.pie.active = true;
    LaidOutChart drawn(chart, {500, 500});
    auto* pie = qobject_cast<QPieSeries*>(drawn->series().value(0));
    ASSERT_NE(pie, nullptr);
    EXPECT_EQ(pie->count(), 0);
    EXPECT_TRUE(drawn->Labels().Outline());
    EXPECT_TRUE(drawn->Labels().MarkTexts().isEmpty());
    EXPECT_TRUE(drawn->Labels().LegendTexts().isEmpty());
    // Redrawn with photos, the same chart has its slices and no outline.
    chart.pie.Clear();
    for (const Bar& row : c.rows) chart.pie.Add(3, row.label, 0x00FF00);
    drawn->Draw(chart);
    EXPECT_FALSE(drawn->Labels().Outline());
    auto* redrawn = qobject_cast<QPieSeries*>(drawn->series().value(0));
    ASSERT_NE(redrawn, nullptr);
    EXPECT_EQ(static_cast<size_t>(redrawn->count()), c.rows.size());
  }
}

TEST(DrawnChart, BarChartShowsOnlyItsActiveSeries) {
  Chart chart = TextBars(ChartId::Chart_ShutterSpeed, {{"1/125", 5}, {"1/60", 3}});
  chart.pie.Add(5, "1/125", 0x00FF00);
  chart.pie.Add(3, "1/60", 0x2376EE);
  {
    LaidOutChart drawn(chart, {600, 400});
    ASSERT_EQ(drawn->series().size(), 1);
    auto* bars = qobject_cast<QStackedBarSeries*>(drawn->series().front());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets().front()->at(0), 5);
    EXPECT_EQ(bars->barWidth(), 0.75);
  }
  chart.bar.active = false;
  chart.pie.active = true;
  LaidOutChart drawn(chart, {600, 400});
  ASSERT_EQ(drawn->series().size(), 1);
  EXPECT_NE(qobject_cast<QPieSeries*>(drawn->series().front()), nullptr);
  EXPECT_TRUE(drawn->axes().isEmpty());
}

TEST(DrawnChart, MeteringBarsKeepQtsOwnWidth) {
  LaidOutChart drawn(TextBars(ChartId::Chart_Meter, {{"Spot", 2}}), {600, 400});
  auto* bars = qobject_cast<QStackedBarSeries*>(drawn->series().value(0));
  ASSERT_NE(bars, nullptr);
  EXPECT_EQ(bars->barWidth(), QStackedBarSeries().barWidth());
}

TEST(DrawnChart, BarsKeepTheColourOfTheirPoints) {
  Chart chart = MakeChart(ChartId::Chart_Program);
  chart.bar.Add(2, "Manual", 0xFFFF00);
  chart.bar.Add(4, "Normal", 0x123456);
  chart.axis_maximum = 4;
  LaidOutChart drawn(chart, {600, 400});
  auto* bars = qobject_cast<QStackedBarSeries*>(drawn->series().value(0));
  ASSERT_NE(bars, nullptr);
  ASSERT_EQ(bars->count(), 2);
  EXPECT_EQ(bars->barSets()[0]->color(), QColor(0xFF, 0xFF, 0x00));
  EXPECT_EQ(bars->barSets()[0]->at(0), 2);
  EXPECT_EQ(bars->barSets()[0]->at(1), 0);
  EXPECT_EQ(bars->barSets()[1]->color(), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(bars->barSets()[1]->at(1), 4);
}

TEST(DrawnChart, BarWithAnEmptyLabelKeepsItsSlot) {
  LaidOutChart drawn(TextBars(ChartId::Chart_ISO, {{"", 2}, {"100", 3}, {"", 4}}), {600, 400});
  EXPECT_EQ(qobject_cast<QBarCategoryAxis*>(BottomAxis(*drawn))->count(), 3);
  auto* bars = qobject_cast<QStackedBarSeries*>(drawn->series().value(0));
  ASSERT_NE(bars, nullptr);
  EXPECT_EQ(bars->barSets().front()->at(2), 4);
}

TEST(DrawnChart, CountAxisRunsFromZeroToTheMaximum) {
  const struct {
    int64_t maximum;
    double expected_top;
  } kCases[] = {{37, 37}, {1, 1}, {0, 1}};  // an empty tally still gets an axis with height
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.maximum);
    Chart chart = MakeChart(ChartId::Chart_ISO);
    chart.axis_maximum = c.maximum;
    LaidOutChart drawn(chart, {600, 400});
    QValueAxis* count = CountAxis(*drawn);
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->min(), 0);
    EXPECT_EQ(count->max(), c.expected_top);
    EXPECT_EQ(count->titleText(), QStringLiteral("Quantity"));
    EXPECT_GE(count->tickInterval(), 1);  // counts are whole
  }
}

TEST(DrawnChart, LinearBarsStandAtTheirValuesUnderTheirLabels) {
  LaidOutChart drawn(LinearBars(ChartId::Chart_FocalLength, {18, 55, 200}), {1000, 500});
  auto* x_axis = qobject_cast<QCategoryAxis*>(BottomAxis(*drawn));
  ASSERT_NE(x_axis, nullptr);
  EXPECT_EQ(x_axis->categoriesLabels(), QStringList({"18", "55", "200"}));
  EXPECT_EQ(x_axis->endValue(QStringLiteral("55")), 55);
  std::vector<double> centres;
  for (const LinearBars::Bar& bar : drawn->BarsAtValues().Bars()) {
    EXPECT_LT(bar.left, bar.right);
    EXPECT_EQ(bar.height, 4);
    EXPECT_EQ(bar.colour, QColor(0x00, 0xFF, 0x00));
    centres.push_back((bar.left + bar.right) / 2);
  }
  EXPECT_EQ(centres, std::vector<double>({18, 55, 200}));
}

TEST(DrawnChart, LinearAxisOfLoneBarsKeepsAWidth) {
  constexpr double kTooLarge = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> kCases = {{18}, {0}, {0.008, 0.008}, {}, {18, kTooLarge}};
  for (const std::vector<double>& xs : kCases) {
    SCOPED_TRACE(xs.size());
    LaidOutChart drawn(LinearBars(ChartId::Chart_ShutterSpeed, xs), {800, 400});
    auto* x_axis = qobject_cast<QValueAxis*>(BottomAxis(*drawn));
    ASSERT_NE(x_axis, nullptr);
    EXPECT_LT(x_axis->min(), x_axis->max());
    for (const LinearBars::Bar& bar : drawn->BarsAtValues().Bars()) {
      EXPECT_GT(bar.left, x_axis->min());
      EXPECT_LT(bar.right, x_axis->max());
      EXPECT_GT(bar.right - bar.left, 0);
    }
  }
}

// Thousands of distinct values (ISO, exposures) once gave thousands of Qt Charts series, whose drawing
// grew with the square of their number.
TEST(DrawnChart, ThousandsOfLinearBarsAreOneItemOverOneSeries) {
  std::vector<double> xs;
  for (int i = 0; i < 20000; ++i) xs.push_back(100 + i);
  LaidOutChart drawn(LinearBars(ChartId::Chart_ISO, xs), {2000, 1000});
  EXPECT_EQ(drawn->series().size(), 1);
  ASSERT_EQ(drawn->BarsAtValues().Bars().size(), xs.size());
  EXPECT_EQ((drawn->BarsAtValues().Bars().back().left + drawn->BarsAtValues().Bars().back().right) / 2, 20099);
  // The labels left on the axis are the few that fit.
  auto* x_axis = qobject_cast<QCategoryAxis*>(BottomAxis(*drawn));
  ASSERT_NE(x_axis, nullptr);
  EXPECT_LT(x_axis->count(), 200);
  // A bar chart drawn next has no bars at values left over.
  drawn->Draw(TextBars(ChartId::Chart_ISO, {{"100", 1}}));
  EXPECT_TRUE(drawn->BarsAtValues().Bars().empty());
}

TEST(DrawnChart, BarsOnAnOverviewPageHaveMoreRoomBelow) {
  const Chart bars = TextBars(ChartId::Chart_FocalLength, {{"50", 3}});
  LaidOutChart overview(bars, {400, 300}, ChartPage::kOverview);
  LaidOutChart single(bars, {400, 300}, ChartPage::kSingle);
  EXPECT_GT(overview->margins().bottom(), single->margins().bottom());
  EXPECT_LT(overview->plotArea().bottom(), single->plotArea().bottom());

  // A page switch is applied at once.
  overview->SetPage(ChartPage::kSingle);
  EXPECT_EQ(overview->margins().bottom(), single->margins().bottom());
}

TEST(DrawnChart, ProgramAndMeteringLabelsBreakWhereTheLabelDoes) {
  const struct {
    ChartId id;
    const char* shown;
  } kCases[] = {
      {ChartId::Chart_Program, "Aperture\npriority"},
      {ChartId::Chart_Meter, "Aperture\npriority"},
      {ChartId::Chart_ShutterSpeed, "Aperture priority"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.shown);
    LaidOutChart drawn(TextBars(c.id, {{"Manual", 1}, {"Aperture\rpriority", 2}}), {600, 400});
    const QStringList texts = drawn.ShownTexts();
    EXPECT_TRUE(texts.contains(QString::fromUtf8(c.shown))) << texts.join('|').toStdString();
  }
}

TEST(DrawnChart, CrowdedBottomLabelsTurnAndThinOut) {
  std::vector<Bar> bars;
  for (int i = 0; i < 40; ++i) bars.push_back({"1/" + std::to_string(8000 - i * 100), i + 1});
  const Chart chart = TextBars(ChartId::Chart_ShutterSpeed, bars);
  const auto shown_labels = [](LaidOutChart& drawn) {
    QStringList shown;
    for (QString label : qobject_cast<QBarCategoryAxis*>(BottomAxis(*drawn))->categories()) {
      label.remove(QChar(0x200B));
      label.remove(QChar(0x2060));
      if (!label.isEmpty()) shown.append(label);
    }
    return shown;
  };

  LaidOutChart wide(chart, {2000, 1000});
  EXPECT_EQ(shown_labels(wide).size(), 40);
  for (const Bar& bar : bars) EXPECT_TRUE(wide.ShownTexts().contains(QString::fromStdString(bar.label))) << bar.label;

  LaidOutChart narrow(chart, {300, 250}, ChartPage::kOverview);
  EXPECT_EQ(BottomAxis(*narrow)->labelsAngle(), -90);
  // Every bar keeps its slot, labelled or not.
  EXPECT_EQ(qobject_cast<QBarCategoryAxis*>(BottomAxis(*narrow))->count(), 40);
  const QStringList thinned = shown_labels(narrow);
  EXPECT_GT(thinned.size(), 1);
  EXPECT_LT(thinned.size(), 40);
  EXPECT_EQ(thinned.front(), QStringLiteral("1/8000"));
}

// Hundreds of distinct exposure times leave most slots unlabelled: the blank categories stay apart with
// a few invisible characters each, never one more per slot (whose shaping grew with the square of the count).
TEST(DrawnChart, HundredsOfThinnedLabelsStayShortAndApart) {
  std::vector<Bar> bars;
  for (int i = 0; i < 200; ++i) bars.push_back({"1/" + std::to_string(100000 - i), i % 50 + 1});
  LaidOutChart drawn(TextBars(ChartId::Chart_ShutterSpeed, bars), {400, 300});
  const QStringList categories = qobject_cast<QBarCategoryAxis*>(BottomAxis(*drawn))->categories();
  ASSERT_EQ(categories.size(), 200);
  EXPECT_EQ(QSet<QString>(categories.begin(), categories.end()).size(), 200);
  qsizetype longest = 0;
  for (const QString& category : categories) longest = std::max(longest, category.size());
  EXPECT_LE(longest, 12);
}

// Thousands of distinct exposure times on a text axis once froze the window for seconds (Qt's category
// axis measured every category at each layout, its bar series made an item per bar): their bars are
// painted by one item, each in its slot, and only the labels that fit are put on the axis.
TEST(DrawnChart, ThousandsOfTextBarsArePaintedInTheirSlots) {
  std::vector<Bar> bars;
  for (int i = 0; i < 3000; ++i) bars.push_back({"1/" + std::to_string(100000 - i), i % 50 + 1});
  LaidOutChart drawn(TextBars(ChartId::Chart_ShutterSpeed, bars), {2000, 1000});
  EXPECT_EQ(drawn->series().size(), 1);
  const std::vector<LinearBars::Bar>& painted = drawn->BarsAtValues().Bars();
  ASSERT_EQ(painted.size(), bars.size());
  for (const size_t slot : {size_t{0}, size_t{1234}, size_t{2999}}) {
    SCOPED_TRACE(slot);
    EXPECT_DOUBLE_EQ((painted[slot].left + painted[slot].right) / 2, static_cast<double>(slot));
    EXPECT_DOUBLE_EQ(painted[slot].right - painted[slot].left, 0.75);
    EXPECT_EQ(painted[slot].height, bars[slot].value);
  }
  auto* x_axis = qobject_cast<QCategoryAxis*>(BottomAxis(*drawn));
  ASSERT_NE(x_axis, nullptr);
  EXPECT_EQ(x_axis->min(), -0.5);
  EXPECT_EQ(x_axis->max(), 2999.5);
  EXPECT_EQ(x_axis->labelsAngle(), -90);
  const QStringList labels = x_axis->categoriesLabels();
  ASSERT_GT(labels.size(), 10);
  EXPECT_LT(labels.size(), 200);
  EXPECT_EQ(labels.front(), QStringLiteral("1/100000"));
  // Each label stands under its own bar.
  for (const QString& label : labels) {
    SCOPED_TRACE(label.toStdString());
    EXPECT_EQ(x_axis->endValue(label), 100000 - label.mid(2).toInt());
  }
  // A click finds the bar in its slot, and the keyboard's highlight paints it.
  const QPointF middle = drawn->mapToPosition(QPointF(1234, 1), drawn->series().front());
  EXPECT_EQ(drawn->PointAt(middle), std::optional<size_t>(1234));
}

TEST(DrawnChart, ThinnedLinearLabelsStayUnderTheirBars) {
  const std::vector<double> xs = {0, 0.0001, 0.0002, 0.0005, 0.001, 0.002, 0.004, 0.008, 0.0167, 0.5, 1, 2};
  LaidOutChart drawn(LinearBars(ChartId::Chart_ShutterSpeed, xs), {300, 250}, ChartPage::kOverview);
  auto* x_axis = qobject_cast<QCategoryAxis*>(BottomAxis(*drawn));
  ASSERT_NE(x_axis, nullptr);
  const QStringList labels = x_axis->categoriesLabels();
  EXPECT_LT(labels.size(), static_cast<qsizetype>(xs.size()));
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels.front(), QStringLiteral("0"));
  EXPECT_EQ(x_axis->startValue(), x_axis->min());
  for (const QString& label : labels) {
    SCOPED_TRACE(label.toStdString());
    EXPECT_EQ(x_axis->endValue(label), label.toDouble());
  }
}

TEST(ChartView, RefreshShowsTheModelAsItIsNowAndPageSwitchesAtOnce) {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  Chart& model = charts[ChartId::Chart_ISO];
  ChartView view(model, ChartPage::kOverview);
  view.resize(400, 300);
  view.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(view.objectName(), QStringLiteral("Chart_ISO"));

  model.bar.Add(5, "100", 0x00FFFF);
  model.pie.Add(5, "100", 0xFF0000);
  auto* before = qobject_cast<QStackedBarSeries*>(view.chart()->series().value(0));
  ASSERT_NE(before, nullptr);
  EXPECT_TRUE(before->barSets().isEmpty());
  view.Refresh();
  auto* after = qobject_cast<QStackedBarSeries*>(view.chart()->series().value(0));
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->barSets().size(), 1);

  model.bar.active = false;
  model.pie.active = true;
  view.Refresh();
  EXPECT_NE(qobject_cast<QPieSeries*>(view.chart()->series().value(0)), nullptr);

  const int overview_margin = view.chart()->margins().bottom();
  view.SetPage(ChartPage::kSingle);
  EXPECT_EQ(view.Page(), ChartPage::kSingle);
  EXPECT_LT(view.chart()->margins().bottom(), overview_margin);
}

}  // namespace
}  // namespace lumetra
