// The survey's kept records at the size of a large photo library: 100,000 photos, made from the records
// ExtractPhoto gives for the corpus photos, each under a path of its own. Measures the bytes the store
// holds per photo, the time to store and tally them, and the time of a re-tally (what a changed filter or
// language costs) over all of them.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "survey/ExtractPhoto.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"
#include "survey/Tallies.h"
#include "survey/WalkFolder.h"

namespace lumetra {
namespace {

constexpr int kPhotoCount = 100000;

std::filesystem::path CorpusFolder() {
  const char* from_environment = std::getenv("LUMETRA_CORPUS");
  if (from_environment != nullptr && *from_environment != '\0') return from_environment;
  return LUMETRA_DEFAULT_CORPUS;
}

// The records of the corpus photos that count, in path order, read as a survey reads them: English, no
// crop factor known, unknown cameras collected.
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

// Read on first use, so `--benchmark_list_tests` reads nothing.
const std::vector<PhotoRecord>& CorpusRecords() {
  static const std::vector<PhotoRecord> records = ReadCorpusRecords();
  return records;
}

// False (and the benchmark marked as failed) when there is nothing to build the library from.
bool CorpusReady(benchmark::State& state) {
  if (CorpusRecords().empty()) {
    const std::string message = "no photo of the corpus gave a record: " + CorpusFolder().string() +
                                " (set LUMETRA_CORPUS to the folder of photos)";
    state.SkipWithError(message.c_str());
    return false;
  }
  return true;
}

// Photo `index` of the library: the corpus records in turn, as a camera numbers them, a thousand to a
// folder: "/photos/folder000/IMG_0000.JPG" ... "/photos/folder099/IMG_9999.JPG".
void MakePhoto(int index, PhotoRecord& record) {
  const std::vector<PhotoRecord>& corpus = CorpusRecords();
  record = corpus[static_cast<size_t>(index) % corpus.size()];
  char path[48];
  std::snprintf(path, sizeof path, "/photos/folder%03d/IMG_%04d.JPG", index / 1000, index % 10000);
  record.path = path;
}

void FillSurvey(SurveyState& survey, FilterCriteria& criteria) {
  PhotoRecord record;
  for (int i = 0; i < kPhotoCount; ++i) {
    MakePhoto(i, record);
    survey.AddPhoto(record, criteria, true);
  }
}

// Bytes in use on the heap, as malloc counts them (its chunk headers and rounding included).
size_t HeapInUse() { return mallinfo2().uordblks; }

// The library the re-tally benchmarks work on, built once.
struct Library {
  SurveyState survey;
  FilterCriteria criteria;
};

Library& TheLibrary() {
  static const std::unique_ptr<Library> library = [] {
    auto built = std::make_unique<Library>();
    FillSurvey(built->survey, built->criteria);
    return built;
  }();
  return *library;
}

// 100,000 AddPhoto calls into an empty survey: the store and the tallies as a Run fills them, without the
// files. bytes_per_photo is the store's own count (PhotoStore::MemoryBytes) over the photos.
void BM_SurveyAddPhoto(benchmark::State& state) {
  if (!CorpusReady(state)) return;
  size_t store_bytes = 0;
  int32_t filtered = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto survey = std::make_unique<SurveyState>();
    FilterCriteria criteria;
    state.ResumeTiming();
    FillSurvey(*survey, criteria);
    state.PauseTiming();
    store_bytes = survey->Photos.MemoryBytes();
    filtered = survey->filteredCount;
    survey.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kPhotoCount);
  state.counters["photos"] = kPhotoCount;
  state.counters["filtered"] = filtered;
  state.counters["bytes_per_photo"] = static_cast<double>(store_bytes) / kPhotoCount;
}
BENCHMARK(BM_SurveyAddPhoto)->Unit(benchmark::kMillisecond);

// The same 100,000 records appended to a PhotoStore alone, to set the store's own count beside what
// malloc really hands out for it (heap_bytes_per_photo) and to show how many distinct texts it keeps.
void BM_PhotoStoreAppend(benchmark::State& state) {
  if (!CorpusReady(state)) return;
  size_t store_bytes = 0;
  size_t heap_bytes = 0;
  size_t photos = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<PhotoStore>();
    PhotoRecord record;
    const size_t heap_before = HeapInUse();
    state.ResumeTiming();
    for (int i = 0; i < kPhotoCount; ++i) {
      MakePhoto(i, record);
      store->Append(record);
    }
    state.PauseTiming();
    // The last record's path is freed with it; the store's own blocks remain.
    record = PhotoRecord{};
    heap_bytes = HeapInUse() - heap_before;
    store_bytes = store->MemoryBytes();
    photos = store->size();
    store.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kPhotoCount);
  state.counters["photos"] = static_cast<double>(photos);
  state.counters["bytes_per_photo"] = static_cast<double>(store_bytes) / kPhotoCount;
  state.counters["heap_bytes_per_photo"] = static_cast<double>(heap_bytes) / kPhotoCount;
}
BENCHMARK(BM_PhotoStoreAppend)->Unit(benchmark::kMillisecond);

// SurveyState::Retally over the 100,000 stored photos, filter left open: every tally rebuilt from the
// store, no file read.
void BM_Retally(benchmark::State& state) {
  if (!CorpusReady(state)) return;
  Library& library = TheLibrary();
  for (auto _ : state) {
    library.survey.Retally(library.criteria, true);
    benchmark::DoNotOptimize(library.survey.filteredCount);
  }
  state.SetItemsProcessed(state.iterations() * kPhotoCount);
  state.counters["photos"] = static_cast<double>(library.survey.Photos.size());
  state.counters["filtered"] = library.survey.filteredCount;
  state.counters["bytes_per_photo"] =
      static_cast<double>(library.survey.Photos.MemoryBytes()) / static_cast<double>(library.survey.Photos.size());
}
BENCHMARK(BM_Retally)->Unit(benchmark::kMillisecond);

// PhotoStore::Row for every stored photo: the records a Retally rebuilds before it tests and counts them.
void BM_PhotoStoreRows(benchmark::State& state) {
  if (!CorpusReady(state)) return;
  const PhotoStore& photos = TheLibrary().survey.Photos;
  for (auto _ : state) {
    for (size_t i = 0; i < photos.size(); ++i) {
      PhotoRecord record = photos.Row(i);
      benchmark::DoNotOptimize(record.path.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(photos.size()));
}
BENCHMARK(BM_PhotoStoreRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumetra
