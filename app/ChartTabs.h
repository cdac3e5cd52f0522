#pragma once

#include <array>

#include <QString>
#include <QWidget>

#include "charts/ChartCatalog.h"

namespace lumetra {

/// The tab control of the chart pages: a button-style tab per overview page and per chart, in rows of eight
/// across its top, their captions painted by the program (the overviews' in blue), a current tab and
/// a signal when the user picks another. The pages themselves are child widgets placed below the tabs
/// by the window. Keyboard: Left/Right, Up/Down (the same column in the next row, round), Home/End, and
/// Ctrl+Tab / Ctrl+Shift+Tab.
class ChartTabs : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTabCount = lumetra::kTabCount;
  static constexpr int kTabsPerRow = 8;
  /// Room between two tabs of a row, in pixels.
  static constexpr int kTabGap = 3;

  explicit ChartTabs(QWidget* parent = nullptr);

  void setCaption(int tab, const QString& caption);
  [[nodiscard]] QString caption(int tab) const { return captions_[static_cast<size_t>(tab)]; }
  void setTabWidth(int width);
  void setTabHeight(int height);
  [[nodiscard]] int tabWidth() const { return tab_width_; }
  [[nodiscard]] int tabHeight() const { return tab_height_; }
  /// Where tab `tab` is drawn: row tab / 8, column tab % 8.
  [[nodiscard]] QRect tabRect(int tab) const;
  /// The tab at `point`, or -1.
  [[nodiscard]] int tabAt(QPoint point) const;

  [[nodiscard]] int currentIndex() const { return current_; }
  /// Selects `tab` without signalling: the caller shows the page itself.
  void setCurrentIndex(int tab);

 signals:
  /// The user picked `tab` with the mouse or the keyboard; the page is not yet shown.
  void currentChanged(int tab);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Pick(int tab);

  std::array<QString, kTabCount> captions_;
  int tab_width_ = 87;
  int tab_height_ = 25;
  int current_ = 0;
  int hot_ = -1;
};

}  // namespace lumetra
