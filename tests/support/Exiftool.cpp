#include "tests/support/Exiftool.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace lumetra::testing {

bool HaveExiftool() { return std::system("exiftool -ver > /dev/null 2>&1") == 0; }

std::map<std::string, nlohmann::json> Exiftool(const std::filesystem::path& root, const std::filesystem::path& target,
                                               std::string_view tags) {
  std::string command = "exiftool -j -n -G1 -r -q ";
  command.append(tags).append(" '").append(target.string()).append("' 2>&1");
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) throw std::runtime_error("cannot run exiftool");
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
  std::map<std::string, nlohmann::json> files;
  for (const nlohmann::json& file : nlohmann::json::parse(output)) {
    files[std::filesystem::relative(file.at("SourceFile").get<std::string>(), root).generic_string()] = file;
  }
  return files;
}

}  // namespace lumetra::testing
