#include "app/ChartTabs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

namespace lumetra {
namespace {

const QColor kOverviewCaption(0x00, 0x00, 0xFF);

// The tab in the same column one row down, or in the first row below the last; the third row is shorter.
int TabBelow(int tab) {
  const int below = tab + ChartTabs::kTabsPerRow;
  return below < ChartTabs::kTabCount ? below : tab % ChartTabs::kTabsPerRow;
}

// The tab in the same column one row up, or in the lowest row that has that column above the first.
int TabAbove(int tab) {
  if (tab >= ChartTabs::kTabsPerRow) return tab - ChartTabs::kTabsPerRow;
  const int column = tab % ChartTabs::kTabsPerRow;
  return column + (ChartTabs::kTabCount - 1 - column) / ChartTabs::kTabsPerRow * ChartTabs::kTabsPerRow;
}

}  // namespace

ChartTabs::ChartTabs(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void ChartTabs::setCaption(int tab, const QString& caption) {
  if (tab < 0 || tab >= kTabCount) return;
  captions_[static_cast<size_t>(tab)] = caption;
  update(tabRect(tab));
}

void ChartTabs::setTabWidth(int width) {
  tab_width_ = width;
  update();
}

void ChartTabs::setTabHeight(int height) {
  tab_height_ = height;
  update();
}

QRect ChartTabs::tabRect(int tab) const {
  const int row = tab / kTabsPerRow;
  const int column = tab % kTabsPerRow;
  // One pixel between the rows, like the gap between the buttons.
  return QRect(column * (tab_width_ + kTabGap), row * tab_height_, tab_width_, tab_height_ - 1);
}

int ChartTabs::tabAt(QPoint point) const {
  for (int tab = 0; tab < kTabCount; ++tab) {
    if (tabRect(tab).contains(point)) return tab;
  }
  return -1;
}

void ChartTabs::setCurrentIndex(int tab) {
  if (tab < 0 || tab >= kTabCount || tab == current_) return;
  current_ = tab;
  update();
}

void ChartTabs::Pick(int tab) {
  if (tab < 0 || tab >= kTabCount || tab == current_) return;
  setCurrentIndex(tab);
  emit currentChanged(tab);
}

void ChartTabs::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int tab = 0; tab < kTabCount; ++tab) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = tabRect(tab);
    button.state &= ~QStyle::State_HasFocus;
    if (tab == current_) {
      button.state |= QStyle::State_Sunken | QStyle::State_On;
    } else {
      button.state |= QStyle::State_Raised;
      if (tab == hot_ && isEnabled()) button.state |= QStyle::State_MouseOver;
    }
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &painter, this);

    QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    QColor colour = IsOverviewTab(tab) && isEnabled() ? kOverviewCaption : palette().color(group, QPalette::ButtonText);
    painter.setPen(colour);
    painter.setFont(font());
    // A pushed-in tab shows its caption pushed in too.
    const QRect text_rect = tab == current_ ? button.rect.translated(1, 1) : button.rect;
    painter.drawText(text_rect, Qt::AlignCenter | Qt::TextSingleLine, captions_[static_cast<size_t>(tab)]);

    if (tab == current_ && hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = button.rect.adjusted(3, 3, -3, -3);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
  }
}

void ChartTabs::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const int tab = tabAt(event->position().toPoint());
    if (tab >= 0) {
      Pick(tab);
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

void ChartTabs::mouseMoveEvent(QMouseEvent* event) {
  const int tab = tabAt(event->position().toPoint());
  if (tab != hot_) {
    hot_ = tab;
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void ChartTabs::leaveEvent(QEvent* event) {
  hot_ = -1;
  update();
  QWidget::leaveEvent(event);
}

void ChartTabs::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      Pick((current_ + kTabCount - 1) % kTabCount);
      return;
    case Qt::Key_Right:
      Pick((current_ + 1) % kTabCount);
      return;
    case Qt::Key_Up:
      Pick(TabAbove(current_));
      return;
    case Qt::Key_Down:
      Pick(TabBelow(current_));
      return;
    case Qt::Key_Home:
      Pick(0);
      return;
    case Qt::Key_End:
      Pick(kTabCount - 1);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in any tabbed window; plain Tab moves the focus on.
      if (event->modifiers() & Qt::ControlModifier) {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        Pick((current_ + (back ? kTabCount - 1 : 1)) % kTabCount);
        return;
      }
      QWidget::keyPressEvent(event);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace lumetra
