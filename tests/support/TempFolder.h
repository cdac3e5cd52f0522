#pragma once

#include <filesystem>

namespace lumetra::testing {

/// A new empty folder under the system's temporary folder, removed with everything in it at the end of
/// the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace lumetra::testing
