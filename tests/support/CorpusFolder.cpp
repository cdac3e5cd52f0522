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

std::vector<std::vector<std::string>> ManifestRows(const std::filesystem::path& manifest_file) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream manifest(manifest_file);
  std::string line;
  std::getline(manifest, line);  // the header
  while (std::getline(manifest, line)) {
    std::vector<std::string>& columns = rows.emplace_back();
    std::stringstream row(line);
    for (std::string column; std::getline(row, column, '\t');) columns.push_back(column);
  }
  return rows;
}

std::vector<CorpusPhoto> CorpusPhotos() {
  std::vector<CorpusPhoto> photos;
  const std::optional<std::filesystem::path> folder = CorpusFolder();
  if (!folder) return photos;
  for (const std::vector<std::string>& columns : ManifestRows(*folder / "MANIFEST.tsv")) {
    if (columns.size() < 6) continue;
    photos.push_back({columns[0], columns[4], columns[5]});
  }
  return photos;
}

}  // namespace lumetra::testing
