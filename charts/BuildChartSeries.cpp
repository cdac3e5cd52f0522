#include "charts/BuildChartSeries.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <vector>

#include "charts/ChartTable.h"
#include "numbers/FixedPoint.h"
#include "numbers/NumberText.h"
#include "survey/CaptureTime.h"

namespace lumetra {

const std::array<ChartColour, 19> SlicePalette = {
    0xFF0000, 0x00FF00, 0x2376EE, 0xFFFF00, 0xD010ED, 0xFF00FF, 0x50C7E1, 0x23EE61, 0xF92981, 0xF7A913,
    0x5A87F9, 0x7CE516, 0xFF0080, 0x800080, 0xF59519, 0x9D4DF7, 0x40D044, 0xFB7575, 0xE3DF7B,
};

ChartColour PaletteColour(int n) {
  const int size = static_cast<int>(SlicePalette.size());
  const int entry = ((n - 1) % size + size) % size;  // 0 and every multiple of 19 give the last entry
  return SlicePalette[static_cast<size_t>(entry)];
}

namespace {

using Rows = std::vector<myRecord>;

// What a series rule reads besides the chart's tally.
struct SeriesInput {
  const ChartSettings& settings;
  int64_t filtered;
};

// When no row of a grouped pie exceeds 1 %, this many of the largest rows keep slices of their own.
constexpr size_t kSlicesWithoutLargeRow = 10;

std::string NotDeterminedShort(Language language) { return language == kRussian ? "н/д" : "n/a"; }
std::string LabelOthers(Language language) {
  return language == kRussian ? "Прочие (каждый < 1%)" : "Other (each < 1%)";
}

int64_t LargestCount(const Rows& rows) {
  int64_t largest = 0;
  for (const myRecord& row : rows) largest = std::max<int64_t>(largest, row.count);
  return largest;
}

// The label of a bar: the first row, which is where the undetermined row stands, shows the short form
// when it is `undetermined` (kNone: never).
std::string DisplayLabel(const Rows& rows, size_t index, LabelId undetermined, Language language) {
  if (index == 0 && undetermined != LabelId::kNone && rows[0].label == undetermined)
    return NotDeterminedShort(language);
  return rows[index].text;
}

// The pie's row number (from 1) as a colour.
int RowNumber(size_t index) { return static_cast<int>(index) + 1; }

// Where a row stands on a linear axis and what its bar is called.
struct LinearBar {
  double x;
  std::string label;
};

// The bars and the alternate pie of a bar chart over all `rows`. On a text axis every row gets a bar in
// its slot, the first row shortened when it is `short_row`; on a linear one `place` says where a row
// stands, or leaves it out. Every row gets its slice.
template <typename Place>
void FillBarsAndPie(Chart& chart, const Rows& rows, const ChartSettings& settings, ChartColour colour,
                    LabelId short_row, Place place) {
  chart.bar.Clear();
  chart.pie.Clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    const myRecord& row = rows[i];
    if (settings.rb_Text) {
      chart.bar.Add(row.count, DisplayLabel(rows, i, short_row, settings.language), colour, i);
    } else if (std::optional<LinearBar> bar = place(row)) {
      chart.bar.AddXY(bar->x, row.count, std::move(bar->label), colour, i);
    }
    chart.pie.Add(row.count, row.text, PaletteColour(RowNumber(i)), i);
  }
}

std::optional<LinearBar> AtInteger(const myRecord& row) {
  return LinearBar{static_cast<double>(ReadInteger64(row.text).value_or(0)), row.text};
}

void FillFocal(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillBarsAndPie(chart, rows, input.settings, 0x00FF00, LabelId::NotDeterminedN, [](const myRecord& row) {
    // The undetermined row has no place on a linear axis.
    return row.label == LabelId::NotDeterminedN ? std::nullopt : AtInteger(row);
  });
}

void FillShutter(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillBarsAndPie(chart, rows, input.settings, 0xFF0000, LabelId::NotDeterminedF, [](const myRecord& row) {
    // The undetermined row's time is 0, so it stands at the origin.
    return std::optional<LinearBar>(LinearBar{static_cast<double>(row.value) / kFixedPointUnit, row.text});
  });
}

void FillFnumber(Chart& chart, const Rows& rows, const SeriesInput& input) {
  const Language language = input.settings.language;
  FillBarsAndPie(chart, rows, input.settings, 0x0000FF, LabelId::NotDeterminedF,
                 [language](const myRecord& row) -> std::optional<LinearBar> {
                   // At the origin wherever it stands: a text kept as the camera wrote it may sort before it.
                   if (row.label == LabelId::NotDeterminedF) return LinearBar{0, NotDeterminedShort(language)};
                   // A text that is not a number has no place on a linear axis; its photos still count in the pie.
                   if (const std::optional<double> number = ReadDecimal(row.text)) return LinearBar{*number, row.text};
                   return std::nullopt;
                 });
}

void FillIso(Chart& chart, const Rows& rows, const SeriesInput& input) {
  // The ISO bars keep the full undetermined label on a text axis.
  FillBarsAndPie(chart, rows, input.settings, 0x00FFFF, LabelId::kNone, [](const myRecord& row) {
    return row.label == LabelId::NotDeterminedN ? std::optional<LinearBar>(LinearBar{0, "0"}) : AtInteger(row);
  });
}

// Program and metering: a text axis whatever the setting, and only the rows that occur; a row keeps its
// colour whichever other rows are present.
void FillFixedBars(Chart& chart, const Rows& rows, ChartColour bar_colour) {
  chart.axis = AxisKind::kText;
  chart.bar.Clear();
  chart.pie.Clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].count <= 0) continue;
    chart.bar.Add(rows[i].count, rows[i].text, bar_colour, i);
    chart.pie.Add(rows[i].count, rows[i].text, PaletteColour(RowNumber(i)), i);
  }
}

void FillProgram(Chart& chart, const Rows& rows, const SeriesInput&) { FillFixedBars(chart, rows, 0xFFFF00); }
void FillMeter(Chart& chart, const Rows& rows, const SeriesInput&) { FillFixedBars(chart, rows, 0xFF0080); }

// Flash, orientation, focus and drive: the rows that occur, each in the colour `colour_of` gives it.
// Orientation, focus and drive keep their points when no row occurs.
template <typename ColourOf>
void FillFixedPie(ChartSeries& series, const Rows& rows, bool keep_zero_rows, ColourOf colour_of) {
  const bool any = std::any_of(rows.begin(), rows.end(), [](const myRecord& row) { return row.count > 0; });
  if (!any && !keep_zero_rows) return;
  series.Clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].count > 0 || keep_zero_rows) series.Add(rows[i].count, rows[i].text, colour_of(i, rows[i]), i);
  }
}

// Makes, crop factors, models and lenses: rows of more than 1 % of the filtered photos get slices of
// their own, the others share one black slice.
template <typename ColourOf>
void FillGroupedPie(ChartSeries& series, const Rows& rows, int64_t filtered, Language language, ColourOf colour_of) {
  const auto is_large = [filtered](const myRecord& row) { return 100 * static_cast<int64_t>(row.count) > filtered; };
  std::vector<bool> own_slice(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) own_slice[i] = is_large(rows[i]);
  if (std::none_of(own_slice.begin(), own_slice.end(), [](bool own) { return own; })) {
    // Every row is small (many cameras of a few photos each): the largest rows stand for the survey,
    // rather than the slices of an earlier one.
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&rows](size_t a, size_t b) { return rows[a].count > rows[b].count; });
    for (size_t k = 0; k < order.size() && k < kSlicesWithoutLargeRow; ++k) {
      if (rows[order[k]].count > 0) own_slice[order[k]] = true;
    }
  }
  series.Clear();
  int64_t others = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (own_slice[i]) {
      series.Add(rows[i].count, rows[i].text, colour_of(RowNumber(i)), i);
    } else {
      others += rows[i].count;
    }
  }
  if (others > 0) series.Add(others, LabelOthers(language), 0x000000);
}

void FillFlash(Chart& chart, const Rows& rows, const SeriesInput&) {
  FillFixedPie(chart.pie, rows, true, [](size_t i, const myRecord&) { return PaletteColour(RowNumber(i)); });
}

void FillOrientation(Chart& chart, const Rows& rows, const SeriesInput&) {
  FillFixedPie(chart.pie, rows, false, [](size_t, const myRecord& row) -> ChartColour {
    if (row.label == LabelId::LabelHorizontal) return 0x00FFFF;
    if (row.label == LabelId::LabelVertical) return 0xFFFF00;
    return 0xFF0000;
  });
}

void FillFocus(Chart& chart, const Rows& rows, const SeriesInput&) {
  static constexpr ChartColour kFocusColours[] = {0x23EE61, 0xFF00FF, 0x2376EE, 0xFFFF00, 0xF92981};
  FillFixedPie(chart.pie, rows, false, [](size_t i, const myRecord&) {
    return kFocusColours[std::min<size_t>(i, std::size(kFocusColours) - 1)];
  });
}

void FillDrive(Chart& chart, const Rows& rows, const SeriesInput&) {
  static constexpr ChartColour kDriveColours[] = {0x2376EE, 0xFFFF00, 0x23EE61};
  FillFixedPie(chart.pie, rows, false, [](size_t i, const myRecord&) {
    return kDriveColours[std::min<size_t>(i, std::size(kDriveColours) - 1)];
  });
}

// Where in the palette the grouped pies start, so that side by side they do not begin alike: the crop
// factors three colours on, the models five, the makes at the first; the lenses count down from the last.
constexpr int kCropPaletteOffset = 3;
constexpr int kModelPaletteOffset = 5;
constexpr int kLensPaletteTop = 19;

void FillMake(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillGroupedPie(chart.pie, rows, input.filtered, input.settings.language, [](int i) { return PaletteColour(i); });
}

void FillCrop(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillGroupedPie(chart.pie, rows, input.filtered, input.settings.language,
                 [](int i) { return PaletteColour(i + kCropPaletteOffset); });
}

void FillModel(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillGroupedPie(chart.pie, rows, input.filtered, input.settings.language,
                 [](int i) { return PaletteColour(i + kModelPaletteOffset); });
}

void FillLens(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillGroupedPie(chart.pie, rows, input.filtered, input.settings.language,
                 [](int i) { return PaletteColour(std::abs(kLensPaletteTop - i)); });
}

// The time charts' undetermined row stands last; its bar, "n/a" like the others', shows only when a photo
// has no capture time, and has no place on a linear axis.
bool UndeterminedLast(const Rows& rows, size_t index) {
  return index + 1 == rows.size() && rows[index].label != LabelId::kNone;
}

void AddUndeterminedBar(Chart& chart, const myRecord& row, const ChartSettings& settings, ChartColour colour) {
  if (row.count > 0 && chart.axis == AxisKind::kText)
    chart.bar.Add(row.count, NotDeterminedShort(settings.language), colour);
}

// Weekdays and hours: every fixed row gets its bar, at its slot on a text axis or at its value (the hour)
// on a linear one; the pie shows the rows that occur.
void FillTimeOfWeekOrDay(Chart& chart, const Rows& rows, const ChartSettings& settings, ChartColour colour) {
  chart.bar.Clear();
  chart.pie.Clear();
  for (size_t i = 0; i < rows.size(); ++i) {
    const myRecord& row = rows[i];
    if (row.count > 0) chart.pie.Add(row.count, row.text, PaletteColour(RowNumber(i)));
    if (UndeterminedLast(rows, i)) {
      AddUndeterminedBar(chart, row, settings, colour);
    } else if (chart.axis == AxisKind::kText) {
      chart.bar.Add(row.count, row.text, colour);
    } else {
      chart.bar.AddXY(static_cast<double>(row.value), row.count, row.text, colour);
    }
  }
}

// The months that have photos, in time order; a text axis shows those, a linear one every month from the
// first to the last, the months without photos at zero.
void FillDate(Chart& chart, const Rows& rows, const SeriesInput& input) {
  constexpr ChartColour kColour = 0x2376EE;
  chart.bar.Clear();
  chart.pie.Clear();
  std::optional<int64_t> previous;
  for (size_t i = 0; i < rows.size(); ++i) {
    const myRecord& row = rows[i];
    if (row.count > 0) chart.pie.Add(row.count, row.text, PaletteColour(RowNumber(i)));
    if (UndeterminedLast(rows, i)) {
      AddUndeterminedBar(chart, row, input.settings, kColour);
    } else if (chart.axis == AxisKind::kText) {
      chart.bar.Add(row.count, row.text, kColour);
    } else {
      for (int64_t month = previous ? *previous + 1 : row.value; month < row.value; ++month) {
        chart.bar.AddXY(static_cast<double>(month), 0, MonthText(month), kColour);
      }
      chart.bar.AddXY(static_cast<double>(row.value), row.count, row.text, kColour);
      previous = row.value;
    }
  }
}

// The weekdays keep their names on a text axis whatever the setting: they are no numbers.
void FillWeekday(Chart& chart, const Rows& rows, const SeriesInput& input) {
  chart.axis = AxisKind::kText;
  FillTimeOfWeekOrDay(chart, rows, input.settings, 0xF7A913);
}

void FillHour(Chart& chart, const Rows& rows, const SeriesInput& input) {
  FillTimeOfWeekOrDay(chart, rows, input.settings, 0x9D4DF7);
}

// How each chart turns its tally into points, in `ChartId` order.
struct SeriesRule {
  ChartId id;
  void (*fill)(Chart& chart, const Rows& rows, const SeriesInput& input);
};
constexpr SeriesRule kSeriesRules[] = {
    {ChartId::Chart_ShutterSpeed, FillShutter},
    {ChartId::Chart_Fnumber, FillFnumber},
    {ChartId::Chart_FocalLength, FillFocal},
    {ChartId::Chart_ISO, FillIso},
    {ChartId::Chart_Program, FillProgram},
    {ChartId::Chart_Meter, FillMeter},
    {ChartId::Chart_Flash, FillFlash},
    {ChartId::Chart_Orientation, FillOrientation},
    {ChartId::Chart_Focus, FillFocus},
    {ChartId::Chart_Drive, FillDrive},
    {ChartId::Chart_Make, FillMake},
    {ChartId::Chart_Crop, FillCrop},
    {ChartId::Chart_Model, FillModel},
    {ChartId::Chart_Lens, FillLens},
    {ChartId::Chart_Date, FillDate},
    {ChartId::Chart_Weekday, FillWeekday},
    {ChartId::Chart_Hour, FillHour},
};
static_assert(std::size(kSeriesRules) == kChartCount, "every chart has its series rule");
constexpr bool RulesInChartOrder() {
  for (size_t i = 0; i < std::size(kSeriesRules); ++i) {
    if (kSeriesRules[i].id != static_cast<ChartId>(i)) return false;
  }
  return true;
}
static_assert(RulesInChartOrder(), "kSeriesRules lists the charts in ChartId order");

// Whether a build in `mode` refills the chart of `row`: every chart after a run, the charts of the focal
// mode and of the crop factors when those change.
bool Refilled(const ChartRow& row, RebuildMode mode) {
  return mode == RebuildMode::kAll || row.tally != row.tally_35mm ||
         (mode == RebuildMode::kFocalAndCrop && row.follows_crop_factors);
}

void EmptyChart(Chart& chart) {
  chart.bar.Clear();
  chart.pie.Clear();
  chart.axis_maximum = 0;
}

}  // namespace

void BuildChartSeries(ChartSet& charts, const SurveyState& state, RebuildMode mode, const ChartSettings& settings) {
  const SeriesInput input{settings, state.filteredCount};
  for (const ChartRow& row : kChartRows) {
    if (!Refilled(row, mode)) continue;
    Chart& chart = charts[row.id];
    // Nothing passed the filter: no share can be computed and there is nothing to draw.
    if (state.filteredCount <= 0) {
      EmptyChart(chart);
      continue;
    }
    const Rows& rows = ChartTally(state, row.id, settings.rb_Real);
    if (row.form == ChartForm::kBars) {
      chart.axis_maximum = LargestCount(rows);
      chart.axis = settings.rb_Text ? AxisKind::kText : AxisKind::kLinear;
      chart.pie.marks = true;
    }
    kSeriesRules[static_cast<size_t>(row.id)].fill(chart, rows, input);
  }
}

void ResetChartSeries(ChartSet& charts) {
  for (const ChartRow& row : kChartRows) {
    Chart& chart = charts[row.id];
    chart.bar.Clear();
    chart.pie.Clear();
    chart.pie.Add(0, {}, row.empty_colour);
  }
}

}  // namespace lumetra
