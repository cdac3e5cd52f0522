#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

/// The layout log "log.txt": how the window was scaled to the screen, one "label value" line per call,
/// switched on by the program's first argument "i". Switched off, it touches no file.
class LayoutLog {
 public:
  /// `file` is the log's path; when `enabled`, an old log there is deleted at once.
  LayoutLog(std::filesystem::path file, bool enabled);

  /// Appends `label` followed by `value` and CR LF, opening and closing the file for the line.
  void Log(std::string_view label, std::string_view value);
  void Log(std::string_view label, int64_t value);

  [[nodiscard]] bool enabled() const { return enabled_; }
  /// "<file>: <reason>" of the first line that could not be written; nothing while all were.
  [[nodiscard]] const std::optional<std::string>& failure() const { return failure_; }

 private:
  std::filesystem::path file_;
  bool enabled_;
  std::optional<std::string> failure_;
};

}  // namespace lumetra
