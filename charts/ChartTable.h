#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "charts/ChartModel.h"
#include "survey/Tallies.h"

namespace lumetra {

/// The tally chart `id` shows and its text table lists: by `rb_Real` for the focal chart, every other
/// chart its own; all rows, those of count 0 and those a pie groups included.
[[nodiscard]] const std::vector<myRecord>& ChartTally(const SurveyState& state, ChartId id, bool rb_Real);

/// The text table of `rows` as it is written to the file: Windows-1251 bytes, every line ended by CR LF,
/// two Russian header lines naming the chart `title` and the `folder`, then one line per row: its text
/// exactly as the tally holds it (a two-line label keeps its CR), a TAB and its count.
[[nodiscard]] std::string ChartTableText(const std::string& title, const std::string& folder,
                                         const std::vector<myRecord>& rows);

/// Writes the table of chart `id` to `file` (the name as given; see `WithExtension`), replacing the file
/// whole; a link at `file` is replaced, never the file it leads to. Returns "<file>: <reason>" when it cannot be
/// written, empty on success.
[[nodiscard]] std::string WriteChartTable(const std::filesystem::path& file, const SurveyState& state, ChartId id,
                                          const std::string& title, const std::string& folder, bool rb_Real);

/// `file` with `extension` (".jpg", ".txt") appended, unless its name already ends with it in any case.
[[nodiscard]] std::filesystem::path WithExtension(const std::filesystem::path& file, std::string_view extension);

}  // namespace lumetra
