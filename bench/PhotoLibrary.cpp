#include "bench/PhotoLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "survey/ExtractPhoto.h"
#include "survey/WalkFolder.h"

namespace lumetra::bench {
namespace {

std::vector<PhotoRecord> ReadCorpusRecords() {
  std::vector<std::string> paths;
  std::error_code error;
  const std::filesystem::path folder = CorpusFolder();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (entry.is_regular_file() && detail::HasJpgExtension(entry.path().filename().string())) {
      paths.push_back(entry.path().string());
    }
  }
  std::sort(paths.begin(), paths.end());
  std::vector<UnknownCamera> unknown_cameras;
  const ExtractionContext context{kEnglish, [](const std::string&, const std::string&) -> int64_t { return 0; }, true,
                                  &unknown_cameras};
  std::vector<PhotoRecord> records;
  for (const std::string& path : paths) {
    if (std::optional<PhotoRecord> record = ExtractPhoto(path, context)) records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace

std::filesystem::path CorpusFolder() {
  const char* from_environment = std::getenv("LUMETRA_CORPUS");
  if (from_environment != nullptr && *from_environment != '\0') return from_environment;
  return LUMETRA_DEFAULT_CORPUS;
}

const std::vector<PhotoRecord>& CorpusRecords() {
  static const std::vector<PhotoRecord> records = ReadCorpusRecords();
  return records;
}

void MakePhoto(int index, PhotoRecord& record) {
  const std::vector<PhotoRecord>& corpus = CorpusRecords();
  record = corpus[static_cast<size_t>(index) % corpus.size()];
  char path[48];
  std::snprintf(path, sizeof path, "/photos/folder%03d/IMG_%04d.JPG", index / 1000, index % 10000);
  record.path = path;
}

void FillSurvey(SurveyState& survey, FilterCriteria& criteria, int count) {
  PhotoRecord record;
  for (int i = 0; i < count; ++i) {
    MakePhoto(i, record);
    survey.AddPhoto(record, criteria, true);
  }
}

}  // namespace lumetra::bench
