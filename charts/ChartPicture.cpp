#include "charts/ChartPicture.h"

#include <QGraphicsScene>
#include <QPainter>

#include "charts/DrawnChart.h"

namespace lumetra {

QSize ExportSize(ChartId id) {
  switch (id) {
    case ChartId::Chart_ShutterSpeed:
    case ChartId::Chart_Fnumber:
    case ChartId::Chart_FocalLength:
    case ChartId::Chart_ISO:
      return {2000, 1000};
    default:
      return {1000, 1000};
  }
}

QImage DrawChartPicture(const Chart& chart, QSize size) {
  if (size.isEmpty()) return {};
  // On its own page a category pie shows its marks; the alternate pies always do.
  Chart own_page = chart;
  own_page.pie.marks = true;

  QGraphicsScene scene;
  auto* drawn = new DrawnChart(ChartPage::kSingle);
  scene.addItem(drawn);  // the scene owns the chart
  drawn->Draw(own_page);
  drawn->LayOut(QSizeF(size));

  QImage picture(size, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  scene.render(&painter, QRectF(picture.rect()), QRectF(QPointF(0, 0), QSizeF(size)));
  return picture;
}

}  // namespace lumetra
