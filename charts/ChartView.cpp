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
  // The arrow keys move the highlighted bar, so the view takes the focus from a click or Tab.
  setFocusPolicy(Qt::StrongFocus);
  Refresh();
}

void ChartView::Refresh() {
  drawn_->Draw(chart_);
  // A highlight past the points redrawn (a recount left fewer) is dropped.
  if (highlighted_ && *highlighted_ >= chart_.Shown().Points().size()) highlighted_.reset();
  drawn_->Highlight(highlighted_);
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
    Clicked(*event);
  } else if (event->button() == Qt::RightButton && menu_) {
    // The bar or slice the menu is for is highlighted, as the keyboard's is.
    const std::optional<size_t> point = PointAt(position);
    if (point) SetHighlighted(point);
    menu_(event->globalPosition().toPoint(), point);
  } else if (gesture == Gesture::kNone) {
    QChartView::mouseReleaseEvent(event);
    return;
  }
  event->accept();
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's request is answered by the right button's release (on every platform, as on Windows);
  // the keyboard's opens the menu over the middle of the chart.
  if (event->reason() == QContextMenuEvent::Keyboard && menu_) menu_(mapToGlobal(rect().center()), highlighted_);
  event->accept();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier && menu_) {
    menu_(mapToGlobal(rect().center()), highlighted_);
    event->accept();
    return;
  }
  if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && event->modifiers() == Qt::NoModifier) {
    MoveHighlight(event->key() == Qt::Key_Left ? -1 : 1);
    event->accept();
    return;
  }
  QChartView::keyPressEvent(event);
}

std::optional<size_t> ChartView::PointAt(QPoint position) {
  return drawn_->PointAt(drawn_->mapFromScene(mapToScene(position)));
}

void ChartView::SetHighlighted(std::optional<size_t> point) {
  if (point && *point >= chart_.Shown().Points().size()) point.reset();
  highlighted_ = point;
  drawn_->Highlight(highlighted_);
}

void ChartView::MoveHighlight(int step) {
  const size_t count = chart_.Shown().Points().size();
  if (count == 0) return;
  // From none, Right starts at the first bar and Left at the last; both stop at the ends.
  if (!highlighted_) {
    SetHighlighted(step > 0 ? 0 : count - 1);
  } else if (step < 0 && *highlighted_ > 0) {
    SetHighlighted(*highlighted_ - 1);
  } else if (step > 0 && *highlighted_ + 1 < count) {
    SetHighlighted(*highlighted_ + 1);
  }
}

void ChartView::Clicked(QMouseEvent& event) {
  const std::optional<size_t> point = PointAt(event.position().toPoint());
  if (point) SetHighlighted(point);
  if ((event.modifiers() & Qt::ControlModifier) != 0) {
    const ChartCommand command =
        (event.modifiers() & Qt::AltModifier) != 0 ? ChartCommand::kAllBut : ChartCommand::kOnly;
    if (point && choice_) choice_(*point, command);
    return;
  }
  if (click_) click_();
}

}  // namespace lumetra
