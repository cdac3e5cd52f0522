#include "charts/ChartView.h"

#include <QPainter>

namespace lumetra {

ChartView::ChartView(const Chart& chart, ChartPage page, QWidget* parent)
    // Given at construction: a chart set later would leave the view's default one behind, undeleted.
    : QChartView(new DrawnChart(page), parent), chart_(chart), drawn_(static_cast<DrawnChart*>(this->chart())) {
  setObjectName(QString::fromStdString(chart.name));
  setRenderHint(QPainter::Antialiasing);
  Refresh();
}

void ChartView::Refresh() { drawn_->Draw(chart_); }

void ChartView::SetPage(ChartPage page) { drawn_->SetPage(page); }

}  // namespace lumetra
