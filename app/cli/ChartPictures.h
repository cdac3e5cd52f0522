#pragma once

#include <filesystem>
#include <string>

#include "charts/ChartModel.h"

namespace lumetra::cli {

/// Before the QApplication is made: picks Qt's off-screen platform, whatever QT_QPA_PLATFORM asks for.
/// Pictures are drawn off-screen anyway, so a display that is named but not there, a platform that cannot
/// start (xcb without an X server) or a headless machine never matters.
void UseOffscreenPlatform();

/// Draws `chart` as on its own page at its export size and writes it to `file` as a JPEG. Needs a
/// QApplication. Returns "<file>: <reason>" when the file cannot be written, empty on success.
[[nodiscard]] std::string WriteChartPicture(const Chart& chart, const std::filesystem::path& file);

}  // namespace lumetra::cli
