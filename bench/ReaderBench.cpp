// Throughput of the metadata reader on the development photo corpus: every JPEG is loaded into memory
// once, then `TimgData::ProcessBytes` runs over all of them (items/s = photos/s) in each build mode, over
// each maker's photos, on one typical photo, and `ProcessFile` runs over the same files from disk to show
// what the file reads add.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "metadata/ExifData.h"

namespace lumetra {
namespace {

// A DSLR photo with a little-endian Exif segment and a Canon maker note: what most corpus files look like.
constexpr const char* kTypicalPhoto = "Canon/Canon EOS 1000D.jpg";

struct CorpusPhoto {
  std::string path;
  std::string relative_path;
  // The corpus keeps each maker's photos in a folder named after the maker.
  std::string maker;
  std::string extension;
  std::string bytes;
};

struct Corpus {
  std::filesystem::path folder;
  std::vector<CorpusPhoto> photos;
  size_t total_bytes = 0;
};

std::filesystem::path CorpusFolder() {
  const char* from_environment = std::getenv("LUMETRA_CORPUS");
  if (from_environment != nullptr && *from_environment != '\0') return from_environment;
  return LUMETRA_DEFAULT_CORPUS;
}

// The same files as `find FOLDER -iname '*.jp*g'`.
bool IsJpegName(const std::string& extension) {
  return extension.size() >= 4 && extension.compare(0, 3, ".jp") == 0 && extension.back() == 'g';
}

Corpus LoadCorpus() {
  Corpus corpus;
  corpus.folder = CorpusFolder();
  std::error_code error;
  if (!std::filesystem::is_directory(corpus.folder, error)) return corpus;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus.folder, error)) {
    if (!entry.is_regular_file()) continue;
    CorpusPhoto photo;
    photo.path = entry.path().string();
    photo.extension = LowerExtension(photo.path);
    if (!IsJpegName(photo.extension)) continue;
    photo.relative_path = entry.path().lexically_relative(corpus.folder).generic_string();
    photo.maker = photo.relative_path.substr(0, photo.relative_path.find('/'));
    std::ifstream in(entry.path(), std::ios::binary);
    photo.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    corpus.total_bytes += photo.bytes.size();
    corpus.photos.push_back(std::move(photo));
  }
  std::sort(corpus.photos.begin(), corpus.photos.end(),
            [](const CorpusPhoto& a, const CorpusPhoto& b) { return a.relative_path < b.relative_path; });
  return corpus;
}

// Loaded on first use, so `--benchmark_list_tests` and filters that skip everything read nothing.
const Corpus& TheCorpus() {
  static const Corpus corpus = LoadCorpus();
  return corpus;
}

// False (and the benchmark marked as failed) when there is nothing to measure.
bool CorpusReady(benchmark::State& state, const Corpus& corpus) {
  if (corpus.photos.empty()) {
    const std::string message = "corpus folder not found or holds no JPEG: " + corpus.folder.string() +
                                " (set LUMETRA_CORPUS to the folder of photos)";
    state.SkipWithError(message.c_str());
    return false;
  }
  return true;
}

void SetCorpusCounters(benchmark::State& state, const Corpus& corpus) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(corpus.photos.size()));
  state.counters["photos"] = static_cast<double>(corpus.photos.size());
  state.counters["file_MB"] = static_cast<double>(corpus.total_bytes) / 1e6;
}

// One pass over every corpus photo held in memory, a fresh reader per photo as the survey uses it.
void BM_ProcessBytesCorpus(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  if (!CorpusReady(state, corpus)) return;
  const int build_mode = static_cast<int>(state.range(0));
  int64_t tags = 0;
  int64_t with_exif = 0;
  for (auto _ : state) {
    for (const CorpusPhoto& photo : corpus.photos) {
      TimgData data(build_mode);
      data.ProcessBytes(photo.bytes, photo.extension);
      benchmark::DoNotOptimize(data.ErrorText.data());
      if (data.HasExif()) ++with_exif;
      if (data.ImageInfo) tags += data.ImageInfo->TagCount();
    }
  }
  SetCorpusCounters(state, corpus);
  const double passes = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["tags_per_pass"] = static_cast<double>(tags) / passes;
  state.counters["exif_per_pass"] = static_cast<double>(with_exif) / passes;
}
BENCHMARK(BM_ProcessBytesCorpus)
    ->ArgName("mode")
    ->Arg(BuildTagList)
    ->Arg(BuildInfoText)
    ->Arg(BuildAll)
    ->Unit(benchmark::kMillisecond);

// BuildAll over one maker's photos held in memory: each maker note has its own tables and layout, so the
// makers' rates differ. Registered below for every maker folder of the corpus.
void BM_ProcessBytesMaker(benchmark::State& state, const std::string& maker) {
  const Corpus& corpus = TheCorpus();
  if (!CorpusReady(state, corpus)) return;
  std::vector<const CorpusPhoto*> photos;
  size_t bytes = 0;
  for (const CorpusPhoto& photo : corpus.photos) {
    if (photo.maker != maker) continue;
    photos.push_back(&photo);
    bytes += photo.bytes.size();
  }
  int64_t tags = 0;
  for (auto _ : state) {
    for (const CorpusPhoto* photo : photos) {
      TimgData data(BuildAll);
      data.ProcessBytes(photo->bytes, photo->extension);
      benchmark::DoNotOptimize(data.ErrorText.data());
      if (data.ImageInfo) tags += data.ImageInfo->TagCount();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(photos.size()));
  state.counters["photos"] = static_cast<double>(photos.size());
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["tags_per_photo"] = static_cast<double>(tags) /
                                     static_cast<double>(std::max<int64_t>(state.iterations(), 1)) /
                                     static_cast<double>(std::max<size_t>(photos.size(), 1));
}

// One BM_ProcessBytesMaker/<maker> per sub-folder of the corpus holding a JPEG, found when the program
// starts (the folders are only listed here; the photos are loaded on first use).
const bool kMakerBenchmarksRegistered = [] {
  std::vector<std::string> makers;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder(), error)) {
    if (!entry.is_directory()) continue;
    std::error_code inner;
    for (const auto& file : std::filesystem::directory_iterator(entry.path(), inner)) {
      if (file.is_regular_file() && IsJpegName(LowerExtension(file.path().string()))) {
        makers.push_back(entry.path().filename().string());
        break;
      }
    }
  }
  std::sort(makers.begin(), makers.end());
  for (const std::string& maker : makers) {
    std::string name = "BM_ProcessBytesMaker/";
    name.append(maker);
    benchmark::RegisterBenchmark(name.c_str(), BM_ProcessBytesMaker, maker)->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

// One typical photo, BuildAll: the per-photo cost without the spread of the corpus.
void BM_ProcessBytesTypical(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  if (!CorpusReady(state, corpus)) return;
  const auto typical = std::find_if(corpus.photos.begin(), corpus.photos.end(),
                                    [](const CorpusPhoto& photo) { return photo.relative_path == kTypicalPhoto; });
  if (typical == corpus.photos.end()) {
    state.SkipWithError((std::string("typical photo missing from the corpus: ") + kTypicalPhoto).c_str());
    return;
  }
  int tags = 0;
  for (auto _ : state) {
    TimgData data(BuildAll);
    data.ProcessBytes(typical->bytes, typical->extension);
    benchmark::DoNotOptimize(data.ErrorText.data());
    tags = data.ImageInfo ? data.ImageInfo->TagCount() : 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["tags"] = tags;
  state.SetLabel(kTypicalPhoto);
}
BENCHMARK(BM_ProcessBytesTypical)->Unit(benchmark::kMicrosecond);

// The same pass as BM_ProcessBytesCorpus/mode:255 but reading each file from disk. The corpus was just
// read into memory, so the page cache is warm: the difference is the cost of opening and reading files.
void BM_ProcessFileCorpus(benchmark::State& state) {
  const Corpus& corpus = TheCorpus();
  if (!CorpusReady(state, corpus)) return;
  for (auto _ : state) {
    for (const CorpusPhoto& photo : corpus.photos) {
      TimgData data(BuildAll);
      data.ProcessFile(photo.path);
      benchmark::DoNotOptimize(data.ErrorText.data());
    }
  }
  SetCorpusCounters(state, corpus);
}
BENCHMARK(BM_ProcessFileCorpus)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumetra
