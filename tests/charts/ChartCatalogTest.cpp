#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "charts/ChartCatalog.h"
#include "charts/ChartTable.h"
#include "charts/PageLayout.h"

namespace lumetra {
namespace {

// A chart as the next one would be added: the fifteenth row, alone on a third overview page, on the two
// tabs after the sixteen.
ChartRow NewChart() {
  return {.id = static_cast<ChartId>(kChartCount),
          .name = "Chart_Hour",
          .title = {"Час", "Hour"},
          .tab_caption = {"Час", "Hour"},
          .tally = TallyId::kIso,
          .tally_35mm = TallyId::kIso,
          .follows_crop_factors = false,
          .form = ChartForm::kBars,
          .may_switch = true,
          .bar_series = "SerHour",
          .pie_series = "SerHour2",
          .two_line_labels = false,
          .narrow_bars = false,
          .empty_colour = 0x00FFFF,
          .file_name = "Hour",
          .export_size = {2000, 1000},
          .page = static_cast<OverviewPage>(kOverviewCount),
          .place = 0,
          .tab = kTabCount + 1};
}

OverviewRow NewPage() {
  return {.page = static_cast<OverviewPage>(kOverviewCount),
          .tab = kTabCount,
          .tab_caption = {"ВРЕМЯ", "TIME"},
          .places = 1};
}

struct Tables {
  std::vector<ChartRow> rows{std::begin(kChartRows), std::end(kChartRows)};
  std::vector<OverviewRow> pages{std::begin(kOverviewRows), std::end(kOverviewRows)};
  ChartRow& Row(ChartId id) { return rows[static_cast<size_t>(id)]; }
};

// Every piece a chart needs, left out or clashing with another chart, is found before the program runs:
// the same check guards the real table at compile time.
TEST(ChartTableFault, FindsWhatAChartLacks) {
  using enum ChartId;
  const struct {
    const char* what;
    std::function<void(Tables&)> change;
    std::string_view fault;
  } cases[] = {
      {"the table as it is", [](Tables&) {}, ""},
      {"a new chart with its row, tab and page",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.pages.push_back(NewPage());
       },
       ""},
      {"a new chart without its page", [](Tables& t) { t.rows.push_back(NewChart()); },
       "a chart on an overview page that is not there"},
      {"a new chart without its English title",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().title.english = {};
         t.pages.push_back(NewPage());
       },
       "a row without its texts in both languages"},
      {"a new chart without its tab caption",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().tab_caption = {};
         t.pages.push_back(NewPage());
       },
       "a row without its texts in both languages"},
      {"a new chart without its file name",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().file_name = {};
         t.pages.push_back(NewPage());
       },
       "a row without its names"},
      {"a new chart without its picture size",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().export_size = {};
         t.pages.push_back(NewPage());
       },
       "a row without its picture size"},
      {"a new chart without its tab",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().tab = -1;
         t.pages.push_back(NewPage());
       },
       "a tab without its page"},
      {"a new chart on the tab of another",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().tab = RowOf(Chart_Lens).tab;
         t.pages.push_back(NewPage());
       },
       "two pages take one tab"},
      {"a new chart on an overview's tab",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().tab = OverviewTabOf(OverviewPage::kAdditional);
         t.pages.push_back(NewPage());
       },
       "two pages take one tab"},
      {"a new chart without its place",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().place = -1;
         t.pages.push_back(NewPage());
       },
       "a place beyond the page's layout"},
      {"a new chart beyond the main page's ten places",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().page = OverviewPage::kMain;
         t.rows.back().place = 10;
         t.rows.back().tab = kTabCount;
       },
       "a place beyond the page's layout"},
      {"a new page with a place left empty",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.pages.push_back(NewPage());
         t.pages.back().places = 3;
       },
       "an empty place on an overview page"},
      {"a new chart out of id order",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().id = Chart_Lens;
         t.pages.push_back(NewPage());
       },
       "a row out of id order"},
      {"a new chart under another's name",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().file_name = "ISO";
         t.pages.push_back(NewPage());
       },
       "two rows share a name"},
      {"a new chart with another's series",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().bar_series = "SerISO";
         t.pages.push_back(NewPage());
       },
       "two rows share a series"},
      {"bars without a bar series",
       [](Tables& t) {
         t.rows.push_back(NewChart());
         t.rows.back().bar_series = {};
         t.pages.push_back(NewPage());
       },
       "bars without a bar series or a pie with one"},
      {"a pie alone that may switch", [](Tables& t) { t.Row(Chart_Flash).may_switch = true; },
       "a pie alone that may switch"},
      {"two-line labels on a pie", [](Tables& t) { t.Row(Chart_Make).two_line_labels = true; }, "bar labels on a pie"},
      {"two charts on one place", [](Tables& t) { t.Row(Chart_Lens).place = RowOf(Chart_Model).place; },
       "two charts take one place"},
      {"the 35 mm focal tally shown by no chart",
       [](Tables& t) { t.Row(Chart_FocalLength).tally_35mm = TallyId::kFocal; }, "a tally no chart shows"},
      {"an overview page without its caption", [](Tables& t) { t.pages[1].tab_caption.russian = {}; },
       "an overview page without its caption"},
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
  for (int tab = 0; tab < kTabCount; ++tab) {
    if (!IsOverviewTab(tab)) {
      EXPECT_EQ(OwnTab(ChartOfTab(tab)), tab) << tab;
    }
  }
  EXPECT_EQ(TabCaptions()[kAdditionalTab].english, "ADDITIONAL");
  EXPECT_EQ(TabCaptions()[10].russian, "Фокусировка");
}

// The places the pages' layouts compute are the places the rows name: one per place.
TEST(OverviewRects, OnePlacePerSlotOfThePage) {
  for (const OverviewRow& page : kOverviewRows) {
    SCOPED_TRACE(static_cast<int>(page.page));
    EXPECT_EQ(OverviewRects(page.page, 725, 610, 10000).size(), static_cast<size_t>(page.places));
  }
  EXPECT_EQ(OverviewRects(OverviewPage::kMain, 725, 610, 10000)[9], MainPageRects(725, 610, 10000)[9]);
  EXPECT_EQ(OverviewRects(OverviewPage::kAdditional, 725, 610, 0)[3], AdditionalPageRects(725, 610)[3]);
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
