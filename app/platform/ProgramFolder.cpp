#include "app/platform/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace lumetra {
namespace {

bool IsWritableFolder(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0;
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
  if (const char* home = std::getenv("LUMETRA_HOME"); home != nullptr && *home != '\0') return home;
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && IsWritableFolder(executable.parent_path())) return executable.parent_path();
  std::filesystem::path folder = UserDataFolder();
  std::filesystem::create_directories(folder, error);
  return folder;
}

}  // namespace lumetra
