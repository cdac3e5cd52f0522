#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "charts/BuildChartSeries.h"
#include "charts/ChartModel.h"
#include "survey/Tallies.h"

namespace lumetra::cli {

/// Draws one chart into a picture file; returns "<file>: <reason>" when the file cannot be written.
using ChartPictureWriter = std::function<std::string(const Chart& chart, const std::filesystem::path& file)>;

/// The file name of a chart's table or picture: its row's file name and `extension` ("Exposure.txt",
/// "F Number.jpg"), whatever the interface language.
[[nodiscard]] std::filesystem::path ChartFileName(ChartId id, std::string_view extension);

/// Writes the text table of every chart of the survey into `folder` (created when missing), titled in the
/// language of `settings`, naming `surveyed_folder` in their header. Returns the first failure as
/// "<file>: <reason>", empty when all were written.
[[nodiscard]] std::string WriteChartTables(const std::filesystem::path& folder, const SurveyState& state,
                                           const ChartSettings& settings, const std::string& surveyed_folder);

/// Builds every chart of the survey as the window shows them after a run and has `write_picture`
/// draw each into `folder` (created when missing). Returns the first failure, empty when all were written.
[[nodiscard]] std::string WriteChartPictures(const std::filesystem::path& folder, const SurveyState& state,
                                             const ChartSettings& settings, const ChartPictureWriter& write_picture);

}  // namespace lumetra::cli
