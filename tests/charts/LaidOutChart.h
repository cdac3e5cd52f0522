#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QStringList>

#include "charts/ChartModel.h"
#include "charts/DrawnChart.h"
#include "survey/Labels.h"

namespace lumetra::testing {

/// A chart of the model with its English titles and the given bars (text axis) or slices.
inline Chart MakeChart(ChartId id) {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  return charts[id];
}

/// A `DrawnChart` laid out at a size in a scene of its own, as the pictures draw it.
class LaidOutChart {
 public:
  LaidOutChart(const Chart& chart, QSizeF size, ChartPage page = ChartPage::kSingle) : drawn_(new DrawnChart(page)) {
    scene_.addItem(drawn_);
    drawn_->Draw(chart);
    drawn_->LayOut(size);
  }

  DrawnChart& operator*() { return *drawn_; }
  DrawnChart* operator->() { return drawn_; }

  /// The texts Qt Charts shows (title, axis labels and titles) as a reader sees them: rich text
  /// interpreted, zero-width spaces dropped, empty and hidden ones left out.
  [[nodiscard]] QStringList ShownTexts() const {
    QStringList texts;
    for (QGraphicsItem* item : scene_.items()) {
      const auto* text_item = dynamic_cast<QGraphicsTextItem*>(item);
      if (text_item == nullptr || !text_item->isVisible()) continue;
      QString text = text_item->toPlainText();
      text.remove(QChar(0x200B));
      text.remove(QChar(0x2060));
      if (!text.isEmpty()) texts.append(text);
    }
    return texts;
  }

 private:
  QGraphicsScene scene_;
  DrawnChart* drawn_;  // owned by the scene
};

}  // namespace lumetra::testing
