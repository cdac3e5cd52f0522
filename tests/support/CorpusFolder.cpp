#include "tests/support/CorpusFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lumetra::testing {

std::optional<std::filesystem::path> CorpusFolder() {
  if (const char* configured = std::getenv("LUMETRA_CORPUS"); configured != nullptr && *configured != '\0') {
    if (std::filesystem::is_directory(configured)) return std::filesystem::path(configured);
    return std::nullopt;
  }
  const std::filesystem::path beside_project = LUMETRA_DEFAULT_CORPUS;
  if (std::filesystem::is_directory(beside_project)) return beside_project;
  return std::nullopt;
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
