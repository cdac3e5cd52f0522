#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include <QChartView>
#include <QPoint>

#include "charts/ChartModel.h"
#include "charts/DrawnChart.h"
#include "filter/ChartFilterChange.h"

class QRubberBand;

namespace lumetra {

/// A widget showing one chart of the model. The page code sets the page (the bottom margin of the bar
/// charts) and the model's flags (active series, marks of the pies), then calls `Refresh`.
///
/// The mouse: a left click (no drag, no Shift) calls the click handler; on a chart showing bars, Shift
/// and a left drag zooms into the dragged rectangle (dragged leftwards: back to the whole chart) and a
/// middle drag pans. Pies neither zoom nor pan. Releasing the right button, the context-menu key and
/// Shift+F10 call the menu handler, with the bar or slice under the pointer or, from the keyboard, the
/// highlighted one. Left/Right move the highlight from bar to bar or slice to slice; a click highlights
/// the one clicked. Ctrl+click on a bar or slice calls the choice handler with "Only", Ctrl+Alt+click
/// with "All but".
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
  /// What asks for the chart's menu, with the screen position where it opens and the point (an index of
  /// the shown series' points) the menu's commands are for, if any.
  using MenuHandler = std::function<void(QPoint, std::optional<size_t>)>;
  void SetMenuHandler(MenuHandler handler) { menu_ = std::move(handler); }
  /// What a Ctrl+click (Ctrl+Alt+click) on a bar or slice does with its point.
  using ChoiceHandler = std::function<void(size_t, ChartCommand)>;
  void SetChoiceHandler(ChoiceHandler handler) { choice_ = std::move(handler); }
  /// The point of the shown series at `position` in the view, if a bar or slice is there.
  [[nodiscard]] std::optional<size_t> PointAt(QPoint position);
  /// The highlighted point, moved with Left/Right.
  [[nodiscard]] std::optional<size_t> Highlighted() const { return highlighted_; }
  void SetHighlighted(std::optional<size_t> point);
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
  void MoveHighlight(int step);
  void Clicked(QMouseEvent& event);

  std::function<void()> click_;
  MenuHandler menu_;
  ChoiceHandler choice_;
  std::optional<size_t> highlighted_;
  Gesture gesture_ = Gesture::kNone;
  QPoint press_;
  QPoint last_;
  QRubberBand* rubber_band_ = nullptr;  // a child, made at the first zoom
};

}  // namespace lumetra
