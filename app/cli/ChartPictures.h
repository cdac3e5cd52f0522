#pragma once

#include <filesystem>
#include <string>

#include "charts/ChartModel.h"

namespace lumetra::cli {

/// Before the QApplication is made: picks Qt's off-screen platform unless one is asked for
/// (QT_QPA_PLATFORM). Pictures are drawn off-screen anyway, so a display that is named but not there (or a
/// headless machine) never matters.
void UseOffscreenPlatformUnlessAsked();

/// Draws `chart` as on its own page at its export size and writes it to `file` as a JPEG. Needs a
/// QApplication. Returns "<file>: <reason>" when the file cannot be written, empty on success.
[[nodiscard]] std::string WriteChartPicture(const Chart& chart, const std::filesystem::path& file);

}  // namespace lumetra::cli
