#pragma once

#include <filesystem>
#include <string>

namespace lumetra::testing {

/// The whole content of a file; empty when it cannot be read.
[[nodiscard]] std::string ReadFileBytes(const std::filesystem::path& file);

/// What a shell command printed on its standard output and error, and its exit code (-1 when it did not
/// exit normally).
struct ProcessResult {
  int exit_code;
  std::string output;
};

/// Runs `command` through the shell, its error output joined to its output.
[[nodiscard]] ProcessResult RunCommand(const std::string& command);

}  // namespace lumetra::testing
