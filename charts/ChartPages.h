#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include <QWidget>

#include "charts/ChartModel.h"
#include "charts/ChartView.h"

namespace lumetra {

/// The chart views in the chart area, and which of them each page shows, where, and in what
/// form. Changes the model's page flags (active bar or pie series, pie marks) as the pages ask.
class ChartPages {
 public:
  /// Makes a view for every chart of `charts` in `area`; both must outlive the pages.
  ChartPages(ChartSet& charts, QWidget& area);

  [[nodiscard]] ChartView& View(ChartId id) { return *views_[static_cast<size_t>(id)]; }
  /// Calls `handler` with the chart on every left click on one.
  void SetClickHandler(const std::function<void(ChartId)>& handler);
  /// Calls `handler` with the chart, the screen position and the bar or slice the menu is for whenever one
  /// asks for its menu (the right button, the context-menu key, Shift+F10).
  void SetMenuHandler(const std::function<void(ChartId, QPoint, std::optional<size_t>)>& handler);
  /// Calls `handler` with the chart, the point and the command of a Ctrl+click or Ctrl+Alt+click on one.
  void SetChoiceHandler(const std::function<void(ChartId, size_t, ChartCommand)>& handler);

  /// Shows the page of `tab`: the overviews in bar form with small unmarked pies, a chart alone filling
  /// the area (bars in the form last chosen, pies with their marks). `KoefH` (1/10000) sets the gap
  /// between the rows of the main overview.
  void ShowPage(int tab, int64_t KoefH);
  /// Places the charts of overview page `page` in the area (`KoefH` as for `ShowPage`).
  void ArrangePage(OverviewPage page, int64_t KoefH);
  /// Places the ten charts of the main overview in the area.
  void ArrangeMainPage(int64_t KoefH) { ArrangePage(OverviewPage::kMain, KoefH); }
  /// Places the four charts of the additional overview in the area.
  void ArrangeAdditionalPage() { ArrangePage(OverviewPage::kAdditional, 0); }
  /// Redraws the charts of the page shown from the model; the others are redrawn when shown.
  void RefreshShown();

 private:
  void ShowOverview(OverviewPage page, int64_t KoefH);
  void ShowOnly(std::span<const ChartId> shown);

  ChartSet& charts_;
  QWidget& area_;
  std::array<ChartView*, kChartCount> views_{};  // children of the area
};

}  // namespace lumetra
