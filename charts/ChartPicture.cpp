#include "charts/ChartPicture.h"

#include <QGraphicsScene>
#include <QPainter>

#include "charts/DrawnChart.h"

namespace lumetra {

QSize ExportSize(ChartId id) {
  const PictureSize size = RowOf(id).export_size;
  return {size.width, size.height};
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
