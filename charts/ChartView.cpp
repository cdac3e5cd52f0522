#include "charts/ChartView.h"

#include <QPainter>

namespace lumetra {

ChartView::ChartView(const Chart& chart, ChartPage page, QWidget* parent)
    : QChartView(parent), chart_(chart), drawn_(new DrawnChart(page)) {
  setObjectName(QString::fromStdString(chart.name));
  setRenderHint(QPainter::Antialiasing);
  setChart(drawn_);
  Refresh();
}

void ChartView::Refresh() { drawn_->Draw(chart_); }

void ChartView::SetPage(ChartPage page) { drawn_->SetPage(page); }

}  // namespace lumetra
