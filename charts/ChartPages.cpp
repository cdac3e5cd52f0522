#include "charts/ChartPages.h"

#include <algorithm>
#include <vector>

#include "charts/PageLayout.h"

namespace lumetra {
namespace {

void Place(ChartView& view, const PageRect& rect) { view.setGeometry(rect.left, rect.top, rect.width, rect.height); }

// The charts of overview page `page`.
std::vector<ChartId> PageCharts(OverviewPage page) {
  std::vector<ChartId> charts;
  for (const ChartRow& row : kChartRows) {
    if (row.page == page) charts.push_back(row.id);
  }
  return charts;
}

}  // namespace

ChartPages::ChartPages(ChartSet& charts, QWidget& area) : charts_(charts), area_(area) {
  for (ChartId id : AllCharts()) {
    views_[static_cast<size_t>(id)] = new ChartView(charts_[id], ChartPage::kOverview, &area_);
  }
}

void ChartPages::SetClickHandler(const std::function<void(ChartId)>& handler) {
  for (ChartId id : AllCharts()) View(id).SetClickHandler([handler, id] { handler(id); });
}

void ChartPages::SetMenuHandler(const std::function<void(ChartId, QPoint, std::optional<size_t>)>& handler) {
  for (ChartId id : AllCharts()) {
    View(id).SetMenuHandler([handler, id](QPoint at, std::optional<size_t> point) { handler(id, at, point); });
  }
}

void ChartPages::SetChoiceHandler(const std::function<void(ChartId, size_t, ChartCommand)>& handler) {
  for (ChartId id : AllCharts()) {
    View(id).SetChoiceHandler([handler, id](size_t point, ChartCommand command) { handler(id, point, command); });
  }
}

void ChartPages::ArrangePage(OverviewPage page, int64_t KoefH) {
  const std::vector<PageRect> rects =
      OverviewRects(page, area_.contentsRect().width(), area_.contentsRect().height(), KoefH);
  for (const ChartId id : PageCharts(page)) Place(View(id), rects[static_cast<size_t>(RowOf(id).place)]);
}

void ChartPages::ShowOnly(std::span<const ChartId> shown) {
  for (ChartId id : AllCharts()) {
    const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
    if (show) View(id).Refresh();
    View(id).setVisible(show);
  }
}

void ChartPages::ShowOverview(OverviewPage page, int64_t KoefH) {
  const std::vector<ChartId> shown = PageCharts(page);
  for (const ChartId id : shown) {
    Chart& chart = charts_[id];
    if (IsBarChart(id)) {
      // An overview always shows bars, whatever form a single page chose.
      View(id).SetPage(ChartPage::kOverview);
      chart.bar.active = true;
      chart.pie.active = false;
    } else {
      chart.pie.marks = false;
    }
  }
  ArrangePage(page, KoefH);
  ShowOnly(shown);
}

void ChartPages::ShowPage(int tab, int64_t KoefH) {
  for (const OverviewRow& page : kOverviewRows) {
    if (page.tab == tab) {
      ShowOverview(page.page, KoefH);
      return;
    }
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
