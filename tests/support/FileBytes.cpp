#include "tests/support/FileBytes.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace lumetra::testing {

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

ProcessResult RunCommand(const std::string& command) {
  const std::string joined = command + " 2>&1";
  FILE* pipe = ::popen(joined.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace lumetra::testing
