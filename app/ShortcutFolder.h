#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

/// The file in the shortcut folder that records the shortcuts made there (name, link and target), so that
/// a later use, in this run of the program or another, removes those and no link of anyone else.
inline constexpr std::string_view kShortcutRecordName = ".lumetra-shortcuts";

/// The folder the shortcut list is made in: "TEMP" in the program's folder.
[[nodiscard]] std::filesystem::path ShortcutFolderPath(const std::filesystem::path& program_folder);

/// The file names of the shortcuts of `photo_paths`, in the same order: the photo's file name with
/// ".lnk" appended ("IMG_0001.JPG.lnk"); a name met before (ignoring the case of A to Z, as Windows
/// does) is numbered from 2 on ("IMG_0001.JPG (2).lnk"), so every photo keeps a shortcut of its own.
/// Names in `taken` (compared the same way) are never given.
[[nodiscard]] std::vector<std::string> ShortcutNames(const std::vector<std::string>& photo_paths,
                                                     const std::vector<std::string>& taken = {});

/// What making the shortcut list came to.
struct ShortcutListResult {
  /// "<folder>: <reason>" when the folder could not be made or used; then no shortcut was made or removed.
  std::string folder_failure;
  /// The folder is a symbolic link: it was not used (part of `folder_failure`).
  bool folder_is_link = false;
  /// The shortcuts made, in the order of the photos.
  int made = 0;
  /// "<shortcut>: <reason>" for each shortcut that could not be made; the others were made.
  std::vector<std::string> failures;

  [[nodiscard]] bool ok() const { return folder_failure.empty() && failures.empty(); }
};

/// Fills `folder` (created when missing, not its parents) with one shortcut per photo of `photo_paths`:
/// a symbolic link named as `ShortcutNames` says, pointing to the photo's path. Only the shortcuts an
/// earlier use made are removed first: those `kShortcutRecordName` lists that are still the same links to
/// the same photos. Other links (named ".lnk" or not), files and sub-folders are left alone, and a name
/// they occupy is skipped for the next number. A shortcut is made under a temporary name and renamed into
/// place, so a shortcut of the same name is replaced whole. A `folder` that is a symbolic link is refused
/// whole: nothing is made or removed wherever it leads.
[[nodiscard]] ShortcutListResult MakeShortcutList(const std::filesystem::path& folder,
                                                  const std::vector<std::string>& photo_paths);

}  // namespace lumetra
