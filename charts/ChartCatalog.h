#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "filter/ChartFilterChange.h"
#include "survey/Labels.h"
#include "survey/Tallies.h"

namespace lumetra {

/// A colour as 0xRRGGBB.
using ChartColour = uint32_t;

/// The charts, in the order of their rows in `kChartRows`.
enum class ChartId : uint8_t {
  Chart_ShutterSpeed,
  Chart_Fnumber,
  Chart_FocalLength,
  Chart_ISO,
  Chart_Program,
  Chart_Meter,
  Chart_Flash,
  Chart_Orientation,
  Chart_Focus,
  Chart_Drive,
  Chart_Make,
  Chart_Crop,
  Chart_Model,
  Chart_Lens,
  Chart_Date,
  Chart_Weekday,
  Chart_Hour,
};

/// The pages that show several charts together, each on a tab of its own.
enum class OverviewPage : uint8_t { kMain, kAdditional, kTime };

/// How a chart first draws its tally: bars over an axis with an alternate pie, or a pie alone.
enum class ChartForm : uint8_t { kBars, kPie };

/// A size in pixels.
struct PictureSize {
  int width = 0;
  int height = 0;
};

/// Everything that sets one chart apart from the others. The series rule, which turns the tally into
/// points, is kept beside `BuildChartSeries`, one per row.
struct ChartRow {
  ChartId id{};
  /// The control's name ("Chart_ShutterSpeed").
  std::string_view name;
  TextPair title;
  /// The caption of the chart's own tab.
  TextPair tab_caption;
  /// The tally the chart shows; `tally_35mm` while focal lengths are shown as 35 mm equivalents (the
  /// same tally for a chart that does not follow the focal mode).
  TallyId tally{};
  TallyId tally_35mm{};
  /// The tally changes when a crop factor does (the crop-factor editor refills the chart).
  bool follows_crop_factors = false;
  ChartForm form = ChartForm::kPie;
  /// May switch between its bars and its pie where it is shown alone.
  bool may_switch = false;
  /// The names of the bar series (empty for a pie alone) and of the pie series.
  std::string_view bar_series;
  std::string_view pie_series;
  /// The bar labels are written on two lines ("Aperture\rpriority").
  bool two_line_labels = false;
  /// The bars keep Qt Charts' own width, narrower than the others'.
  bool narrow_bars = false;
  /// The colour of the disc an empty pie shows before a run.
  ChartColour empty_colour = 0;
  /// The name of its text table and picture without the extension, the same in both languages.
  std::string_view file_name;
  /// The size of its exported picture.
  PictureSize export_size;
  /// The overview page that holds it and its place there (from 0).
  OverviewPage page{};
  int place = -1;
  /// What its bars or slices stand for in the filter ("Only", "All but"); the focal length chart names the
  /// real focal length and stands for the 35 mm one while that is shown.
  FilterDimension filter_dimension{};
  /// The tab that shows it alone.
  int tab = -1;
};

/// An overview page: its tab, its caption and how many places its layout has.
struct OverviewRow {
  OverviewPage page{};
  int tab = -1;
  TextPair tab_caption;
  int places = 0;
};

/// The charts, in `ChartId` order, every field written out (the compiler warns of one a row leaves out).
/// Adding a chart: its tally, a row here, its series rule beside `BuildChartSeries` and, for a new overview
/// page, its row below and its layout beside `OverviewRects`.
inline constexpr ChartRow kChartRows[] = {
    {.id = ChartId::Chart_ShutterSpeed,
     .name = "Chart_ShutterSpeed",
     .title = {"Выдержка", "Exposure"},
     .tab_caption = {"Выдержка", "Exposure"},
     .tally = TallyId::kShutter,
     .tally_35mm = TallyId::kShutter,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerSS",
     .pie_series = "SerSS2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0xFF0000,
     .file_name = "Exposure",
     .export_size = {2000, 1000},
     .page = OverviewPage::kMain,
     .place = 0,
     .filter_dimension = FilterDimension::kExposure,
     .tab = 1},
    {.id = ChartId::Chart_Fnumber,
     .name = "Chart_Fnumber",
     .title = {"Диафрагма", "F Number"},
     .tab_caption = {"Диафрагма", "F Number"},
     .tally = TallyId::kFNumber,
     .tally_35mm = TallyId::kFNumber,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerFN1",
     .pie_series = "SerFN2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x5A87F9,
     .file_name = "F Number",
     .export_size = {2000, 1000},
     .page = OverviewPage::kMain,
     .place = 1,
     .filter_dimension = FilterDimension::kFNumber,
     .tab = 2},
    {.id = ChartId::Chart_FocalLength,
     .name = "Chart_FocalLength",
     .title = {"Фокусное расстояние", "Focal length"},
     .tab_caption = {"Фокусное", "Focal Length"},
     .tally = TallyId::kFocal,
     .tally_35mm = TallyId::kFocal35,
     .follows_crop_factors = true,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerFL",
     .pie_series = "SerFL2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x00FF00,
     .file_name = "Focal length",
     .export_size = {2000, 1000},
     .page = OverviewPage::kMain,
     .place = 2,
     .filter_dimension = FilterDimension::kFocalReal,
     .tab = 3},
    {.id = ChartId::Chart_ISO,
     .name = "Chart_ISO",
     .title = {"ИСО", "ISO"},
     .tab_caption = {"ИСО", "ISO"},
     .tally = TallyId::kIso,
     .tally_35mm = TallyId::kIso,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerISO",
     .pie_series = "SerISO2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x00FFFF,
     .file_name = "ISO",
     .export_size = {2000, 1000},
     .page = OverviewPage::kMain,
     .place = 3,
     .filter_dimension = FilterDimension::kIso,
     .tab = 4},
    {.id = ChartId::Chart_Program,
     .name = "Chart_Program",
     .title = {"Режим съемки", "Program"},
     .tab_caption = {"Режим", "Program"},
     .tally = TallyId::kProgram,
     .tally_35mm = TallyId::kProgram,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerProgram",
     .pie_series = "SerProgram2",
     .two_line_labels = true,
     .narrow_bars = false,
     .empty_colour = 0xFFFF00,
     .file_name = "Program",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 4,
     .filter_dimension = FilterDimension::kProgram,
     .tab = 5},
    {.id = ChartId::Chart_Meter,
     .name = "Chart_Meter",
     .title = {"Замер экспозиции", "Metering Mode"},
     .tab_caption = {"Замер", "Metering"},
     .tally = TallyId::kMetering,
     .tally_35mm = TallyId::kMetering,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerMeter",
     .pie_series = "SerMeter2",
     .two_line_labels = true,
     .narrow_bars = true,
     .empty_colour = 0xFF00FF,
     .file_name = "Metering Mode",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 5,
     .filter_dimension = FilterDimension::kMetering,
     .tab = 6},
    {.id = ChartId::Chart_Flash,
     .name = "Chart_Flash",
     .title = {"Вспышка", "Flash"},
     .tab_caption = {"Вспышка", "Flash"},
     .tally = TallyId::kFlash,
     .tally_35mm = TallyId::kFlash,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerFlash",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x00FF00,
     .file_name = "Flash",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 6,
     .filter_dimension = FilterDimension::kFlash,
     .tab = 7},
    {.id = ChartId::Chart_Orientation,
     .name = "Chart_Orientation",
     .title = {"Ориентация", "Orientation"},
     .tab_caption = {"Ориентация", "Orientation"},
     .tally = TallyId::kOrientation,
     .tally_35mm = TallyId::kOrientation,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerOrientation",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x2376EE,
     .file_name = "Orientation",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 7,
     .filter_dimension = FilterDimension::kOrientation,
     .tab = 9},
    {.id = ChartId::Chart_Focus,
     .name = "Chart_Focus",
     .title = {"Режим фокусировки", "Focus Mode"},
     .tab_caption = {"Фокусировка", "Focus Mode"},
     .tally = TallyId::kFocus,
     .tally_35mm = TallyId::kFocus,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerFocus",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0xF7A913,
     .file_name = "Focus Mode",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 8,
     .filter_dimension = FilterDimension::kFocus,
     .tab = 10},
    {.id = ChartId::Chart_Drive,
     .name = "Chart_Drive",
     .title = {"Drive mode", "Drive mode"},
     .tab_caption = {"Drive mode", "Drive mode"},
     .tally = TallyId::kDrive,
     .tally_35mm = TallyId::kDrive,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerDrive",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x9D4DF7,
     .file_name = "Drive mode",
     .export_size = {1000, 1000},
     .page = OverviewPage::kMain,
     .place = 9,
     .filter_dimension = FilterDimension::kDrive,
     .tab = 11},
    {.id = ChartId::Chart_Make,
     .name = "Chart_Make",
     .title = {"Фирма", "Make"},
     .tab_caption = {"Фирма", "Make"},
     .tally = TallyId::kMake,
     .tally_35mm = TallyId::kMake,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerMake",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0xF59519,
     .file_name = "Make",
     .export_size = {1000, 1000},
     .page = OverviewPage::kAdditional,
     .place = 0,
     .filter_dimension = FilterDimension::kMake,
     .tab = 12},
    {.id = ChartId::Chart_Crop,
     .name = "Chart_Crop",
     .title = {"Кроп-фактор", "Crop-Factor"},
     .tab_caption = {"Кроп-фактор", "Crop-Factor"},
     .tally = TallyId::kCrop,
     .tally_35mm = TallyId::kCrop,
     .follows_crop_factors = true,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerCrop",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x23EE61,
     .file_name = "Crop-Factor",
     .export_size = {1000, 1000},
     .page = OverviewPage::kAdditional,
     .place = 1,
     .filter_dimension = FilterDimension::kCrop,
     .tab = 13},
    {.id = ChartId::Chart_Model,
     .name = "Chart_Model",
     .title = {"Фотоаппарат", "Model"},
     .tab_caption = {"Фотоаппарат", "Model"},
     .tally = TallyId::kModel,
     .tally_35mm = TallyId::kModel,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerModel",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0xF92981,
     .file_name = "Model",
     .export_size = {1000, 1000},
     .page = OverviewPage::kAdditional,
     .place = 2,
     .filter_dimension = FilterDimension::kModel,
     .tab = 14},
    {.id = ChartId::Chart_Lens,
     .name = "Chart_Lens",
     .title = {"Объектив", "Lens"},
     .tab_caption = {"Объектив", "Lens"},
     .tally = TallyId::kLens,
     .tally_35mm = TallyId::kLens,
     .follows_crop_factors = false,
     .form = ChartForm::kPie,
     .may_switch = false,
     .bar_series = "",
     .pie_series = "SerLens",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x00FFFF,
     .file_name = "Lens",
     .export_size = {1000, 1000},
     .page = OverviewPage::kAdditional,
     .place = 3,
     .filter_dimension = FilterDimension::kLens,
     .tab = 15},
    {.id = ChartId::Chart_Date,
     .name = "Chart_Date",
     .title = {"Дата", "Date"},
     .tab_caption = {"Дата", "Date"},
     .tally = TallyId::kDate,
     .tally_35mm = TallyId::kDate,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerDate",
     .pie_series = "SerDate2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x2376EE,
     .file_name = "Date",
     .export_size = {2000, 1000},
     .page = OverviewPage::kTime,
     .place = 0,
     .filter_dimension = FilterDimension::kDate,
     .tab = 17},
    {.id = ChartId::Chart_Weekday,
     .name = "Chart_Weekday",
     .title = {"День недели", "Weekday"},
     .tab_caption = {"День недели", "Weekday"},
     .tally = TallyId::kWeekday,
     .tally_35mm = TallyId::kWeekday,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerWeekday",
     .pie_series = "SerWeekday2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0xF7A913,
     .file_name = "Weekday",
     .export_size = {1000, 1000},
     .page = OverviewPage::kTime,
     .place = 1,
     .filter_dimension = FilterDimension::kWeekday,
     .tab = 18},
    {.id = ChartId::Chart_Hour,
     .name = "Chart_Hour",
     .title = {"Час", "Hour"},
     .tab_caption = {"Час", "Hour"},
     .tally = TallyId::kHour,
     .tally_35mm = TallyId::kHour,
     .follows_crop_factors = false,
     .form = ChartForm::kBars,
     .may_switch = true,
     .bar_series = "SerHour",
     .pie_series = "SerHour2",
     .two_line_labels = false,
     .narrow_bars = false,
     .empty_colour = 0x9D4DF7,
     .file_name = "Hour",
     .export_size = {2000, 1000},
     .page = OverviewPage::kTime,
     .place = 2,
     .filter_dimension = FilterDimension::kHour,
     .tab = 19},
};

/// The overview pages, in `OverviewPage` order. Tab 8's caption is its short form; the window writes the
/// whole word while the left panel is hidden.
inline constexpr OverviewRow kOverviewRows[] = {
    {.page = OverviewPage::kMain, .tab = 0, .tab_caption = {"ОСНОВНЫЕ", "MAIN"}, .places = 10},
    {.page = OverviewPage::kAdditional, .tab = 8, .tab_caption = {"ДОПОЛНИТ.", "ADDITIONAL"}, .places = 4},
    {.page = OverviewPage::kTime, .tab = 16, .tab_caption = {"ВРЕМЯ", "TIME"}, .places = 3},
};

inline constexpr int kChartCount = static_cast<int>(std::size(kChartRows));
inline constexpr int kOverviewCount = static_cast<int>(std::size(kOverviewRows));
/// The tabs of the chart pages: one per overview page and one per chart.
inline constexpr int kTabCount = kOverviewCount + kChartCount;

/// What is wrong with a chart table and its overview pages, the first fault found ("two pages take one
/// tab"); empty when every chart has its row in id order, its texts, names, series, tally, size, an
/// overview place of its own and a tab of its own, and every tab and every tally has its chart.
[[nodiscard]] constexpr std::string_view ChartTableFault(std::span<const ChartRow> rows,
                                                         std::span<const OverviewRow> pages);

/// The row of `id`.
[[nodiscard]] constexpr const ChartRow& RowOf(ChartId id) { return kChartRows[static_cast<size_t>(id)]; }
/// The row of overview page `page`.
[[nodiscard]] constexpr const OverviewRow& RowOf(OverviewPage page) { return kOverviewRows[static_cast<size_t>(page)]; }

/// The charts with a bar series and an alternate pie over the same rows.
[[nodiscard]] constexpr bool IsBarChart(ChartId id) { return RowOf(id).form == ChartForm::kBars; }

/// The tab of overview page `page`.
[[nodiscard]] constexpr int OverviewTabOf(OverviewPage page) { return RowOf(page).tab; }
/// The tabs of the overview pages; every other tab shows one chart.
inline constexpr int kMainTab = OverviewTabOf(OverviewPage::kMain);
inline constexpr int kAdditionalTab = OverviewTabOf(OverviewPage::kAdditional);
inline constexpr int kTimeTab = OverviewTabOf(OverviewPage::kTime);

/// Whether `tab` shows an overview page rather than one chart.
[[nodiscard]] constexpr bool IsOverviewTab(int tab) {
  for (const OverviewRow& page : kOverviewRows) {
    if (page.tab == tab) return true;
  }
  return false;
}
/// The tab that shows `chart` alone.
[[nodiscard]] constexpr int OwnTab(ChartId chart) { return RowOf(chart).tab; }
/// The tab of the overview page that holds `chart`.
[[nodiscard]] constexpr int OverviewTab(ChartId chart) { return OverviewTabOf(RowOf(chart).page); }
/// The tab a left click on `chart` leads to from `current_tab`: from its overview to its own page,
/// from anywhere else back to its overview.
[[nodiscard]] constexpr int TabAfterClick(ChartId chart, int current_tab) {
  return current_tab == OverviewTab(chart) ? OwnTab(chart) : OverviewTab(chart);
}
/// The chart that `tab`, a tab other than the overviews', shows alone (the first chart for an overview's tab).
[[nodiscard]] constexpr ChartId ChartOfTab(int tab) {
  for (const ChartRow& row : kChartRows) {
    if (row.tab == tab) return row.id;
  }
  return ChartId{};
}

/// The caption of every tab, in tab order.
[[nodiscard]] constexpr std::array<TextPair, kTabCount> TabCaptions() {
  std::array<TextPair, kTabCount> captions{};
  for (const OverviewRow& page : kOverviewRows) captions[static_cast<size_t>(page.tab)] = page.tab_caption;
  for (const ChartRow& row : kChartRows) captions[static_cast<size_t>(row.tab)] = row.tab_caption;
  return captions;
}

// ---------------------------------------------------------------------------------------------------

namespace detail {

constexpr bool Blank(TextPair text) { return text.russian.empty() || text.english.empty(); }

// How many of `items` `holds`.
template <typename Items, typename Holds>
constexpr int CountOf(const Items& items, Holds holds) {
  int count = 0;
  for (const auto& item : items) count += holds(item) ? 1 : 0;
  return count;
}

constexpr std::string_view RowFault(const ChartRow& row, size_t index) {
  if (row.id != static_cast<ChartId>(index)) return "a row out of id order";
  if (row.name.empty() || row.pie_series.empty() || row.file_name.empty()) return "a row without its names";
  if (Blank(row.title) || Blank(row.tab_caption)) return "a row without its texts in both languages";
  if ((row.form == ChartForm::kBars) == row.bar_series.empty()) return "bars without a bar series or a pie with one";
  if (row.may_switch && row.form != ChartForm::kBars) return "a pie alone that may switch";
  if ((row.two_line_labels || row.narrow_bars) && row.form != ChartForm::kBars) return "bar labels on a pie";
  if (row.export_size.width <= 0 || row.export_size.height <= 0) return "a row without its picture size";
  return {};
}

constexpr std::string_view NamesFault(std::span<const ChartRow> rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t j = i + 1; j < rows.size(); ++j) {
      if (rows[i].name == rows[j].name || rows[i].file_name == rows[j].file_name) return "two rows share a name";
      if (rows[i].pie_series == rows[j].pie_series ||
          (!rows[i].bar_series.empty() && rows[i].bar_series == rows[j].bar_series)) {
        return "two rows share a series";
      }
    }
  }
  return {};
}

constexpr std::string_view TallyFault(std::span<const ChartRow> rows) {
  for (int tally = 0; tally < kTallyCount; ++tally) {
    const auto shows = [tally](const ChartRow& row) {
      return static_cast<int>(row.tally) == tally || static_cast<int>(row.tally_35mm) == tally;
    };
    if (CountOf(rows, shows) == 0) return "a tally no chart shows";
  }
  return {};
}

// Every tab from 0 on shows one overview page or one chart.
constexpr std::string_view TabFault(std::span<const ChartRow> rows, std::span<const OverviewRow> pages) {
  const int tabs = static_cast<int>(rows.size() + pages.size());
  for (int tab = 0; tab < tabs; ++tab) {
    const int users = CountOf(rows, [tab](const ChartRow& row) { return row.tab == tab; }) +
                      CountOf(pages, [tab](const OverviewRow& page) { return page.tab == tab; });
    if (users > 1) return "two pages take one tab";
    if (users == 0) return "a tab without its page";
  }
  return {};
}

// Every chart has a place of its own on an overview page, and every place of a page's layout a chart.
constexpr std::string_view PlaceFault(std::span<const ChartRow> rows, std::span<const OverviewRow> pages) {
  for (const ChartRow& row : rows) {
    const auto page = static_cast<size_t>(row.page);
    if (page >= pages.size()) return "a chart on an overview page that is not there";
    if (row.place < 0 || row.place >= pages[page].places) return "a place beyond the page's layout";
  }
  for (const OverviewRow& page : pages) {
    for (int place = 0; place < page.places; ++place) {
      const int users =
          CountOf(rows, [&page, place](const ChartRow& row) { return row.page == page.page && row.place == place; });
      if (users > 1) return "two charts take one place";
      if (users == 0) return "an empty place on an overview page";
    }
  }
  return {};
}

}  // namespace detail

constexpr std::string_view ChartTableFault(std::span<const ChartRow> rows, std::span<const OverviewRow> pages) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (std::string_view fault = detail::RowFault(rows[i], i); !fault.empty()) return fault;
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].page != static_cast<OverviewPage>(i)) return "an overview page out of order";
    if (detail::Blank(pages[i].tab_caption)) return "an overview page without its caption";
  }
  for (const std::string_view fault : {detail::NamesFault(rows), detail::TallyFault(rows),
                                       detail::PlaceFault(rows, pages), detail::TabFault(rows, pages)}) {
    if (!fault.empty()) return fault;
  }
  return {};
}

static_assert(ChartTableFault(kChartRows, kOverviewRows).empty(), "the chart table is not whole");

}  // namespace lumetra
