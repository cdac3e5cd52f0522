// The way from a bar or slice back to the tally row it shows, which the chart commands take to the filter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/BuildChartSeries.h"
#include "charts/ChartPointChoice.h"
#include "charts/ChartTable.h"

namespace lumetra {
namespace {

using enum ChartId;

myRecord Row(std::string text, int32_t count, int64_t value = 0) {
  return {std::move(text), count, LabelId::kNone, value};
}

// A survey of 100 photos with a few rows on the bar charts and grouped pies.
SurveyState Survey() {
  SurveyState state(kEnglish);
  state.processedCount = 100;
  state.filteredCount = 100;
  state.tallyShutter = {Row("1/250", 60, 40), Row("1/60", 40, 166)};
  state.tallyFocal = {Row("18", 30), Row("50", 70)};
  state.tallyFocal35 = {Row("27", 30), Row("75", 70)};
  state.tallyProgram = {Row("Manual", 0), Row("Normal", 55), Row("Portrait", 45)};
  // Sorted by value in the pie; Sony and Pentax are grouped into "Other".
  state.tallyModel = {Row("EOS 5D", 40), Row("D750", 58), Row("Sony", 1), Row("Pentax", 1)};
  return state;
}

TEST(ChartPointChoiceTest, EveryPointNamesTheTallyRowItShows) {
  const SurveyState state = Survey();
  for (const bool text_axis : {true, false}) {
    for (const bool real : {true, false}) {
      ChartSet charts;
      BuildChartSeries(charts, state, RebuildMode::kAll, {.rb_Real = real, .rb_Text = text_axis});
      for (const ChartId chart : {Chart_ShutterSpeed, Chart_FocalLength, Chart_Program, Chart_Model}) {
        for (const ChartSeries* series : {&charts[chart].bar, &charts[chart].pie}) {
          SCOPED_TRACE(series->name + (text_axis ? " text" : " linear") + (real ? " real" : " 35 mm"));
          const std::vector<myRecord>& rows = ChartTally(state, chart, real);
          for (const ChartPoint& point : series->Points()) {
            if (point.label.starts_with("Other")) {
              EXPECT_FALSE(point.row.has_value()) << "the grouped slice joins several rows";
              continue;
            }
            ASSERT_TRUE(point.row.has_value()) << point.label;
            ASSERT_LT(*point.row, rows.size());
            EXPECT_EQ(rows[*point.row].text, point.label);
            EXPECT_EQ(rows[*point.row].count, point.value);
          }
        }
      }
    }
  }
}

TEST(ChartPointChoiceTest, TheChoiceFollowsTheChartAndTheFocalMode) {
  const SurveyState state = Survey();
  const struct {
    ChartId chart;
    bool real;
    FilterDimension dimension;
    const std::vector<myRecord>* rows;
  } cases[] = {
      {Chart_ShutterSpeed, true, FilterDimension::kExposure, &state.tallyShutter},
      {Chart_FocalLength, true, FilterDimension::kFocalReal, &state.tallyFocal},
      {Chart_FocalLength, false, FilterDimension::kFocal35, &state.tallyFocal35},
      {Chart_Program, false, FilterDimension::kProgram, &state.tallyProgram},
      {Chart_Model, true, FilterDimension::kModel, &state.tallyModel},
      {Chart_Make, true, FilterDimension::kMake, &state.tallyMake},
      {Chart_Crop, true, FilterDimension::kCrop, &state.tallyCrop},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(RowOf(c.chart).name) + (c.real ? " real" : " 35 mm"));
    const ChartPoint point{.label = "x", .value = 1, .colour = 0, .x = 0, .row = 1};
    const ChartChoice choice = ChoiceOfPoint(state, c.chart, point, ChartCommand::kAllBut, c.real);
    EXPECT_EQ(choice.dimension, c.dimension);
    EXPECT_EQ(choice.rows.data(), c.rows->data());
    EXPECT_EQ(choice.rows.size(), c.rows->size());
    EXPECT_EQ(choice.row, std::optional<size_t>(1));
    EXPECT_EQ(choice.command, ChartCommand::kAllBut);
    EXPECT_EQ(choice.filtered_count, 100);
    EXPECT_EQ(choice.rb_Real, c.real);
  }
}

}  // namespace
}  // namespace lumetra
