// Chart pictures drawn off-screen at their export sizes, and written as JPEG files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <QPainter>
#include <QPieSeries>
#include <QValueAxis>

#include "charts/BuildChartSeries.h"
#include "charts/ChartPicture.h"
#include "charts/JpegFile.h"
#include "tests/charts/JpegInspection.h"
#include "tests/charts/LaidOutChart.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::LaidOutChart;
using testing::MakeChart;

bool IsDark(QRgb pixel) { return qRed(pixel) < 90 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

bool Near(QRgb pixel, QColor colour, int tolerance) {
  return std::abs(qRed(pixel) - colour.red()) <= tolerance && std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
         std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

int CountPixels(const QImage& picture, QRect area, bool (*test)(QRgb)) {
  int count = 0;
  area &= picture.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += test(picture.pixel(x, y)) ? 1 : 0;
  }
  return count;
}

// Three F-number bars: full, half, full height.
Chart FnumberBars() {
  Chart chart = MakeChart(ChartId::Chart_Fnumber);
  chart.bar.Add(10, "2.8", 0x0000FF);
  chart.bar.Add(5, "5.6", 0x0000FF);
  chart.bar.Add(10, "8", 0x0000FF);
  chart.axis_maximum = 10;
  return chart;
}

// The four value charts and the months and hours, whose many bars need the width; the weekdays and pies square.
TEST(ExportSize, WideForTheValueDateAndHourChartsSquareForTheOthers) {
  for (const ChartId id : AllCharts()) {
    const bool wide = id == ChartId::Chart_ShutterSpeed || id == ChartId::Chart_Fnumber ||
                      id == ChartId::Chart_FocalLength || id == ChartId::Chart_ISO || id == ChartId::Chart_Date ||
                      id == ChartId::Chart_Hour;
    SCOPED_TRACE(static_cast<int>(id));
    EXPECT_EQ(ExportSize(id), wide ? QSize(2000, 1000) : QSize(1000, 1000));
  }
}

TEST(ChartPicture, BarsStandInTheirColourOnAWhiteBackWallUnderADarkTitle) {
  const Chart chart = FnumberBars();
  const QSize size = ExportSize(chart.id);
  const QImage picture = DrawChartPicture(chart, size);
  ASSERT_EQ(picture.size(), size);

  // The same layout as the picture's, for where the plot lies.
  LaidOutChart drawn(chart, QSizeF(size));
  const QRectF plot = drawn->plotArea();
  ASSERT_FALSE(plot.isEmpty());
  const qreal slot = plot.width() / 3;
  const int middle_x = static_cast<int>(plot.left() + slot * 1.5);
  const QColor blue(0, 0, 255);
  // The half-height bar: blue in its lower half, back wall (white) above it.
  EXPECT_TRUE(Near(picture.pixel(middle_x, static_cast<int>(plot.bottom() - plot.height() * 0.25)), blue, 10));
  EXPECT_TRUE(Near(picture.pixel(middle_x, static_cast<int>(plot.top() + plot.height() * 0.25)), Qt::white, 10));
  // Between two bars the back wall shows.
  EXPECT_TRUE(Near(picture.pixel(static_cast<int>(plot.left() + slot), static_cast<int>(plot.center().y()) + 3),
                   Qt::white, 60));
  // The title is dark text above the plot.
  EXPECT_GT(CountPixels(picture, QRect(0, 0, size.width(), static_cast<int>(plot.top())), IsDark), 20);
}

TEST(ChartPicture, CategoryPieIsDrawnWithItsMarksWhateverTheOverviewHid) {
  Chart chart = MakeChart(ChartId::Chart_Make);
  chart.pie.Add(75, "Canon", 0xFFFF00);
  chart.pie.Add(25, "Nikon", 0x00FF00);
  chart.pie.marks = false;  // as the overview page leaves it
  const QImage picture = DrawChartPicture(chart, ExportSize(chart.id));
  ASSERT_EQ(picture.size(), QSize(1000, 1000));

  Chart marked = chart;
  marked.pie.marks = true;
  LaidOutChart drawn(marked, QSizeF(1000, 1000));
  const auto* pie = qobject_cast<QPieSeries*>(drawn->series().value(0));
  ASSERT_NE(pie, nullptr);
  const QRectF plot = drawn->plotArea();
  const qreal radius = pie->pieSize() * std::min(plot.width(), plot.height()) / 2;
  const QPoint centre = plot.center().toPoint();
  // Canon's slice runs clockwise from 12 o'clock to 9 o'clock: yellow to the right of the centre.
  EXPECT_TRUE(Near(picture.pixel(centre + QPoint(static_cast<int>(radius / 2), 0)), QColor(255, 255, 0), 10));
  EXPECT_TRUE(Near(picture.pixel(centre + QPoint(-static_cast<int>(radius / 2), -static_cast<int>(radius / 4))),
                   QColor(0, 255, 0), 10));
  // Mark texts beside the pie, left and right of it.
  const int right_of_pie = centre.x() + static_cast<int>(radius) + 5;
  const int left_of_pie = centre.x() - static_cast<int>(radius) - 5;
  const int top = static_cast<int>(plot.top());
  const int height = static_cast<int>(plot.height());
  EXPECT_GT(CountPixels(picture, QRect(right_of_pie, top, 1000 - right_of_pie, height), IsDark), 20);
  EXPECT_GT(CountPixels(picture, QRect(0, top, left_of_pie, height), IsDark), 20);
  EXPECT_EQ(drawn->Labels().MarkTexts(), QStringList({"Canon (75%)", "Nikon (25%)"}));
}

// A pie of one slice (beside rows without photos) once showed a thin white line from the centre up to
// 12 o'clock, the borders of the slice and of the empty ones.
TEST(ChartPicture, PieOfOneSliceIsAFullDisc) {
  Chart chart = MakeChart(ChartId::Chart_Flash);
  chart.pie.Add(0, "Fired", 0xFF0000);
  chart.pie.Add(12, "Did not fire", 0x00FF00);
  chart.pie.Add(0, "Auto", 0x2376EE);
  const QImage picture = DrawChartPicture(chart, ExportSize(chart.id));
  LaidOutChart drawn(chart, QSizeF(ExportSize(chart.id)));
  const auto* pie = qobject_cast<QPieSeries*>(drawn->series().value(0));
  ASSERT_NE(pie, nullptr);
  const QRectF plot = drawn->plotArea();
  const qreal radius = pie->pieSize() * std::min(plot.width(), plot.height()) / 2;
  const QPoint centre = plot.center().toPoint();
  for (const qreal height : {0.2, 0.5, 0.8}) {
    SCOPED_TRACE(height);
    const int y = centre.y() - static_cast<int>(radius * height);
    for (int dx = -1; dx <= 1; ++dx) EXPECT_TRUE(Near(picture.pixel(centre.x() + dx, y), QColor(0, 255, 0), 10));
  }
}

// A pie of thousands of rows is painted by one item: its large slice in its colour, and the thousands of
// thin ones a filled disc in their colours rather than white borders over one another.
TEST(ChartPicture, PieOfThousandsOfRowsShowsItsSlicesInTheirColours) {
  Chart chart = MakeChart(ChartId::Chart_ISO);
  for (int i = 0; i < 3000; ++i) chart.pie.Add(i == 1500 ? 3000 : 1, std::to_string(100 + i), PaletteColour(i + 1));
  chart.bar.active = false;
  chart.pie.active = true;
  const QSize size = ExportSize(chart.id);
  const QImage picture = DrawChartPicture(chart, size);
  LaidOutChart drawn(chart, QSizeF(size));
  const std::vector<PaintedPie::Slice>& slices = drawn->PaintedSlices().Slices();
  ASSERT_EQ(slices.size(), 3000U);
  const auto large =
      std::max_element(slices.begin(), slices.end(), [](const auto& a, const auto& b) { return a.span < b.span; });
  ASSERT_NEAR(large->span, 180 * 3000.0 / 3000.5, 0.1);
  const QRectF plot = drawn->plotArea();
  const qreal radius = drawn->Labels().PieRadius(plot);
  const auto pixel_at = [&](qreal angle, qreal reach) {
    const qreal radians = angle * std::numbers::pi / 180;
    const QPointF at = plot.center() + QPointF(std::sin(radians), -std::cos(radians)) * radius * reach;
    return picture.pixel(at.toPoint());
  };
  for (const qreal reach : {0.2, 0.5, 0.9}) {
    SCOPED_TRACE(reach);
    EXPECT_TRUE(Near(pixel_at(large->start + large->span / 2, reach), large->colour, 10));
    // Across from it the thin slices: coloured, neither white nor the background.
    const QRgb thin = pixel_at(large->start + large->span / 2 + 180, reach);
    EXPECT_FALSE(Near(thin, Qt::white, 40));
    EXPECT_FALSE(Near(thin, QColor(0xF0, 0xF0, 0xF0), 20));
  }
}

TEST(ChartPicture, LinearBarsStandAtTheirValuesAndMoveWithTheAxes) {
  Chart chart = FnumberBars();
  chart.axis = AxisKind::kLinear;
  chart.bar.Clear();
  chart.bar.AddXY(2.8, 10, "2.8", 0x0000FF);
  chart.bar.AddXY(5.6, 5, "5.6", 0x0000FF);
  chart.bar.AddXY(8, 10, "8", 0x0000FF);
  const QSize size = ExportSize(chart.id);
  const QImage picture = DrawChartPicture(chart, size);
  LaidOutChart drawn(chart, QSizeF(size));
  const auto* x_axis = qobject_cast<const QValueAxis*>(drawn->axes(Qt::Horizontal).value(0));
  ASSERT_NE(x_axis, nullptr);
  const QRectF plot = drawn->plotArea();
  const auto pixel_x = [&](qreal value) {
    // Beside the value, clear of the grid line the axis draws at a label.
    return 3 + static_cast<int>(plot.left() + (value - x_axis->min()) / (x_axis->max() - x_axis->min()) * plot.width());
  };
  const QColor blue(0, 0, 255);
  const int low = static_cast<int>(plot.bottom() - plot.height() * 0.25);
  const int high = static_cast<int>(plot.top() + plot.height() * 0.25);
  EXPECT_TRUE(Near(picture.pixel(pixel_x(5.6), low), blue, 10));
  EXPECT_TRUE(Near(picture.pixel(pixel_x(5.6), high), Qt::white, 10));
  EXPECT_TRUE(Near(picture.pixel(pixel_x(8), high), blue, 10));
  EXPECT_TRUE(Near(picture.pixel(pixel_x(4.2), low), Qt::white, 10));

  // Zoomed in on the middle bar, it fills the plot's width.
  drawn->zoomIn(QRectF(plot.center().x() - 5, plot.top(), 10, plot.height()));
  QImage zoomed(size, QImage::Format_RGB32);
  zoomed.fill(Qt::black);
  {
    QPainter painter(&zoomed);
    drawn->scene()->render(&painter, QRectF(), QRectF(QPointF(0, 0), QSizeF(size)));
  }
  EXPECT_TRUE(Near(zoomed.pixel(static_cast<int>(plot.center().x()), static_cast<int>(plot.bottom()) - 3), blue, 10));
  EXPECT_TRUE(Near(zoomed.pixel(static_cast<int>(plot.left()) + 3, static_cast<int>(plot.bottom()) - 3), blue, 10));
}

TEST(ChartPicture, PieWithoutPhotosIsAGreyOutlineOnTheBackground) {
  // No photo has a flash value: both rows are zero.
  Chart chart = MakeChart(ChartId::Chart_Flash);
  chart.pie.Add(0, "Yes", 0xFF0000);
  chart.pie.Add(0, "No", 0x00FF00);
  const QImage picture = DrawChartPicture(chart, ExportSize(chart.id));
  ASSERT_EQ(picture.size(), QSize(1000, 1000));
  const auto coloured = [](QRgb pixel) {
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) - std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) >
           40;
  };
  EXPECT_EQ(CountPixels(picture, picture.rect(), coloured), 0);
  LaidOutChart drawn(chart, QSizeF(1000, 1000));
  const QRectF plot = drawn->plotArea();
  const QPoint centre = plot.center().toPoint();
  // Inside the outline the chart's background shows, not a slice.
  EXPECT_TRUE(Near(picture.pixel(centre + QPoint(20, 20)), QColor(0xF0, 0xF0, 0xF0), 6));
  EXPECT_TRUE(Near(picture.pixel(centre - QPoint(20, 20)), QColor(0xF0, 0xF0, 0xF0), 6));
  // The outline crosses the horizontal line through the centre on both sides.
  const auto grey = [](QRgb pixel) { return qGray(pixel) < 200; };
  EXPECT_GT(CountPixels(picture, QRect(centre.x() + 5, centre.y(), 1000, 1), grey), 0);
  EXPECT_GT(CountPixels(picture, QRect(0, centre.y(), centre.x() - 5, 1), grey), 0);
}

TEST(ChartPicture, EmptySizeGivesNoPicture) { EXPECT_TRUE(DrawChartPicture(FnumberBars(), QSize(0, 100)).isNull()); }

TEST(ChartPicture, WrittenAsABaselineColourJpegOfItsSize) {
  const Chart chart = FnumberBars();
  const QImage picture = DrawChartPicture(chart, ExportSize(chart.id));
  const testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "fnumber.jpg";
  ASSERT_EQ(WriteJpegFile(picture, file), "");

  const std::string bytes = testing::ReadFileBytes(file.string());
  const testing::JpegFacts facts = testing::InspectJpeg(bytes);
  EXPECT_EQ(facts.frame_markers, std::vector<uint8_t>({0xC0}));  // SOF0 only: baseline, not progressive
  EXPECT_EQ(facts.components, 3);
  EXPECT_EQ(facts.width, 2000);
  EXPECT_EQ(facts.height, 1000);
  EXPECT_EQ(facts.first_quantiser, 3);  // libjpeg's luminance table at quality 90

  const QImage decoded = testing::DecodeJpeg(bytes);
  ASSERT_EQ(decoded.size(), QSize(2000, 1000));
  LaidOutChart drawn(chart, QSizeF(2000, 1000));
  const QRectF plot = drawn->plotArea();
  const QPoint in_first_bar(static_cast<int>(plot.left() + plot.width() / 6), static_cast<int>(plot.center().y()));
  EXPECT_TRUE(Near(decoded.pixel(in_first_bar), QColor(0, 0, 255), 40));
  EXPECT_TRUE(Near(decoded.pixel(in_first_bar), QColor(picture.pixel(in_first_bar)), 40));
}

}  // namespace
}  // namespace lumetra
