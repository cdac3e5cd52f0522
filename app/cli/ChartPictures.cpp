#include "app/cli/ChartPictures.h"

#include <cstdlib>

#include "charts/ChartPicture.h"
#include "charts/JpegFile.h"

namespace lumetra::cli {
void UseOffscreenPlatform() { ::setenv("QT_QPA_PLATFORM", "offscreen", 1); }

std::string WriteChartPicture(const Chart& chart, const std::filesystem::path& file) {
  return WriteJpegFile(DrawChartPicture(chart, ExportSize(chart.id)), file);
}

}  // namespace lumetra::cli
