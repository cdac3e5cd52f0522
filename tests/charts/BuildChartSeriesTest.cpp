#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/BuildChartSeries.h"
#include "survey/Labels.h"

namespace lumetra {
namespace {

using enum ChartId;

struct Expected {
  std::string label;
  int64_t value;
  ChartColour colour;
  double x;
};

void ExpectPoints(const ChartSeries& series, const std::vector<Expected>& expected) {
  SCOPED_TRACE(series.name);
  ASSERT_EQ(series.Points().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("point " + std::to_string(i));
    const ChartPoint& point = series.Points()[i];
    EXPECT_EQ(point.label, expected[i].label);
    EXPECT_EQ(point.value, expected[i].value);
    EXPECT_EQ(point.colour, expected[i].colour);
    EXPECT_NEAR(point.x, expected[i].x, 1e-9);
  }
}

myRecord Undetermined(LabelId id, Language language, int32_t count) { return {LabelText(id, language), count, id, 0}; }
myRecord Row(std::string text, int32_t count, int64_t value = 0) {
  return {std::move(text), count, LabelId::kNone, value};
}

// A survey whose counters agree with the given rows where a test needs them.
SurveyState StateWith(Language language, int32_t filtered) {
  SurveyState state(language);
  state.processedCount = filtered;
  state.filteredCount = filtered;
  return state;
}

TEST(PaletteColourTest, WrapsWithTheMathematicalModulo) {
  const struct {
    int n;
    ChartColour colour;
  } cases[] = {{1, 0xFF0000}, {19, 0xE3DF7B}, {20, 0xFF0000}, {38, 0xE3DF7B}, {0, 0xE3DF7B}, {8, 0x23EE61}};
  for (const auto& c : cases) EXPECT_EQ(PaletteColour(c.n), c.colour) << "n = " << c.n;
}

// The exposure-time, F-number, focal and ISO charts with an undetermined row, in both axis modes and
// both languages.
TEST(BuildChartSeriesTest, UndeterminedRowsOnTheBarCharts) {
  for (const Language language : {kRussian, kEnglish}) {
    const std::string full_f = LabelText(LabelId::NotDeterminedF, language);
    const std::string full_n = LabelText(LabelId::NotDeterminedN, language);
    const std::string short_label = language == kRussian ? "н/д" : "n/a";
    SurveyState state = StateWith(language, 10);
    state.tallyShutter = {Undetermined(LabelId::NotDeterminedF, language, 2), Row("1/125", 5, 80), Row("1/60", 3, 167)};
    state.tallyFNumber = {Undetermined(LabelId::NotDeterminedF, language, 1), Row("2.8", 4), Row("8", 5)};
    state.tallyFocal = {Undetermined(LabelId::NotDeterminedN, language, 4), Row("18", 10), Row("55", 6)};
    state.tallyIso = {Undetermined(LabelId::NotDeterminedN, language, 3), Row("100", 7)};

    for (const bool text_axis : {true, false}) {
      SCOPED_TRACE((language == kRussian ? "Russian, " : "English, ") + std::string(text_axis ? "text" : "linear"));
      ChartSet charts;
      BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = true, .rb_Text = text_axis, .language = language});

      const Chart& shutter = charts[Chart_ShutterSpeed];
      EXPECT_EQ(shutter.axis_maximum, 5);
      EXPECT_EQ(shutter.axis, text_axis ? AxisKind::kText : AxisKind::kLinear);
      if (text_axis) {
        ExpectPoints(shutter.bar, {{short_label, 2, 0xFF0000, 0}, {"1/125", 5, 0xFF0000, 1}, {"1/60", 3, 0xFF0000, 2}});
        ExpectPoints(charts[Chart_Fnumber].bar,
                     {{short_label, 1, 0x0000FF, 0}, {"2.8", 4, 0x0000FF, 1}, {"8", 5, 0x0000FF, 2}});
        ExpectPoints(charts[Chart_FocalLength].bar,
                     {{short_label, 4, 0x00FF00, 0}, {"18", 10, 0x00FF00, 1}, {"55", 6, 0x00FF00, 2}});
        ExpectPoints(charts[Chart_ISO].bar, {{full_n, 3, 0x00FFFF, 0}, {"100", 7, 0x00FFFF, 1}});
      } else {
        ExpectPoints(shutter.bar,
                     {{full_f, 2, 0xFF0000, 0}, {"1/125", 5, 0xFF0000, 0.008}, {"1/60", 3, 0xFF0000, 0.0167}});
        ExpectPoints(charts[Chart_Fnumber].bar,
                     {{short_label, 1, 0x0000FF, 0}, {"2.8", 4, 0x0000FF, 2.8}, {"8", 5, 0x0000FF, 8}});
        ExpectPoints(charts[Chart_FocalLength].bar, {{"18", 10, 0x00FF00, 18}, {"55", 6, 0x00FF00, 55}});
        ExpectPoints(charts[Chart_ISO].bar, {{"0", 3, 0x00FFFF, 0}, {"100", 7, 0x00FFFF, 100}});
      }
      // The pies carry the full texts, coloured by row, smallest slice first.
      ExpectPoints(shutter.pie, {{full_f, 2, 0xFF0000, 0}, {"1/60", 3, 0x2376EE, 0}, {"1/125", 5, 0x00FF00, 0}});
      EXPECT_EQ(charts[Chart_FocalLength].pie.Points().size(), 3u);
      EXPECT_TRUE(shutter.pie.marks);
      EXPECT_TRUE(charts[Chart_FocalLength].pie.marks);
    }
  }
}

TEST(BuildChartSeriesTest, FirstRowsThatAreValuesKeepTheirTexts) {
  SurveyState state = StateWith(kEnglish, 4);
  state.tallyShutter = {Row("1/125", 1, 80)};
  state.tallyFNumber = {Row("2.8", 1)};
  state.tallyFocal = {Row("50", 1)};
  state.tallyIso = {Row("100", 1)};
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  ExpectPoints(charts[Chart_ShutterSpeed].bar, {{"1/125", 1, 0xFF0000, 0}});
  ExpectPoints(charts[Chart_Fnumber].bar, {{"2.8", 1, 0x0000FF, 0}});
  ExpectPoints(charts[Chart_FocalLength].bar, {{"50", 1, 0x00FF00, 0}});
  ExpectPoints(charts[Chart_ISO].bar, {{"100", 1, 0x00FFFF, 0}});
}

// A text the camera wrote that is not a number has no place on a linear axis, but its photos count in
// the pie; the undetermined row after it still stands at the origin.
TEST(BuildChartSeriesTest, FnumberTextThatIsNotANumber) {
  SurveyState state = StateWith(kEnglish, 9);
  state.tallyFNumber = {Row("f/?", 2), Undetermined(LabelId::NotDeterminedF, kEnglish, 3), Row("4", 4)};
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = true, .rb_Text = false, .language = kEnglish});
  ExpectPoints(charts[Chart_Fnumber].bar, {{"n/a", 3, 0x0000FF, 0}, {"4", 4, 0x0000FF, 4}});
  EXPECT_EQ(charts[Chart_Fnumber].pie.Total(), 9);
}

TEST(BuildChartSeriesTest, ProgramRowsKeepTheirColoursAndSkipZeroCounts) {
  SurveyState state = StateWith(kRussian, 7);
  state.tallyProgram[1].count = 3;
  state.tallyProgram[7].count = 4;
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = true, .rb_Text = false, .language = kRussian});
  const Chart& program = charts[Chart_Program];
  EXPECT_EQ(program.axis, AxisKind::kText) << "program and metering always have a text axis";
  EXPECT_EQ(program.axis_maximum, 4);
  ExpectPoints(program.bar, {{"Приоритет\rдиафрагмы", 3, 0xFFFF00, 0}, {"Творческий", 4, 0xFFFF00, 1}});
  ExpectPoints(program.pie, {{"Приоритет\rдиафрагмы", 3, 0x00FF00, 0}, {"Творческий", 4, 0x23EE61, 0}});
  EXPECT_TRUE(charts[Chart_Meter].bar.Points().empty());
  EXPECT_EQ(charts[Chart_Meter].axis_maximum, 0);
}

TEST(BuildChartSeriesTest, GroupedPies) {
  const struct {
    const char* name;
    int32_t filtered;
    std::vector<myRecord> rows;
    std::vector<Expected> slices;
  } cases[] = {
      {"150 photos: two makes of 1 photo are grouped",
       150,
       {Row("Canon", 120), Row("Nikon", 28), Row("Sony", 1), Row("Pentax", 1)},
       {{"Canon", 120, 0xFF0000, 0}, {"Nikon", 28, 0x00FF00, 0}, {"Other (each < 1%)", 2, 0x000000, 0}}},
      {"100 photos: a share of exactly 1 % is small",
       100,
       {Row("Canon", 99), Row("Sony", 1)},
       {{"Canon", 99, 0xFF0000, 0}, {"Other (each < 1%)", 1, 0x000000, 0}}},
      {"small rows of count 0 add no grouped slice",
       10,
       {Row("Canon", 10), Row("Sony", 0)},
       {{"Canon", 10, 0xFF0000, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SurveyState state = StateWith(kEnglish, c.filtered);
    state.tallyMake = c.rows;
    ChartSet charts;
    BuildChartSeries(charts, state, RebuildMode::kAll, {});
    ExpectPoints(charts[Chart_Make].pie, c.slices);
  }
}

// 200 models of one photo each: no row exceeds 1 %. The pie shows this survey, its largest rows and the
// rest grouped, never the slices an earlier survey left.
TEST(BuildChartSeriesTest, GroupedPieWithoutALargeRowShowsThisSurvey) {
  SurveyState state = StateWith(kRussian, 200);
  for (int i = 0; i < 200; ++i) state.tallyModel.push_back(Row("Model " + std::to_string(i), 1));
  ChartSet charts;
  charts[Chart_Model].pie.Add(50, "Old camera", 0x123456);
  BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = true, .rb_Text = true, .language = kRussian});
  const std::vector<ChartPoint>& points = charts[Chart_Model].pie.Points();
  ASSERT_EQ(points.size(), 11u);
  EXPECT_EQ(points[0].label, "Прочие (каждый < 1%)");
  EXPECT_EQ(points[0].value, 190);
  EXPECT_EQ(points[1].label, "Model 0");
  EXPECT_EQ(points[1].colour, 0xFF00FFu);
  EXPECT_EQ(charts[Chart_Model].pie.Total(), 200);
}

TEST(BuildChartSeriesTest, LensSliceColoursCountDownThePalette) {
  SurveyState state = StateWith(kEnglish, 21 * 10);
  for (int i = 1; i <= 21; ++i) state.tallyLens.push_back(Row("Lens " + std::to_string(i), 10));
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  const std::vector<ChartPoint>& points = charts[Chart_Lens].pie.Points();
  ASSERT_EQ(points.size(), 21u);
  // From the palette's 18th colour down to its first, then on from its last, first and second.
  const struct {
    size_t row;
    ChartColour colour;
  } cases[] = {{1, 0xFB7575},  {2, 0x40D044},  {17, 0x00FF00}, {18, 0xFF0000},
               {19, 0xE3DF7B}, {20, 0xFF0000}, {21, 0x00FF00}};
  for (const auto& c : cases) EXPECT_EQ(points[c.row - 1].colour, c.colour) << "row " << c.row;
}

TEST(BuildChartSeriesTest, FixedPies) {
  SurveyState state = StateWith(kEnglish, 5);
  state.tallyFlash[1].count = 5;        // nobody flashed
  state.tallyOrientation[1].count = 2;  // vertical
  state.tallyOrientation[2].count = 3;  // undetermined
  state.tallyFocus[2].count = 5;        // AI Servo
  ChartSet charts;
  charts[Chart_Drive].pie.Add(0, "", 0x9D4DF7);
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  ExpectPoints(charts[Chart_Flash].pie, {{"No Flash", 5, 0x00FF00, 0}, {"Flash", 0, 0xFF0000, 0}});
  ExpectPoints(charts[Chart_Orientation].pie, {{"n/a", 3, 0xFF0000, 0}, {"Vertical", 2, 0xFFFF00, 0}});
  ExpectPoints(charts[Chart_Focus].pie, {{"AI Servo", 5, 0x2376EE, 0}});
  // No drive mode occurred: the pie keeps what it showed.
  ExpectPoints(charts[Chart_Drive].pie, {{"", 0, 0x9D4DF7, 0}});
}

// The bar labels of `series`, in order.
std::vector<std::string> BarLabels(const ChartSeries& series) {
  std::vector<std::string> labels;
  for (const ChartPoint& point : series.Points()) labels.push_back(point.label);
  return labels;
}

// The months, weekdays and hours: a text axis shows the months with photos, a linear one every month from the
// first to the last with the empty ones at zero; weekdays and hours keep all their bars; the undetermined
// photos get an "n/a" bar on a text axis only while there are any.
TEST(BuildChartSeriesTest, TimeCharts) {
  constexpr int64_t kJanuary2019 = (2019 - 1900) * 12;
  for (const Language language : {kRussian, kEnglish}) {
    const std::string short_label = language == kRussian ? "н/д" : "n/a";
    SurveyState state = StateWith(language, 9);
    state.tallyDate = {Row("2019-01", 2, kJanuary2019), Row("2019-04", 4, kJanuary2019 + 3),
                       Undetermined(LabelId::NotDeterminedF, language, 3)};
    state.tallyWeekday[0].count = 2;
    state.tallyWeekday[6].count = 4;
    state.tallyWeekday.back().count = 3;
    state.tallyHour[0].count = 2;
    state.tallyHour[23].count = 4;
    state.tallyHour.back().count = 3;
    for (const bool text_axis : {true, false}) {
      SCOPED_TRACE((language == kRussian ? "Russian, " : "English, ") + std::string(text_axis ? "text" : "linear"));
      ChartSet charts;
      BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = true, .rb_Text = text_axis, .language = language});
      const Chart& date = charts[Chart_Date];
      EXPECT_EQ(date.axis_maximum, 4);
      if (text_axis) {
        ExpectPoints(date.bar,
                     {{"2019-01", 2, 0x2376EE, 0}, {"2019-04", 4, 0x2376EE, 1}, {short_label, 3, 0x2376EE, 2}});
      } else {
        ExpectPoints(date.bar, {{"2019-01", 2, 0x2376EE, kJanuary2019},
                                {"2019-02", 0, 0x2376EE, kJanuary2019 + 1},
                                {"2019-03", 0, 0x2376EE, kJanuary2019 + 2},
                                {"2019-04", 4, 0x2376EE, kJanuary2019 + 3}});
      }
      EXPECT_EQ(date.pie.Total(), 9);

      // The weekdays are names, never numbers on an axis.
      const Chart& weekday = charts[Chart_Weekday];
      EXPECT_EQ(weekday.axis, AxisKind::kText);
      std::vector<std::string> days = BarLabels(weekday.bar);
      ASSERT_EQ(days.size(), 8u);
      EXPECT_EQ(days.front(), LabelText(LabelId::WeekdayMonday, language));
      EXPECT_EQ(days[6], LabelText(LabelId::WeekdaySunday, language));
      EXPECT_EQ(days.back(), short_label);
      EXPECT_EQ(weekday.bar.Points()[6].value, 4);

      const Chart& hour = charts[Chart_Hour];
      EXPECT_EQ(hour.axis, text_axis ? AxisKind::kText : AxisKind::kLinear);
      ASSERT_EQ(hour.bar.Points().size(), text_axis ? 25u : 24u);
      for (int h = 0; h < 24; ++h) {
        const ChartPoint& bar = hour.bar.Points()[static_cast<size_t>(h)];
        EXPECT_EQ(bar.label, std::to_string(h));
        EXPECT_EQ(bar.x, h);
        EXPECT_EQ(bar.value, h == 0 ? 2 : h == 23 ? 4 : 0);
      }
      // The pie shows the hours that occur.
      EXPECT_EQ(hour.pie.Points().size(), 3u);
    }
  }
}

// Every photo has a capture time: no "n/a" bar stands beside the weekdays and hours.
TEST(BuildChartSeriesTest, TimeChartsWithoutUndeterminedPhotosShowNoNaBar) {
  SurveyState state = StateWith(kEnglish, 1);
  state.tallyDate = {Row("2024-02", 1, (2024 - 1900) * 12 + 1)};
  state.tallyWeekday[3].count = 1;
  state.tallyHour[12].count = 1;
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  ExpectPoints(charts[Chart_Date].bar, {{"2024-02", 1, 0x2376EE, 0}});
  EXPECT_EQ(charts[Chart_Weekday].bar.Points().size(), 7u);
  EXPECT_EQ(charts[Chart_Hour].bar.Points().size(), 24u);
}

TEST(BuildChartSeriesTest, RebuildModesRefillOnlyTheirCharts) {
  SurveyState state = StateWith(kEnglish, 10);
  state.tallyFocal = {Row("50", 10)};
  state.tallyFocal35 = {Row("80", 10)};
  state.tallyCrop = {Row("1.6", 10)};
  state.tallyShutter = {Row("1/100", 10, 100)};
  ChartSet charts;
  ResetChartSeries(charts);
  BuildChartSeries(charts, state, RebuildMode::kFocal, {.rb_Real = false, .rb_Text = true, .language = kEnglish});
  ExpectPoints(charts[Chart_FocalLength].bar, {{"80", 10, 0x00FF00, 0}});
  ExpectPoints(charts[Chart_Crop].pie, {{"", 0, 0x23EE61, 0}});
  EXPECT_TRUE(charts[Chart_ShutterSpeed].bar.Points().empty());
  ExpectPoints(charts[Chart_ShutterSpeed].pie, {{"", 0, 0xFF0000, 0}});

  BuildChartSeries(charts, state, RebuildMode::kFocalAndCrop, {});
  ExpectPoints(charts[Chart_Crop].pie, {{"1.6", 10, 0xFFFF00, 0}});
  EXPECT_TRUE(charts[Chart_ShutterSpeed].bar.Points().empty());
}

TEST(BuildChartSeriesTest, NoFilteredPhotoEmptiesTheChartsInsteadOfDividingByZero) {
  SurveyState state = StateWith(kEnglish, 0);
  state.tallyModel = {Row("Canon EOS 5D", 0)};  // kept at count 0 while the check list is kept
  ChartSet charts;
  ResetChartSeries(charts);
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  for (const ChartId id : AllCharts()) {
    EXPECT_TRUE(charts[id].pie.Points().empty()) << charts[id].name;
    EXPECT_TRUE(charts[id].bar.Points().empty()) << charts[id].name;
  }
}

TEST(ResetChartSeriesTest, EveryPieGetsOnePlaceholderAndBarsAreEmpty) {
  SurveyState state = StateWith(kEnglish, 1);
  state.tallyShutter = {Row("1/100", 1, 100)};
  ChartSet charts;
  BuildChartSeries(charts, state, RebuildMode::kAll, {});
  ResetChartSeries(charts);
  for (const ChartId id : AllCharts()) {
    EXPECT_TRUE(charts[id].bar.Points().empty()) << charts[id].name;
    ASSERT_EQ(charts[id].pie.Points().size(), 1u) << charts[id].name;
    EXPECT_EQ(charts[id].pie.Points()[0].value, 0);
  }
  EXPECT_EQ(charts[Chart_Meter].pie.Points()[0].colour, 0xFF00FFu);
  EXPECT_EQ(charts[Chart_Lens].pie.Points()[0].colour, 0x00FFFFu);
}

}  // namespace
}  // namespace lumetra
