#pragma once

#include <filesystem>
#include <string>

#include "charts/ChartModel.h"

namespace lumetra::cli {

/// Before the QApplication is made: picks Qt's off-screen platform when no platform is asked for
/// (QT_QPA_PLATFORM) and there is no display to draw on, so pictures are drawn on a headless machine.
void UseOffscreenPlatformWithoutDisplay();

/// Draws `chart` as on its own page at its export size and writes it to `file` as a JPEG. Needs a
/// QApplication. Returns "<file>: <reason>" when the file cannot be written, empty on success.
[[nodiscard]] std::string WriteChartPicture(const Chart& chart, const std::filesystem::path& file);

}  // namespace lumetra::cli
