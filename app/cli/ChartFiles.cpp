#include "app/cli/ChartFiles.h"

#include <system_error>

#include "charts/ChartTable.h"

namespace lumetra::cli {
namespace {

// The folder the files go into; returns "<folder>: <reason>" when it cannot be made.
std::string MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error && std::filesystem::is_directory(folder, error)) return {};
  std::string message = folder.string();
  return message.append(": ").append(error ? error.message() : "not a folder");
}

}  // namespace

std::filesystem::path ChartFileName(ChartId id, std::string_view extension) {
  std::string name(RowOf(id).file_name);
  return name.append(extension);
}

std::string WriteChartTables(const std::filesystem::path& folder, const SurveyState& state,
                             const ChartSettings& settings, const std::string& surveyed_folder) {
  if (std::string error = MakeFolder(folder); !error.empty()) return error;
  for (const ChartId id : AllCharts()) {
    const std::string error = WriteChartTable(folder / ChartFileName(id, ".txt"), state, id,
                                              ChartTitle(id, settings.language), surveyed_folder, settings.rb_Real);
    if (!error.empty()) return error;
  }
  return {};
}

std::string WriteChartPictures(const std::filesystem::path& folder, const SurveyState& state,
                               const ChartSettings& settings, const ChartPictureWriter& write_picture) {
  if (std::string error = MakeFolder(folder); !error.empty()) return error;
  ChartSet charts;
  SetChartTexts(charts, settings.language);
  ResetChartSeries(charts);
  BuildChartSeries(charts, state, RebuildMode::kAll, settings);
  for (const ChartId id : AllCharts()) {
    if (std::string error = write_picture(charts[id], folder / ChartFileName(id, ".jpg")); !error.empty()) return error;
  }
  return {};
}

}  // namespace lumetra::cli
