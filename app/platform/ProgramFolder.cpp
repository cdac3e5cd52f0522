#include "app/platform/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "app/platform/ApplicationId.h"

namespace lumetra {
namespace {

bool IsWritableFolder(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0;
}

// An installed program's folder is writable for root, yet files of ours left there would outlive the
// package that owns the folder; the desktop entry beside it marks an installation.
bool IsInstalledProgramFolder(const std::filesystem::path& folder) {
  std::error_code error;
  return folder.filename() == "bin" &&
         std::filesystem::exists(
             folder.parent_path() / "share" / "applications" / (std::string(kApplicationId) + ".desktop"), error);
}

std::filesystem::path UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    return std::filesystem::path(data) / "Lumetra";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "share" / "Lumetra";
}

}  // namespace

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return detail::ProgramFolderFor(error ? std::filesystem::path() : executable.parent_path());
}

namespace detail {

std::filesystem::path ProgramFolderFor(const std::filesystem::path& executable_folder) {
  if (const char* home = std::getenv("LUMETRA_HOME"); home != nullptr && *home != '\0') return home;
  if (!executable_folder.empty() && IsWritableFolder(executable_folder) &&
      !IsInstalledProgramFolder(executable_folder)) {
    return executable_folder;
  }
  std::filesystem::path folder = UserDataFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder;
}

}  // namespace detail
}  // namespace lumetra
