#include "app/SettingsFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "files/ReadOwnFile.h"
#include "files/ReplaceFile.h"

namespace lumetra {
namespace {

constexpr size_t kLineCount = 9;

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

}  // namespace

ProgramSettings ParseSettings(const std::vector<std::string>& lines) {
  const auto line = [&lines](size_t number) -> const std::string& {
    static const std::string kEmpty;
    return number <= lines.size() ? lines[number - 1] : kEmpty;
  };
  ProgramSettings settings;
  settings.folder = line(1);
  if (line(2) == "English") {
    settings.UiLanguage = kEnglish;
  } else if (line(2) == "Russian") {
    settings.UiLanguage = kRussian;
  }
  settings.rb_Real = line(3) != "35mm";
  settings.rb_Text = line(4) != "Linear";
  settings.cb_CF = line(5) == "KF = yes";
  settings.cb_SubFolders = line(6) != "Non SubFolders";
  settings.cb_HideLeft = line(7) != "Non Hide";
  // Anything but the exact text keeps the surveys as they were before the line existed.
  settings.formats = line(8) == "All formats" ? PhotoFormats::kAll : PhotoFormats::kJpeg;
  // Remembering costs nothing in results, so anything but the exact text keeps it on.
  settings.remember_photos = line(9) != "Forget photos";
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
  return ParseSettings(SplitLines(read.bytes));
}

std::string SettingsText(const ProgramSettings& settings) {
  const bool breaks_lines = settings.folder.find_first_of("\r\n") != std::string::npos;
  const std::string lines[kLineCount] = {
      breaks_lines ? std::string() : settings.folder,
      settings.UiLanguage == kRussian ? "Russian" : "English",
      settings.rb_Real ? "Real" : "35mm",
      settings.rb_Text ? "Text" : "Linear",
      settings.cb_CF ? "KF = yes" : "KF = no",
      settings.cb_SubFolders ? "SubFolders" : "Non SubFolders",
      settings.cb_HideLeft ? "Hide" : "Non Hide",
      settings.formats == PhotoFormats::kAll ? "All formats" : "JPEG only",
      settings.remember_photos ? "Remember photos" : "Forget photos",
  };
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
