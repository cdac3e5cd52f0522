#pragma once

#include <QImage>
#include <QSize>

#include "charts/ChartModel.h"

namespace lumetra {

/// The size of an exported chart picture in pixels, as its row gives it.
[[nodiscard]] QSize ExportSize(ChartId id);

/// The chart drawn as on its own page (bars with the single-page margin, pies with their marks) into a
/// picture of `size` on white. Needs a QApplication (the off-screen platform will do); an empty size
/// gives a null picture.
[[nodiscard]] QImage DrawChartPicture(const Chart& chart, QSize size);

}  // namespace lumetra
