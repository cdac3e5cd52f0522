#include "charts/ChartView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>

namespace lumetra {

ChartView::ChartView(const Chart& chart, ChartPage page, QWidget* parent)
    // Given at construction: a chart set later would leave the view's default one behind, undeleted.
    : QChartView(new DrawnChart(page), parent), chart_(chart), drawn_(static_cast<DrawnChart*>(this->chart())) {
  setObjectName(QString::fromStdString(chart.name));
  setRenderHint(QPainter::Antialiasing);
  // The gestures below are the view's own; Qt's rubber band would take the plain left drag.
  setRubberBand(QChartView::NoRubberBand);
  setDragMode(QGraphicsView::NoDrag);
  Refresh();
}

void ChartView::Refresh() {
  drawn_->Draw(chart_);
  // Qt Charts deletes the items of removed axes later, from the event loop; a redraw inside a long
  // command (a run, a language switch) would show them beside the new ones until then.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ChartView::SetPage(ChartPage page) { drawn_->SetPage(page); }

bool ChartView::Zoomable() const { return chart_.Shown().kind == SeriesKind::kBar; }

void ChartView::mousePressEvent(QMouseEvent* event) {
  press_ = last_ = event->position().toPoint();
  gesture_ = Gesture::kNone;
  if (event->button() == Qt::LeftButton) {
    gesture_ =
        (event->modifiers() & Qt::ShiftModifier) ? (Zoomable() ? Gesture::kZoom : Gesture::kNone) : Gesture::kClick;
  } else if (event->button() == Qt::MiddleButton && Zoomable()) {
    gesture_ = Gesture::kPan;
  } else if (event->button() == Qt::RightButton) {
    // The right button belongs to the menu, opened on its release.
    event->accept();
    return;
  }
  if (gesture_ == Gesture::kZoom) {
    if (rubber_band_ == nullptr) rubber_band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    rubber_band_->setGeometry(QRect(press_, QSize()));
    rubber_band_->show();
  }
  if (gesture_ != Gesture::kNone) {
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  switch (gesture_) {
    case Gesture::kClick:
      // A drag is no click.
      if ((position - press_).manhattanLength() >= QApplication::startDragDistance()) gesture_ = Gesture::kNone;
      break;
    case Gesture::kZoom:
      rubber_band_->setGeometry(QRect(press_, position).normalized());
      break;
    case Gesture::kPan:
      drawn_->scroll(last_.x() - position.x(), position.y() - last_.y());
      break;
    case Gesture::kNone:
      QChartView::mouseMoveEvent(event);
      return;
  }
  last_ = position;
  event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
  const Gesture gesture = gesture_;
  gesture_ = Gesture::kNone;
  const QPoint position = event->position().toPoint();
  if (gesture == Gesture::kZoom) {
    rubber_band_->hide();
    if (position.x() < press_.x()) {
      drawn_->zoomReset();
    } else if (const QRect dragged = QRect(press_, position).normalized();
               dragged.width() > 2 && dragged.height() > 2) {
      drawn_->zoomIn(drawn_->mapFromScene(mapToScene(dragged)).boundingRect());
    }
  } else if (gesture == Gesture::kClick && event->button() == Qt::LeftButton) {
    if (click_) click_();
  } else if (event->button() == Qt::RightButton && menu_) {
    menu_(event->globalPosition().toPoint());
  } else if (gesture == Gesture::kNone) {
    QChartView::mouseReleaseEvent(event);
    return;
  }
  event->accept();
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's request is answered by the right button's release (on every platform, as on Windows);
  // the keyboard's opens the menu over the middle of the chart.
  if (event->reason() == QContextMenuEvent::Keyboard && menu_) menu_(mapToGlobal(rect().center()));
  event->accept();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier && menu_) {
    menu_(mapToGlobal(rect().center()));
    event->accept();
    return;
  }
  QChartView::keyPressEvent(event);
}

}  // namespace lumetra
