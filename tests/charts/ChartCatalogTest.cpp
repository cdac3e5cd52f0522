#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "charts/ChartCatalog.h"
#include "charts/ChartTable.h"
#include "charts/PageLayout.h"

namespace lumetra {
namespace {

// A chart as the next one would be added: the row after the last, alone on an overview page of its own, on
// the two tabs after the last.
ChartRow NewChart() {
  return {.id = static_cast<ChartId>(kChartCount),
          .name = "Chart_Season",
          .title = {"Сезон", "Season"},
          .tab_caption = {"Сезон", "Season"},
          .tally = TallyId::kIso,
          .tally_35mm = TallyId::kIso,
          .follows_crop_factors = false,
          .form = ChartForm::kBars,
          .may_switch = true,
          .bar_series = "SerSeason",
          .pie_series = "SerSeason2",
          .two_line_labels = false,
          .narrow_bars = false,
          .empty_colour = 0x00FFFF,
          .file_name = "Season",
          .export_size = {2000, 1000},
          .page = static_cast<OverviewPage>(kOverviewCount),
          .place = 0,
          .tab = kTabCount + 1};
}

OverviewRow NewPage() {
  return {
      .page = static_cast<OverviewPage>(kOverviewCount), .tab = kTabCount, .tab_caption = {"ГОД", "YEAR"}, .places = 1};
}

struct Tables {
  std::vector<ChartRow> rows{std::begin(kChartRows), std::end(kChartRows)};
  std::vector<OverviewRow> pages{std::begin(kOverviewRows), std::end(kOverviewRows)};
  ChartRow& Row(ChartId id) { return rows[static_cast<size_t>(id)]; }
};

// Every piece a new chart needs, left out or clashing with another chart, is found before the program
// runs: the same check guards the real table at compile time.
TEST(ChartTableFault, FindsWhatANewChartLacks) {
  const struct {
    const char* what;
    std::function<void(ChartRow&)> change;
    std::string_view fault;
  } cases[] = {
      {"a whole row", [](ChartRow&) {}, ""},
      {"no page", [](ChartRow& row) { row.page = static_cast<OverviewPage>(kOverviewCount + 1); },
       "a chart on an overview page that is not there"},
      {"no English title", [](ChartRow& row) { row.title.english = {}; }, "a row without its texts in both languages"},
      {"no tab caption", [](ChartRow& row) { row.tab_caption = {}; }, "a row without its texts in both languages"},
      {"no file name", [](ChartRow& row) { row.file_name = {}; }, "a row without its names"},
      {"no picture size", [](ChartRow& row) { row.export_size = {}; }, "a row without its picture size"},
      {"no tab", [](ChartRow& row) { row.tab = -1; }, "a tab without its page"},
      {"another chart's tab", [](ChartRow& row) { row.tab = RowOf(ChartId::Chart_Lens).tab; },
       "two pages take one tab"},
      {"an overview's tab", [](ChartRow& row) { row.tab = kAdditionalTab; }, "two pages take one tab"},
      {"no place", [](ChartRow& row) { row.place = -1; }, "a place beyond the page's layout"},
      {"beyond the main page's ten places",
       [](ChartRow& row) {
         row.page = OverviewPage::kMain;
         row.place = 10;
       },
       "a place beyond the page's layout"},
      {"out of id order", [](ChartRow& row) { row.id = ChartId::Chart_Lens; }, "a row out of id order"},
      {"another chart's file name", [](ChartRow& row) { row.file_name = "ISO"; }, "two rows share a name"},
      {"another chart's series", [](ChartRow& row) { row.bar_series = "SerISO"; }, "two rows share a series"},
      {"bars without a bar series", [](ChartRow& row) { row.bar_series = {}; },
       "bars without a bar series or a pie with one"},
      {"a pie with a bar series", [](ChartRow& row) { row.form = ChartForm::kPie; },
       "bars without a bar series or a pie with one"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tables tables;
    tables.rows.push_back(NewChart());
    c.change(tables.rows.back());
    tables.pages.push_back(NewPage());
    EXPECT_EQ(ChartTableFault(tables.rows, tables.pages), c.fault);
  }
}

// A change to the existing rows that breaks a rule of the table.
TEST(ChartTableFault, FindsABrokenRule) {
  using enum ChartId;
  const struct {
    const char* what;
    std::function<void(Tables&)> change;
    std::string_view fault;
  } cases[] = {
      {"the table as it is", [](Tables&) {}, ""},
      {"a pie alone that may switch", [](Tables& t) { t.Row(Chart_Flash).may_switch = true; },
       "a pie alone that may switch"},
      {"two-line labels on a pie", [](Tables& t) { t.Row(Chart_Make).two_line_labels = true; }, "bar labels on a pie"},
      {"two charts on one place", [](Tables& t) { t.Row(Chart_Lens).place = RowOf(Chart_Model).place; },
       "two charts take one place"},
      {"the 35 mm focal tally shown by no chart",
       [](Tables& t) { t.Row(Chart_FocalLength).tally_35mm = TallyId::kFocal; }, "a tally no chart shows"},
      {"an overview page without its caption", [](Tables& t) { t.pages[1].tab_caption.russian = {}; },
       "an overview page without its caption"},
      {"a new page with a place left empty",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.pages.push_back(NewPage());
         t.pages.back().places = 3;
       },
       "an empty place on an overview page"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tables tables;
    c.change(tables);
    EXPECT_EQ(ChartTableFault(tables.rows, tables.pages), c.fault);
  }
}

// A click on a chart on its overview opens its own tab, and a click there returns to the overview; every
// tab that is no overview shows the chart whose row names it.
TEST(ChartTabs, OwnTabAndOverviewLeadToEachOther) {
  const struct {
    ChartId chart;
    int own_tab;
    int overview_tab;
  } cases[] = {
      {ChartId::Chart_ShutterSpeed, 1, kMainTab}, {ChartId::Chart_Flash, 7, kMainTab},
      {ChartId::Chart_Orientation, 9, kMainTab},  {ChartId::Chart_Drive, 11, kMainTab},
      {ChartId::Chart_Make, 12, kAdditionalTab},  {ChartId::Chart_Lens, 15, kAdditionalTab},
      {ChartId::Chart_Date, 17, kTimeTab},        {ChartId::Chart_Hour, 19, kTimeTab},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(RowOf(c.chart).name);
    EXPECT_EQ(OwnTab(c.chart), c.own_tab);
    EXPECT_EQ(OverviewTab(c.chart), c.overview_tab);
    EXPECT_EQ(ChartOfTab(c.own_tab), c.chart);
    EXPECT_EQ(TabAfterClick(c.chart, c.overview_tab), c.own_tab);
    EXPECT_EQ(TabAfterClick(c.chart, c.own_tab), c.overview_tab);
  }
  EXPECT_EQ(kMainTab, 0);
  EXPECT_EQ(kAdditionalTab, 8);
  // The time row starts the third row of tabs, at its left.
  EXPECT_EQ(kTimeTab, 16);
  for (int tab = 0; tab < kTabCount; ++tab) {
    if (!IsOverviewTab(tab)) {
      EXPECT_EQ(OwnTab(ChartOfTab(tab)), tab) << tab;
    }
  }
  EXPECT_EQ(TabCaptions()[kAdditionalTab].english, "ADDITIONAL");
  EXPECT_EQ(TabCaptions()[10].russian, "Фокусировка");
  EXPECT_EQ(TabCaptions()[kTimeTab].english, "TIME");
  EXPECT_EQ(TabCaptions()[18].russian, "День недели");
}

// The places the pages' layouts compute are the places the rows name: one per place.
TEST(OverviewRects, OnePlacePerSlotOfThePage) {
  for (const OverviewRow& page : kOverviewRows) {
    SCOPED_TRACE(static_cast<int>(page.page));
    EXPECT_EQ(OverviewRects(page.page, 725, 610, 10000).size(), static_cast<size_t>(page.places));
  }
  EXPECT_EQ(OverviewRects(OverviewPage::kMain, 725, 610, 10000)[9], MainPageRects(725, 610, 10000)[9]);
  EXPECT_EQ(OverviewRects(OverviewPage::kAdditional, 725, 610, 0)[3], AdditionalPageRects(725, 610)[3]);
  EXPECT_EQ(OverviewRects(OverviewPage::kTime, 725, 610, 0)[2], TimePageRects(725, 610)[2]);
}

// The time page: the months across the upper half, weekdays and hours side by side below, none
// overlapping another or reaching past the area.
TEST(OverviewRects, TimePageSplitsTheAreaWithoutOverlap) {
  for (const auto& [width, height] : {std::pair{725, 585}, std::pair{1006, 860}, std::pair{300, 200}}) {
    SCOPED_TRACE(width);
    const auto rects = TimePageRects(width, height);
    EXPECT_EQ(rects[0].top, 0);
    EXPECT_GE(rects[0].width, width - 2);
    EXPECT_EQ(rects[1].top, rects[2].top);
    EXPECT_GE(rects[1].top, rects[0].top + rects[0].height);
    EXPECT_LE(rects[1].left + rects[1].width, rects[2].left);
    EXPECT_GT(rects[2].width, rects[1].width);
    for (const PageRect& rect : rects) {
      EXPECT_LE(rect.left + rect.width, width);
      EXPECT_LE(rect.top + rect.height, height);
    }
  }
}

// Each chart lists the tally its row names, and every tally is listed by the charts in one focal mode or
// the other.
TEST(ChartTally, EveryTallyBelongsToAChart) {
  SurveyState state(kEnglish);
  std::vector<const std::vector<myRecord>*> listed;
  for (const ChartRow& row : kChartRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(&ChartTally(state, row.id, true), &state.Tally(row.tally));
    listed.push_back(&ChartTally(state, row.id, true));
    listed.push_back(&ChartTally(state, row.id, false));
  }
  for (const auto& [name, rows] : state.AllTallies()) {
    EXPECT_NE(std::find(listed.begin(), listed.end(), rows), listed.end()) << name;
  }
}

}  // namespace
}  // namespace lumetra
