#include "app/ShortcutFolder.h"

#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "text/TextEncoding.h"

namespace lumetra {
namespace {

constexpr std::string_view kShortcutExtension = ".lnk";
// A new shortcut is made under this prefix and then renamed into place. It ends in ".lnk" like the
// shortcut, so one left behind by a failed rename is ours and goes at the next use.
constexpr std::string_view kTemporaryPrefix = ".new";

// Windows compares file names without regard to the case of A to Z; so do we, so that the shortcuts
// are the same on every file system.
std::string FoldedName(std::string_view name) { return LowerAscii(name); }

std::string NumberedName(const std::string& photo_name, int number) {
  std::string name = photo_name;
  if (number > 1) name.append(" (").append(std::to_string(number)).append(")");
  return name.append(kShortcutExtension);
}

bool IsOurShortcut(const std::filesystem::directory_entry& entry) {
  std::error_code error;
  return entry.is_symlink(error) && FoldedName(entry.path().filename().string()).ends_with(kShortcutExtension);
}

std::string Failure(const std::filesystem::path& path, const std::string& reason) {
  std::string message = path.string();
  return message.append(": ").append(reason);
}

}  // namespace

std::filesystem::path ShortcutFolderPath(const std::filesystem::path& program_folder) {
  return program_folder / "TEMP";
}

std::vector<std::string> ShortcutNames(const std::vector<std::string>& photo_paths,
                                       const std::vector<std::string>& taken) {
  std::unordered_set<std::string> used;
  for (const std::string& name : taken) used.insert(FoldedName(name));
  // The next number to try for each photo name, so that many photos of one name cost no more than one.
  std::unordered_map<std::string, int> next_number;
  std::vector<std::string> names;
  names.reserve(photo_paths.size());
  for (const std::string& path : photo_paths) {
    const std::string photo_name = std::filesystem::path(path).filename().string();
    int& number = next_number.try_emplace(FoldedName(photo_name), 1).first->second;
    std::string name = NumberedName(photo_name, number);
    while (!used.insert(FoldedName(name)).second) name = NumberedName(photo_name, ++number);
    ++number;
    names.push_back(std::move(name));
  }
  return names;
}

ShortcutListResult MakeShortcutList(const std::filesystem::path& folder, const std::vector<std::string>& photo_paths) {
  namespace fs = std::filesystem;
  ShortcutListResult result;
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    // A file of that name is not ours to replace.
    if (fs::exists(fs::symlink_status(folder, error))) {
      result.folder_failure = Failure(folder, "a file of that name is in the way");
      return result;
    }
    error.clear();
    if (fs::create_directory(folder, error); error) {
      result.folder_failure = Failure(folder, error.message());
      return result;
    }
  }

  // Our old shortcuts, and the names that belong to anything else.
  std::vector<fs::path> old_shortcuts;
  std::vector<std::string> taken;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    if (IsOurShortcut(*entry)) {
      old_shortcuts.push_back(entry->path());
    } else {
      taken.push_back(entry->path().filename().string());
    }
  }
  // Without the whole listing a new shortcut might land on a file that is not ours.
  if (error) {
    result.folder_failure = Failure(folder, error.message());
    return result;
  }

  const std::vector<std::string> names = ShortcutNames(photo_paths, taken);
  std::unordered_set<std::string> new_names(names.begin(), names.end());
  std::unordered_set<std::string> occupied;  // folded: every name that a temporary one must not take
  for (const std::string& name : taken) occupied.insert(FoldedName(name));
  for (const std::string& name : names) occupied.insert(FoldedName(name));
  // Shortcuts of an earlier use that this one does not replace by name. A failure is no reason to stop.
  for (const fs::path& shortcut : old_shortcuts) {
    if (!new_names.contains(shortcut.filename().string())) fs::remove(shortcut, error);
  }

  for (size_t i = 0; i < names.size(); ++i) {
    const fs::path shortcut = folder / names[i];
    std::string temporary_name;
    for (int attempt = 0; temporary_name.empty() || occupied.contains(FoldedName(temporary_name)); ++attempt) {
      temporary_name = std::string(kTemporaryPrefix);
      if (attempt > 0) temporary_name.append(std::to_string(attempt));
      temporary_name.append("-").append(names[i]);
    }
    const fs::path temporary = folder / temporary_name;
    fs::remove(temporary, error);  // ours: a name in `occupied` is never chosen
    error.clear();
    fs::create_symlink(photo_paths[i], temporary, error);
    if (!error) fs::rename(temporary, shortcut, error);
    if (error) {
      result.failures.push_back(Failure(shortcut, error.message()));
      fs::remove(temporary, error);
      continue;
    }
    ++result.made;
  }
  return result;
}

}  // namespace lumetra
