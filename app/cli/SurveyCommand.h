#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/cli/ChartFiles.h"
#include "survey/FilterCriteria.h"
#include "survey/RecordsCache.h"
#include "survey/SurveyRun.h"

namespace lumetra::cli {

/// What `lumetra-cli survey` was asked for.
struct SurveyRequest {
  std::string folder;
  bool json = false;
  SurveyOptions options;
  /// The crop file; empty: the one in the program's folder, created from the built-in list when missing.
  std::string crop_file;
  /// Filter bounds as typed, "FROM:TO" with either side empty; empty: no bound.
  std::string exposure, fnumber, focal_range, iso;
  /// Capture-date bounds "YYYY-MM-DD:YYYY-MM-DD" and capture-hour bounds "22:4", either side empty.
  std::string date, hours;
  /// "yes", "no" or empty; "h", "v" or empty.
  std::string flash, orientation;
  /// Box names without their prefix ("Manual", "OtherP", "Multi_Segment", ...).
  std::vector<std::string> exclude_program, exclude_metering;
  std::vector<std::string> exclude_model, exclude_lens;
  /// Folders for the seventeen text tables and the seventeen chart pictures; empty: none written.
  std::string tables_folder, charts_folder;
  /// The file the records are written to as CSV; empty: none.
  std::string csv_file;
  /// Read every photo and leave the records cache as it is (`--no-cache`).
  bool no_cache = false;
  /// The records cache; empty: the one in the program's folder.
  std::string records_file;
  RecordsCacheOptions records_options;
  /// The bar charts' horizontal axis: text (true) or linear.
  bool rb_Text = true;
  /// Draws the pictures; a build without the chart views has none, and then refuses `charts_folder`.
  ChartPictureWriter write_picture;
};

/// Runs a survey of `request.folder` as the Run command does and prints the counters and the fifteen
/// tallies, as text or as one JSON object, then writes the chart tables and pictures asked for. Returns the
/// exit code: 0 after a survey, 2 with one line on `errors` for a bad filter bound or option or a folder
/// that cannot be read, 1 with one line naming the file and the reason when a table or picture cannot be
/// written or when the output could not be written.
int RunSurveyCommand(const SurveyRequest& request, std::ostream& out, std::ostream& errors);

/// The filter criteria of a request: bounds split at ":", boxes unchecked by name. Returns an error
/// message naming the option and the reason when a name is unknown or a bound is refused; empty when
/// the criteria are valid.
[[nodiscard]] std::string BuildCriteria(const SurveyRequest& request, FilterCriteria& criteria);

}  // namespace lumetra::cli
