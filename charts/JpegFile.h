#pragma once

#include <filesystem>
#include <string>

#include <QImage>

namespace lumetra {

/// Writes `picture` to `file` as a baseline JPEG, 24-bit colour, quality 90. An existing file is
/// replaced only by the complete new one (written beside it, then renamed over it); a link at `file` is
/// replaced, never the file it leads to. Returns "" on
/// success, otherwise "<file>: <reason>" ("/photos/chart.jpg: Permission denied").
[[nodiscard]] std::string WriteJpegFile(const QImage& picture, const std::filesystem::path& file);

}  // namespace lumetra
