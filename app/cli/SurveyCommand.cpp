#include "app/cli/SurveyCommand.h"

#include <sys/stat.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/cli/FinishOutput.h"
#include "app/cli/JsonPath.h"
#include "app/cli/RecordsCsv.h"
#include "app/cli/RecordsJson.h"
#include "app/platform/ProgramFolder.h"
#include "crop/CropStore.h"
#include "files/ReplaceFile.h"
#include "filter/ApplyChecks.h"
#include "survey/RecordsCache.h"
#include "survey/SurveyTexts.h"
#include "text/TextEncoding.h"

namespace lumetra::cli {
namespace {

// Unchecks the boxes of `group` named in `names`; an error naming the option for a name of no such box.
std::string Uncheck(const std::vector<std::string>& names, BoxGroup group, const char* option,
                    FilterCriteria& criteria) {
  for (const std::string& name : names) {
    const auto box = std::find_if(kCategoryBoxes.begin(), kCategoryBoxes.end(),
                                  [&](const CategoryBox& box) { return box.group == group && box.name == name; });
    if (box == kCategoryBoxes.end()) return std::string(option) + ": unknown name '" + name + "'";
    criteria.*box->box = false;
  }
  return {};
}

// "FROM:TO" into the two bound texts; either side may be empty.
std::string SplitBounds(const std::string& range, const char* option, std::string& from, std::string& to) {
  if (range.empty()) return {};
  const size_t colon = range.find(':');
  if (colon == std::string::npos) return std::string(option) + ": expected FROM:TO, got '" + range + "'";
  from = range.substr(0, colon);
  to = range.substr(colon + 1);
  return {};
}

std::string Dump(const nlohmann::ordered_json& json) {
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// One JSON object, the records written one by one as they are read back from the store rather than held
// as one tree: a survey of a hundred thousand photos prints without holding its whole output.
void WriteSurveyJson(const std::string& folder, const SurveyState& state, const std::vector<SkippedEntry>& skipped,
                     std::ostream& out) {
  nlohmann::ordered_json folder_json;
  AddJsonPath(folder_json, "folder", folder);
  out << "{";
  for (const auto& [name, value] : folder_json.items()) {
    out << (name == "folder" ? "" : ",\n") << Dump(name) << ": " << Dump(value);
  }
  out << ",\n\"processed\": " << state.processedCount << ",\n\"filtered\": " << state.filteredCount
      << ",\n\"records\": [";
  // One text reused for every record: a record costs no tree, copy or allocation of its own.
  std::string record;
  for (size_t i = 0; i < state.Photos.size(); ++i) {
    record.assign(i == 0 ? "\n" : ",\n");
    AppendRecordJson(state.Photos, i, record);
    out << record;
  }
  nlohmann::ordered_json tallies;
  for (const auto& [name, rows] : state.AllTallies()) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const myRecord& row : *rows) list.push_back({row.text, row.count});
    tallies[name] = std::move(list);
  }
  const ValueRanges& ranges = state.CurrentRanges;
  const nlohmann::ordered_json range_json = {{"shutter", {ranges.shutter_min, ranges.shutter_max}},
                                             {"fNumber", {ranges.fnumber_min, ranges.fnumber_max}},
                                             {"focal", {ranges.focal_min, ranges.focal_max}},
                                             {"focal35", {ranges.focal35_min, ranges.focal35_max}},
                                             {"iso", {ranges.iso_min, ranges.iso_max}}};
  nlohmann::ordered_json unknown = nlohmann::ordered_json::array();
  for (const UnknownCamera& camera : state.UnknownCameras) unknown.push_back({camera.make, camera.model});
  nlohmann::ordered_json skipped_json = nlohmann::ordered_json::array();
  for (const SkippedEntry& entry : skipped) {
    nlohmann::ordered_json item;
    AddJsonPath(item, "path", entry.path);
    item["reason"] = entry.reason;
    skipped_json.push_back(std::move(item));
  }
  out << "],\n\"tallies\": " << Dump(tallies) << ",\n\"ranges\": " << Dump(range_json)
      << ",\n\"unknownCameras\": " << Dump(unknown) << ",\n\"skipped\": " << Dump(skipped_json) << "}\n";
}

// Two-line labels print on one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = ' ';
  }
  return text;
}

void PrintText(const std::string& folder, const SurveyState& state, Language language, std::ostream& out) {
  out << EscapedControls(folder) << '\n'
      << ProcessedText(state.processedCount, language) << '\n'
      << FilteredText(state.filteredCount, language) << '\n';
  for (const auto& [name, rows] : state.AllTallies()) {
    out << '\n' << name << ":\n";
    for (const myRecord& row : *rows) out << "  " << EscapedControls(OneLine(row.text)) << '\t' << row.count << '\n';
  }
  if (!state.UnknownCameras.empty()) {
    out << "\nunknown cameras:\n";
    for (const UnknownCamera& camera : state.UnknownCameras) {
      out << "  " << EscapedControls(camera.make) << '\t' << EscapedControls(camera.model) << '\n';
    }
  }
}

// The filter dialog's Apply checks, told as one line naming the option: a painted box is a refused bound,
// an unpainted failure a bound of 0.
std::string CheckBounds(FilterCriteria& criteria) {
  const ApplyCheckResult result = CheckApply(criteria, 0);
  if (result.valid) return {};
  const struct {
    const char* option;
    bool painted;
    const std::string& from;
    const std::string& to;
    const char* expected;
    // Hour 0 is midnight; a zero bound is refused elsewhere only.
    bool zero_refused = true;
  } pairs[] = {
      {"--exposure", result.painted.ed_from1 || result.painted.ed_to1, criteria.ed_from1, criteria.ed_to1,
       "times in seconds (0.5) or as 1/N (1/250), the lower not above the upper"},
      {"--fnumber", result.painted.ed_from2 || result.painted.ed_to2, criteria.ed_from2, criteria.ed_to2,
       "F-numbers such as 2.8, the lower not above the upper"},
      {"--focal-range", result.painted.ed_from3 || result.painted.ed_to3, criteria.ed_from3, criteria.ed_to3,
       "whole millimetres, at most 6 digits, the lower not above the upper"},
      {"--iso", result.painted.ed_from4 || result.painted.ed_to4, criteria.ed_from4, criteria.ed_to4,
       "whole numbers, at most 6 digits, the lower not above the upper"},
      {"--date", result.painted.ed_from5 || result.painted.ed_to5, criteria.ed_from5, criteria.ed_to5,
       "days as YYYY-MM-DD from 1900 to 2100, the first not after the last", false},
      {"--hours", result.painted.ed_from6 || result.painted.ed_to6, criteria.ed_from6, criteria.ed_to6,
       "whole hours 0 to 23; 22:4 spans midnight", false},
  };
  for (const auto& pair : pairs) {
    if (pair.painted)
      return std::string(pair.option) + ": refused " + pair.from + ":" + pair.to + " (expected " + pair.expected + ")";
  }
  for (const auto& pair : pairs) {
    if (!pair.zero_refused) continue;
    if ((!pair.from.empty() && IsZeroText(pair.from)) || (!pair.to.empty() && IsZeroText(pair.to))) {
      return std::string(pair.option) + ": a bound of 0 is refused";
    }
  }
  return "the filter was refused";
}

// What the walk passed over, one line each up to kSkippedLinesShown, then how many more.
void ReportSkipped(const std::vector<SkippedEntry>& skipped, std::ostream& errors) {
  constexpr size_t kSkippedLinesShown = 20;
  for (size_t i = 0; i < std::min(skipped.size(), kSkippedLinesShown); ++i) {
    errors << "lumetra-cli survey: not read: " << EscapedControls(skipped[i].path) << ": "
           << EscapedControls(skipped[i].reason) << '\n';
  }
  if (skipped.size() > kSkippedLinesShown) {
    errors << "lumetra-cli survey: not read: " << skipped.size() - kSkippedLinesShown << " more folders and files\n";
  }
}

bool IsReadableFolder(const std::string& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The records as CSV, the tables and pictures asked for, in the survey's language and focal mode; the
// tables name the surveyed folder by its full path.
int WriteChartFiles(const SurveyRequest& request, const SurveyState& state, std::ostream& errors) {
  const ChartSettings settings{
      .rb_Real = request.options.rb_Real, .rb_Text = request.rb_Text, .language = request.options.language};
  std::error_code ignored;
  std::filesystem::path full_path = std::filesystem::absolute(request.folder, ignored).lexically_normal();
  if (!full_path.has_filename() && full_path.has_relative_path()) full_path = full_path.parent_path();
  const std::string surveyed_folder = full_path.string();
  std::string error;
  if (!request.csv_file.empty()) {
    if (const std::optional<std::string> failure =
            ReplaceFile(request.csv_file, RecordsCsv(state.Photos), LinkAtPath::kReplaceTheLink)) {
      error = request.csv_file + ": " + *failure;
    }
  }
  if (error.empty() && !request.tables_folder.empty())
    error = WriteChartTables(request.tables_folder, state, settings, surveyed_folder);
  if (error.empty() && !request.charts_folder.empty()) {
    error = WriteChartPictures(request.charts_folder, state, settings, request.write_picture);
  }
  if (error.empty()) return 0;
  errors << "lumetra-cli survey: " << EscapedControls(error) << '\n';
  return 1;
}

}  // namespace

std::string BuildCriteria(const SurveyRequest& request, FilterCriteria& criteria) {
  const std::pair<const std::string*, std::pair<std::string*, std::string*>> ranges[] = {
      {&request.exposure, {&criteria.ed_from1, &criteria.ed_to1}},
      {&request.fnumber, {&criteria.ed_from2, &criteria.ed_to2}},
      {&request.focal_range, {&criteria.ed_from3, &criteria.ed_to3}},
      {&request.iso, {&criteria.ed_from4, &criteria.ed_to4}},
      {&request.date, {&criteria.ed_from5, &criteria.ed_to5}},
      {&request.hours, {&criteria.ed_from6, &criteria.ed_to6}},
  };
  const char* const options[] = {"--exposure", "--fnumber", "--focal-range", "--iso", "--date", "--hours"};
  for (size_t i = 0; i < std::size(ranges); ++i) {
    const std::string error =
        SplitBounds(*ranges[i].first, options[i], *ranges[i].second.first, *ranges[i].second.second);
    if (!error.empty()) return error;
  }
  if (request.flash == "yes") {
    criteria.rb_Flash_Yes = true;
  } else if (request.flash == "no") {
    criteria.rb_Flash_No = true;
  } else if (!request.flash.empty()) {
    return "--flash: expected yes or no, got '" + request.flash + "'";
  }
  if (request.orientation == "h") {
    criteria.rb_Orientation_H = true;
  } else if (request.orientation == "v") {
    criteria.rb_Orientation_V = true;
  } else if (!request.orientation.empty()) {
    return "--orientation: expected h or v, got '" + request.orientation + "'";
  }
  if (std::string error = Uncheck(request.exclude_program, BoxGroup::kProgram, "--exclude-program", criteria);
      !error.empty()) {
    return error;
  }
  if (std::string error = Uncheck(request.exclude_metering, BoxGroup::kMetering, "--exclude-metering", criteria);
      !error.empty()) {
    return error;
  }
  criteria.ModelExclusions = request.exclude_model;
  criteria.LensExclusions = request.exclude_lens;
  return CheckBounds(criteria);
}

int RunSurveyCommand(const SurveyRequest& request, std::ostream& out, std::ostream& errors) {
  FilterCriteria criteria;
  if (const std::string error = BuildCriteria(request, criteria); !error.empty()) {
    errors << "lumetra-cli survey: " << EscapedControls(error) << '\n';
    return 2;
  }
  if (!request.charts_folder.empty() && !request.write_picture) {
    errors << "lumetra-cli survey: --charts: this build of lumetra-cli draws no charts\n";
    return 2;
  }
  if (request.folder.empty()) {
    errors << "lumetra-cli survey: the folder to survey is an empty text\n";
    return 2;
  }
  if (!IsReadableFolder(request.folder)) {
    errors << "lumetra-cli survey: " << EscapedControls(request.folder) << ": not a folder that can be read\n";
    return 2;
  }
  const std::filesystem::path crop_path =
      request.crop_file.empty() ? ProgramFolder() / kCropFileName : std::filesystem::path(request.crop_file);
  CropStore crops;
  // A crop file that cannot be read or seeded costs the stored factors, not the survey.
  if (const CropFileResult loaded = LoadCropStore(crops, crop_path, '.'); !loaded.ok()) {
    errors << "lumetra-cli survey: warning: " << EscapedControls(loaded.Message()) << '\n';
  }
  const auto crop_factor = [&crops](const std::string& make, const std::string& model) {
    return StoredCropFactor(crops, make, model);
  };

  // Without the cache (or with a broken one) every photo is read: it costs time, never a record.
  SurveyOptions options = request.options;
  std::optional<RecordsCache> records;
  if (!request.no_cache) {
    records.emplace(request.records_file.empty() ? (ProgramFolder() / kRecordsFileName).string() : request.records_file,
                    request.records_options);
    options.records = &*records;
  }
  SurveyState state(request.options.language);
  const std::atomic<bool> stop_requested{false};
  const WalkResult walk = RunSurvey(request.folder, options, state, criteria, crop_factor, WalkHooks{}, stop_requested);
  if (records && !records->problem().empty()) {
    errors << "lumetra-cli survey: warning: " << EscapedControls(records->problem()) << '\n';
  }
  if (walk.root_unreadable) {
    errors << "lumetra-cli survey: " << EscapedControls(request.folder) << ": the folder cannot be listed\n";
    return 2;
  }
  ReportSkipped(walk.skipped, errors);
  if (request.json) {
    WriteSurveyJson(request.folder, state, walk.skipped, out);
  } else {
    PrintText(request.folder, state, request.options.language, out);
  }
  return FinishOutput(out, errors, WriteChartFiles(request, state, errors));
}

}  // namespace lumetra::cli
