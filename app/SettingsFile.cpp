#include "app/SettingsFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "files/ReadOwnFile.h"
#include "files/ReplaceFile.h"
#include "text/TextLines.h"

namespace lumetra {
namespace {

// A line that holds one of two choices, its two texts written here once for reading and writing. A line
// that is exactly neither text (empty, damaged, missing from a short file) keeps the field's default, the
// state of a fresh start: a damaged file never turns a choice the other way.
struct ChoiceLine {
  size_t number;
  bool ProgramSettings::*field;
  std::string_view when_true;
  std::string_view when_false;
};

// Lines 3 to 7 and 9. Remembering photos costs nothing in results: line 9 is on unless it says "Forget photos".
constexpr ChoiceLine kChoiceLines[] = {
    {3, &ProgramSettings::rb_Real, "Real", "35mm"},
    {4, &ProgramSettings::rb_Text, "Text", "Linear"},
    {5, &ProgramSettings::cb_CF, "KF = yes", "KF = no"},
    {6, &ProgramSettings::cb_SubFolders, "SubFolders", "Non SubFolders"},
    {7, &ProgramSettings::cb_HideLeft, "Hide", "Non Hide"},
    {9, &ProgramSettings::remember_photos, "Remember photos", "Forget photos"},
};

constexpr size_t kLanguageLine = 2;
constexpr std::pair<Language, std::string_view> kLanguageTexts[] = {{kRussian, "Russian"}, {kEnglish, "English"}};

constexpr size_t kFormatsLine = 8;
constexpr std::string_view kAllFormats = "All formats";
constexpr std::string_view kJpegOnly = "JPEG only";

// The lines a file is written with: up to the last one any row names.
constexpr size_t kLineCount = [] {
  size_t last = std::max(kLanguageLine, kFormatsLine);
  for (const ChoiceLine& choice : kChoiceLines) last = std::max(last, choice.number);
  return last;
}();

}  // namespace

ProgramSettings ParseSettings(const std::vector<std::string>& lines) {
  const auto line = [&lines](size_t number) -> const std::string& {
    static const std::string kEmpty;
    return number <= lines.size() ? lines[number - 1] : kEmpty;
  };
  ProgramSettings settings;
  settings.folder = line(1);
  for (const auto& [language, text] : kLanguageTexts) {
    if (line(kLanguageLine) == text) settings.UiLanguage = language;
  }
  for (const ChoiceLine& choice : kChoiceLines) {
    const std::string& text = line(choice.number);
    if (text == choice.when_true) settings.*choice.field = true;
    if (text == choice.when_false) settings.*choice.field = false;
  }
  // Anything but the exact text keeps the surveys as they were before the line existed.
  settings.formats = line(kFormatsLine) == kAllFormats ? PhotoFormats::kAll : PhotoFormats::kJpeg;
  return settings;
}

std::optional<ProgramSettings> ReadSettingsFile(const std::filesystem::path& file, std::string* refused) {
  const OwnFileRead read = ReadOwnFile(file);
  if (read.outcome == OwnFileRead::Outcome::kRefused && refused != nullptr) {
    *refused = file.string() + ": not read (" + read.reason +
               "): the settings are the defaults and the file is "
               "left as it is";
  }
  if (read.outcome != OwnFileRead::Outcome::kRead) return std::nullopt;
  const std::vector<std::string_view> lines = SplitLines(read.bytes);
  return ParseSettings({lines.begin(), lines.end()});
}

std::string SettingsText(const ProgramSettings& settings) {
  std::string lines[kLineCount];
  // A folder with a line break would break the file's lines apart.
  const bool breaks_lines = settings.folder.find_first_of("\r\n") != std::string::npos;
  lines[0] = breaks_lines ? std::string() : settings.folder;
  // A language the file did not name is written as English, the window's own choice.
  for (const auto& [language, text] : kLanguageTexts) {
    if (language == settings.UiLanguage.value_or(kEnglish)) lines[kLanguageLine - 1] = text;
  }
  for (const ChoiceLine& choice : kChoiceLines) {
    lines[choice.number - 1] = settings.*choice.field ? choice.when_true : choice.when_false;
  }
  lines[kFormatsLine - 1] = settings.formats == PhotoFormats::kAll ? kAllFormats : kJpegOnly;
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::optional<std::string> WriteSettingsFile(const std::filesystem::path& file, const ProgramSettings& settings) {
  if (std::optional<std::string> reason = ReplaceFile(file, SettingsText(settings))) {
    return file.string() + ": " + *reason;
  }
  return std::nullopt;
}

bool IsSelectableFolder(const std::string& folder, const std::vector<std::string>& special_folders) {
  if (folder.empty() || !std::filesystem::path(folder).is_absolute()) return false;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return false;
  return std::find(special_folders.begin(), special_folders.end(), folder) == special_folders.end();
}

}  // namespace lumetra
