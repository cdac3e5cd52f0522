#include "tests/support/CorpusFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lumetra::testing {

namespace {

std::optional<std::filesystem::path> ConfiguredFolder(const char* variable,
                                                      const std::filesystem::path& default_folder) {
  if (const char* configured = std::getenv(variable); configured != nullptr && *configured != '\0') {
    if (std::filesystem::is_directory(configured)) return std::filesystem::path(configured);
    return std::nullopt;
  }
  if (std::filesystem::is_directory(default_folder)) return default_folder;
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> CorpusFolder() {
  return ConfiguredFolder("LUMETRA_CORPUS", LUMETRA_DEFAULT_CORPUS);
}

std::optional<std::filesystem::path> FormatsCorpusFolder() {
  return ConfiguredFolder("LUMETRA_FORMATS_CORPUS", LUMETRA_DEFAULT_FORMATS_CORPUS);
}

std::vector<CorpusPhoto> CorpusPhotos() {
  std::vector<CorpusPhoto> photos;
  const std::optional<std::filesystem::path> folder = CorpusFolder();
  if (!folder) return photos;
  std::ifstream manifest(*folder / "MANIFEST.tsv");
  std::string line;
  std::getline(manifest, line);  // the header
  while (std::getline(manifest, line)) {
    std::vector<std::string> columns;
    std::stringstream row(line);
    for (std::string column; std::getline(row, column, '\t');) columns.push_back(column);
    if (columns.size() < 6) continue;
    photos.push_back({columns[0], columns[4], columns[5]});
  }
  return photos;
}

}  // namespace lumetra::testing
