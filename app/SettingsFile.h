#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "survey/Labels.h"
#include "survey/PhotoFormats.h"

namespace lumetra {

/// The settings file's name, in the program's folder.
inline constexpr std::string_view kSettingsFileName = "Lumetra.ini";

/// The user's choices kept from one start of the program to the next, as the nine lines of the
/// settings file hold them. The defaults are the window's design states (the file is missing).
struct ProgramSettings {
  /// The folder last selected in the folder tree; empty when none was.
  std::string folder;
  /// Nothing when the file names neither language, so that the window's own choice stays.
  std::optional<Language> UiLanguage;
  bool rb_Real = true;
  bool rb_Text = true;
  bool cb_CF = true;
  bool cb_SubFolders = true;
  bool cb_HideLeft = false;
  /// Line 8, "All formats" or "JPEG only": whether a run also takes HEIC/HEIF, AVIF and RAW files. Files
  /// written before the line existed have seven lines and keep JPEG only.
  PhotoFormats formats = PhotoFormats::kJpeg;
  /// Line 9, "Remember photos" or "Forget photos": whether a run keeps what it read in the records cache and
  /// opens only new and changed photos. Files written before the line existed have eight lines and remember.
  bool remember_photos = true;
};

/// The settings that the file's `lines` give, read as at start-up: every comparison is with the whole line,
/// exact and case-sensitive; a line that is none of its texts (damaged, or missing at the end of a short
/// file) keeps its default, the state of a fresh start; only an exact "All formats" in line 8 turns the
/// other formats on, and only an exact "Forget photos" in line 9 turns the records cache off. Line 1 is taken
/// as its bytes, UTF-8 or not; whether the tree may select it is
/// `IsSelectableFolder`'s question.
[[nodiscard]] ProgramSettings ParseSettings(const std::vector<std::string>& lines);

/// The settings file read: nullopt when it does not exist or cannot be read, so that every control keeps
/// its design state. Lines end in CR LF or LF. Something else under the name (a FIFO, a device, a file
/// larger than kOwnFileSizeLimit) is not read, and `refused` (when given) gets "<file>: <reason>", so
/// that the caller can say so once and leave the file as it is; it is left empty otherwise.
[[nodiscard]] std::optional<ProgramSettings> ReadSettingsFile(const std::filesystem::path& file,
                                                              std::string* refused = nullptr);

/// The nine lines of `settings`, each ending in CR LF. Line 1 is written empty when the folder holds a
/// CR or LF, which would break the file's lines apart.
[[nodiscard]] std::string SettingsText(const ProgramSettings& settings);

/// Replaces `file` whole by `SettingsText(settings)` (written beside, renamed over): a failed write
/// leaves the old file as it was. Returns "<file>: <reason>" on failure, nothing on success.
[[nodiscard]] std::optional<std::string> WriteSettingsFile(const std::filesystem::path& file,
                                                           const ProgramSettings& settings);

/// Whether the tree may select `folder` at start-up: an absolute path of an existing folder that is none
/// of `special_folders` (the user's desktop and documents folders, compared as exact texts).
[[nodiscard]] bool IsSelectableFolder(const std::string& folder, const std::vector<std::string>& special_folders);

}  // namespace lumetra
