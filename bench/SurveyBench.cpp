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

#include "bench/PhotoLibrary.h"
#include "survey/FilterCriteria.h"
#include "survey/PhotoRecord.h"
#include "survey/PhotoStore.h"
#include "survey/Tallies.h"

namespace lumetra {
namespace {

using bench::CorpusFolder;
using bench::CorpusRecords;
using bench::FillSurvey;
using bench::kPhotoCount;
using bench::MakePhoto;

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

// PhotoStore::Row for every stored photo: the records `survey --json` copies out of the store (a Retally
// reads the rows in place).
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
