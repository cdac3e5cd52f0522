// lumetra-cli: the headless front end on the same engine as the desktop program.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/FinishOutput.h"
#include "app/cli/SurveyCommand.h"
#include "app/cli/TagsCommand.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoFormats.h"
#include "text/TextEncoding.h"

#ifdef LUMETRA_CLI_CHARTS
#include <optional>

#include <QApplication>

#include "app/cli/ChartPictures.h"
#include "widgets/QtMessages.h"
#endif

namespace {

// Bad options and missing arguments end with exit code 2 and one line on stderr.
constexpr int kUsageError = 2;

#ifndef LUMETRA_CLI_CHARTS
// Drawing charts needs Qt, whose loading would cost every other command most of its start-up; the same
// command line is handed to the build of this program with the chart views, installed beside it.
int RunWithChartViews(char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path charts_program = self.parent_path() / "lumetra-cli-charts";
  ::execv(charts_program.c_str(), argv);
  std::cerr << "lumetra-cli survey: --charts: " << charts_program.string() << ": " << std::strerror(errno) << '\n';
  return kUsageError;
}
#endif

// The survey options that are not fields of the request as they are typed.
struct SurveyChoices {
  std::string language = "en";
  std::string focal_mode = "real";
  std::string axis = "text";
  std::string formats = "jpeg";
  bool no_subfolders = false;
  bool no_unknown = false;
};

// The names the command line takes for the boxes of `group`: "Manual, Aperture, ...".
std::string BoxNames(lumetra::BoxGroup group) {
  std::string names;
  for (const lumetra::CategoryBox& box : lumetra::kCategoryBoxes) {
    if (box.group != group) continue;
    if (!names.empty()) names += ", ";
    names += box.name;
  }
  return names;
}

CLI::App* AddTagsCommand(CLI::App& app, lumetra::cli::TagsOptions& options, std::vector<std::string>& files) {
  CLI::App* tags = app.add_subcommand("tags", "List the tags the metadata reader sees in each file");
  tags->add_flag("--json", options.json, "Print a JSON array, one object per file");
  tags->add_flag("--iptc", options.iptc, "Also list the IPTC datasets of the first APP13 segment");
  tags->add_option("FILE", files, "Photo files: JPEG, TIFF and TIFF-based RAW, RW2, RAF, HEIC/HEIF, AVIF, CR3")
      ->required();
  return tags;
}

// The survey's settings: language, focal length, folders, photo formats, crop factors and reading threads.
void AddSurveySettings(CLI::App& survey, lumetra::cli::SurveyRequest& request, SurveyChoices& choices) {
  survey.add_option("FOLDER", request.folder, "The folder of photos")->required();
  survey.add_flag("--json", request.json, "Print one JSON object");
  survey.add_option("--lang", choices.language, "Language of the labels")->check(CLI::IsMember({"en", "ru"}));
  survey.add_option("--focal", choices.focal_mode, "Focal length the focal bounds, tables and charts use")
      ->check(CLI::IsMember({"real", "35mm"}));
  survey.add_flag("--no-subfolders", choices.no_subfolders, "Do not walk the sub-folders");
  survey
      .add_option("--formats", choices.formats,
                  "Photo files to survey: jpeg, the default (.jpg, .jpeg), or all (also HEIC/HEIF, AVIF and RAW; a RAW "
                  "file beside a JPEG of the same name is counted once, as the JPEG)")
      ->check(CLI::IsMember({"jpeg", "all"}));
  survey.add_flag("--no-unknown", choices.no_unknown, "Do not collect cameras without a crop factor");
  survey.add_option("--crop-file", request.crop_file, "The crop-factor file");
  survey.add_flag("--no-cache", request.no_cache,
                  "Read every photo and leave the records cache (Lumetra_Records.db) as it is");
  survey.add_option("--csv", request.csv_file, "Write the records to this file as CSV (UTF-8, a header row)");
  survey
      .add_option("--threads", request.options.reader_threads,
                  "Threads that read the photos, the walk's own included: 0 (the default) one per usable core, at "
                  "most 4; 1 each photo as the walk reaches it")
      ->check(CLI::Validator(
          [](const std::string& text) -> std::string {
            const bool digits = !text.empty() && text.size() <= 2 &&
                                std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (digits && std::stoi(text) <= 64) return {};
            return "expected a whole number from 0 to 64, got '" + text + "'";
          },
          "0..64"));
}

// The filter, as the filter dialog would set it.
void AddSurveyFilter(CLI::App& survey, lumetra::cli::SurveyRequest& request) {
  survey.add_option("--exposure", request.exposure, "Exposure-time bounds FROM:TO (1/250:1/60)");
  survey.add_option("--fnumber", request.fnumber, "F-number bounds FROM:TO");
  survey.add_option("--focal-range", request.focal_range, "Focal-length bounds FROM:TO, millimetres");
  survey.add_option("--iso", request.iso, "ISO bounds FROM:TO");
  survey.add_option("--date", request.date, "Capture-date bounds FROM:TO (2019-03-01:2019-08-31)");
  survey.add_option("--hours", request.hours, "Capture-hour bounds FROM:TO, 0-23 (22:4 spans midnight)");
  survey.add_option("--flash", request.flash, "Only photos with (yes) or without (no) flash");
  survey.add_option("--orientation", request.orientation, "Only horizontal (h) or vertical (v) photos");
  survey.add_option("--exclude-program", request.exclude_program,
                    "Leave out an exposure program: " + BoxNames(lumetra::BoxGroup::kProgram));
  survey.add_option("--exclude-metering", request.exclude_metering,
                    "Leave out a metering mode: " + BoxNames(lumetra::BoxGroup::kMetering));
  survey.add_option("--exclude-model", request.exclude_model, "Leave out a camera model");
  survey.add_option("--exclude-lens", request.exclude_lens, "Leave out a lens");
}

// The chart files.
void AddSurveyCharts(CLI::App& survey, lumetra::cli::SurveyRequest& request, SurveyChoices& choices) {
  survey.add_option("--tables", request.tables_folder,
                    "Write the seventeen chart tables (Windows-1251 text) into this folder");
  survey.add_option("--charts", request.charts_folder, "Write the seventeen charts as JPEG pictures into this folder");
  survey.add_option("--axis", choices.axis, "Horizontal axis of the bar charts")
      ->check(CLI::IsMember({"text", "linear"}));
}

void ApplyChoices(const SurveyChoices& choices, lumetra::cli::SurveyRequest& request) {
  request.options.language = choices.language == "ru" ? lumetra::kRussian : lumetra::kEnglish;
  request.options.rb_Real = choices.focal_mode == "real";
  request.options.cb_SubFolders = !choices.no_subfolders;
  request.options.formats = choices.formats == "all" ? lumetra::PhotoFormats::kAll : lumetra::PhotoFormats::kJpeg;
  request.options.cb_CF = !choices.no_unknown;
  request.rb_Text = choices.axis == "text";
}

int RunSurvey(lumetra::cli::SurveyRequest& request, int argc, char** argv) {
#ifdef LUMETRA_CLI_CHARTS
  // Charts are drawn by Qt, which needs an application object; its off-screen platform draws them without
  // depending on a display, whatever platform the environment names.
  std::optional<QApplication> application;
  if (!request.charts_folder.empty()) {
    lumetra::cli::UseOffscreenPlatform();
    lumetra::InstallQtMessageFilter();
    application.emplace(argc, argv);
    request.write_picture = lumetra::cli::WriteChartPicture;
  }
#else
  (void)argc;
  if (!request.charts_folder.empty()) return RunWithChartViews(argv);
#endif
  return lumetra::cli::RunSurveyCommand(request, std::cout, std::cerr);
}

}  // namespace

// Puts `recording` in front of the standard output for the scope of this object.
class RecordedStandardOutput {
 public:
  explicit RecordedStandardOutput(lumetra::cli::FailureRecordingBuffer& recording)
      : original_(std::cout.rdbuf(&recording)) {}
  RecordedStandardOutput(const RecordedStandardOutput&) = delete;
  RecordedStandardOutput& operator=(const RecordedStandardOutput&) = delete;
  ~RecordedStandardOutput() { std::cout.rdbuf(original_); }

 private:
  std::streambuf* original_;
};

int main(int argc, char** argv) {
  // A write that fails part-way through a long output keeps its reason for the last line on stderr.
  lumetra::cli::FailureRecordingBuffer recording(std::cout.rdbuf());
  const RecordedStandardOutput recorded(recording);
  CLI::App app{"Lumetra: how a folder of photos was taken, from their Exif data"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("lumetra-cli ") + LUMETRA_VERSION, "Print the version and exit");

  lumetra::cli::TagsOptions tags_options;
  std::vector<std::string> tags_files;
  CLI::App* tags = AddTagsCommand(app, tags_options, tags_files);

  lumetra::cli::SurveyRequest survey_request;
  SurveyChoices choices;
  CLI::App* survey = app.add_subcommand("survey", "Survey a folder as the Run command does and print the tallies");
  AddSurveySettings(*survey, survey_request, choices);
  AddSurveyFilter(*survey, survey_request);
  AddSurveyCharts(*survey, survey_request, choices);

  // Left to the parser, a word that names no command would be answered "A subcommand is required".
  const std::vector<CLI::App*> commands = app.get_subcommands([](CLI::App*) { return true; });
  if (argc > 1 && argv[1][0] != '-' && std::none_of(commands.begin(), commands.end(), [&](CLI::App* command) {
        return command->get_name() == argv[1];
      })) {
    std::cerr << "lumetra-cli: unknown command '" << lumetra::EscapedControls(argv[1]) << "' (try --help)\n";
    return kUsageError;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    std::cout << version.what() << '\n';
    return lumetra::cli::FinishOutput(std::cout, std::cerr, 0);
  } catch (const CLI::ParseError& error) {
    // The parser's message quotes the words it refused: they stay on the message's one line.
    std::cerr << "lumetra-cli: " << lumetra::EscapedControls(error.what()) << " (try --help)\n";
    return kUsageError;
  }

  if (tags->parsed()) return lumetra::cli::RunTagsCommand(tags_files, tags_options, std::cout, std::cerr);
  if (survey->parsed()) {
    ApplyChoices(choices, survey_request);
    return RunSurvey(survey_request, argc, argv);
  }
  return kUsageError;
}
