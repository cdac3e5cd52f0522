#include "app/cli/ChartPictures.h"

#include <cstdlib>

#include "charts/ChartPicture.h"
#include "charts/JpegFile.h"

namespace lumetra::cli {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

void UseOffscreenPlatformUnlessAsked() {
  if (IsSet("QT_QPA_PLATFORM")) return;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

std::string WriteChartPicture(const Chart& chart, const std::filesystem::path& file) {
  return WriteJpegFile(DrawChartPicture(chart, ExportSize(chart.id)), file);
}

}  // namespace lumetra::cli
