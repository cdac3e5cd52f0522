#pragma once

#include <functional>

#include <QChartView>
#include <QPoint>

#include "charts/ChartModel.h"
#include "charts/DrawnChart.h"

class QRubberBand;

namespace lumetra {

/// A widget showing one chart of the model. The page code sets the page (the bottom margin of the bar
/// charts) and the model's flags (active series, marks of the pies), then calls `Refresh`.
///
/// The mouse: a left click (no drag, no Shift) calls the click handler; on a chart showing bars, Shift
/// and a left drag zooms into the dragged rectangle (dragged leftwards: back to the whole chart) and a
/// middle drag pans. Pies neither zoom nor pan. Releasing the right button, the context-menu key and
/// Shift+F10 call the menu handler.
class ChartView : public QChartView {
 public:
  /// `chart` is the model's chart, read again by every `Refresh`; it must outlive the view.
  explicit ChartView(const Chart& chart, ChartPage page = ChartPage::kOverview, QWidget* parent = nullptr);

  /// Redraws the chart from the model: its title, its active series and their points and marks.
  void Refresh();
  void SetPage(ChartPage page);
  [[nodiscard]] ChartPage Page() const { return drawn_->Page(); }
  [[nodiscard]] const Chart& Model() const { return chart_; }
  [[nodiscard]] DrawnChart& Drawn() { return *drawn_; }
  /// What a left click does.
  void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }
  /// What asks for the chart's menu, with the screen position where it opens.
  void SetMenuHandler(std::function<void(QPoint)> handler) { menu_ = std::move(handler); }
  /// Whether the chart now zooms and pans: it shows its bars.
  [[nodiscard]] bool Zoomable() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum class Gesture { kNone, kClick, kZoom, kPan };

  const Chart& chart_;
  DrawnChart* drawn_;  // owned by the view
  std::function<void()> click_;
  std::function<void(QPoint)> menu_;
  Gesture gesture_ = Gesture::kNone;
  QPoint press_;
  QPoint last_;
  QRubberBand* rubber_band_ = nullptr;  // a child, made at the first zoom
};

}  // namespace lumetra
