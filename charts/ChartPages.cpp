#include "charts/ChartPages.h"

#include <algorithm>

#include "charts/PageLayout.h"

namespace lumetra {
namespace {

// Charts before this one belong to the main overview.
constexpr auto kFirstAdditional = ChartId::Chart_Make;

constexpr ChartId kMainCharts[] = {
    ChartId::Chart_ShutterSpeed, ChartId::Chart_Fnumber, ChartId::Chart_FocalLength, ChartId::Chart_ISO,
    ChartId::Chart_Program,      ChartId::Chart_Meter,   ChartId::Chart_Flash,       ChartId::Chart_Orientation,
    ChartId::Chart_Focus,        ChartId::Chart_Drive,
};
constexpr ChartId kAdditionalCharts[] = {ChartId::Chart_Make, ChartId::Chart_Crop, ChartId::Chart_Model,
                                         ChartId::Chart_Lens};

void Place(ChartView& view, const PageRect& rect) { view.setGeometry(rect.left, rect.top, rect.width, rect.height); }

}  // namespace

int OwnTab(ChartId chart) {
  // Tabs 1 to 7 show the first seven charts, tabs 9 to 15 the other seven.
  const int index = static_cast<int>(chart);
  return index < kAdditionalTab - 1 ? index + 1 : index + 2;
}

int OverviewTab(ChartId chart) { return chart < kFirstAdditional ? kMainTab : kAdditionalTab; }

int TabAfterClick(ChartId chart, int current_tab) {
  const int overview = OverviewTab(chart);
  return current_tab == overview ? OwnTab(chart) : overview;
}

ChartId ChartOfTab(int tab) { return static_cast<ChartId>(tab < kAdditionalTab ? tab - 1 : tab - 2); }

ChartPages::ChartPages(ChartSet& charts, QWidget& area) : charts_(charts), area_(area) {
  for (ChartId id : AllCharts()) {
    views_[static_cast<size_t>(id)] = new ChartView(charts_[id], ChartPage::kOverview, &area_);
  }
}

void ChartPages::SetClickHandler(const std::function<void(ChartId)>& handler) {
  for (ChartId id : AllCharts()) View(id).SetClickHandler([handler, id] { handler(id); });
}

void ChartPages::SetMenuHandler(const std::function<void(ChartId, QPoint)>& handler) {
  for (ChartId id : AllCharts()) View(id).SetMenuHandler([handler, id](QPoint at) { handler(id, at); });
}

void ChartPages::ArrangeMainPage(int64_t KoefH) {
  const auto rects = MainPageRects(area_.contentsRect().width(), area_.contentsRect().height(), KoefH);
  for (size_t i = 0; i < rects.size(); ++i) Place(View(kMainCharts[i]), rects[i]);
}

void ChartPages::ArrangeAdditionalPage() {
  const auto rects = AdditionalPageRects(area_.contentsRect().width(), area_.contentsRect().height());
  for (size_t i = 0; i < rects.size(); ++i) Place(View(kAdditionalCharts[i]), rects[i]);
}

void ChartPages::ShowOnly(std::span<const ChartId> shown) {
  for (ChartId id : AllCharts()) {
    const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
    if (show) View(id).Refresh();
    View(id).setVisible(show);
  }
}

void ChartPages::ShowPage(int tab, int64_t KoefH) {
  if (tab == kMainTab) {
    for (ChartId id : kMainCharts) {
      Chart& chart = charts_[id];
      if (IsBarChart(id)) {
        // The main overview always shows bars, whatever form a single page chose.
        View(id).SetPage(ChartPage::kOverview);
        chart.bar.active = true;
        chart.pie.active = false;
      } else {
        chart.pie.marks = false;
      }
    }
    ArrangeMainPage(KoefH);
    ShowOnly(kMainCharts);
    return;
  }
  if (tab == kAdditionalTab) {
    for (ChartId id : kAdditionalCharts) charts_[id].pie.marks = false;
    ArrangeAdditionalPage();
    ShowOnly(kAdditionalCharts);
    return;
  }
  const ChartId id = ChartOfTab(tab);
  ChartView& view = View(id);
  // A bar chart keeps the form last chosen for it; a pie alone is marked.
  if (!IsBarChart(id)) charts_[id].pie.marks = true;
  view.SetPage(ChartPage::kSingle);
  Place(view, SinglePageRect(area_.contentsRect().width(), area_.contentsRect().height()));
  ShowOnly(std::span(&id, 1));
}

void ChartPages::RefreshShown() {
  // A hidden chart is redrawn when its page shows it.
  for (ChartView* view : views_) {
    if (!view->isHidden()) view->Refresh();
  }
}

}  // namespace lumetra
