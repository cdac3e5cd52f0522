// The survey's read of a photo against libexif, a lean C Exif reader, in one process on the same files:
// CPU time per photo for the tags a survey asks for. Both read from the page cache (every file is read
// once before timing) on one thread, so the figures compare the readers, not the disk or the threads.
//
// Usage: reader_peers_bench FOLDER [ROUNDS]
//   Every .jpg/.jpeg under FOLDER, in path order; ROUNDS (default 5) rounds of each reader, each round
//   reading the photos as many times as makes at least 5,000 reads.
//
// Output, one line per measurement, fields as key=value:
//   round reader=lumetra|libexif n= photos= cpu_us_per_photo= wall_us_per_photo= tags=
//       tags: how many of the asked tags the reader found, over all photos (a check that both read)
//   summary photos= lumetra_cpu_us= libexif_cpu_us= ratio=      ratio: libexif CPU / lumetra CPU (medians)

#include <libexif/exif-data.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "survey/WalkFolder.h"

namespace lumetra {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::vector<std::string> PhotosUnder(const std::filesystem::path& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (entry.is_regular_file() && detail::HasJpgExtension(entry.path().filename().string())) {
      paths.push_back(entry.path().string());
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// The survey's read: every tag it asks for, rendered.
int ReadWithLumetra(const std::string& path) {
  const PhotoTags tags = ReadPhotoTags(path);
  return static_cast<int>(
      std::count_if(tags.texts.begin(), tags.texts.end(), [](const std::string& text) { return !text.empty(); }));
}

// The same tags with libexif, each rendered to text as libexif shows it.
constexpr ExifTag kLibexifTags[] = {
    EXIF_TAG_MODEL,         EXIF_TAG_MAKE,    EXIF_TAG_FOCAL_LENGTH,      EXIF_TAG_FOCAL_LENGTH_IN_35MM_FILM,
    EXIF_TAG_EXPOSURE_TIME, EXIF_TAG_FNUMBER, EXIF_TAG_ISO_SPEED_RATINGS, EXIF_TAG_EXPOSURE_PROGRAM,
    EXIF_TAG_METERING_MODE, EXIF_TAG_FLASH,   EXIF_TAG_ORIENTATION,       static_cast<ExifTag>(0xA434),  // LensModel
};

int ReadWithLibexif(const std::string& path) {
  ExifData* data = exif_data_new_from_file(path.c_str());
  if (data == nullptr) return 0;
  int found = 0;
  char text[256];
  for (const ExifTag tag : kLibexifTags) {
    for (ExifContent* content : data->ifd) {
      ExifEntry* entry = exif_content_get_entry(content, tag);
      if (entry == nullptr) continue;
      exif_entry_get_value(entry, text, sizeof text);
      ++found;
      break;
    }
  }
  exif_data_unref(data);
  return found;
}

struct Round {
  double cpu_us;
  double wall_us;
  long tags;
};

// A round reads every photo `passes` times, so that a round lasts long enough for the CPU clock.
Round TimeRound(const std::vector<std::string>& paths, int passes, const std::function<int(const std::string&)>& read) {
  const double cpu_start = CpuSeconds();
  const auto wall_start = std::chrono::steady_clock::now();
  long tags = 0;
  for (int pass = 0; pass < passes; ++pass) {
    for (const std::string& path : paths) tags += read(path);
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  const double photos = static_cast<double>(paths.size()) * passes;
  return {(CpuSeconds() - cpu_start) / photos * 1e6, wall / photos * 1e6, tags / passes};
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: reader_peers_bench FOLDER [ROUNDS]\n");
    return 2;
  }
  const std::vector<std::string> paths = PhotosUnder(argv[1]);
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (paths.empty()) {
    std::fprintf(stderr, "no .jpg or .jpeg file under %s\n", argv[1]);
    return 1;
  }
  // Into the page cache.
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // At least 5,000 reads per round.
  const int passes = std::max<int>(1, static_cast<int>(5000 / paths.size()));
  std::vector<double> lumetra_cpu;
  std::vector<double> libexif_cpu;
  for (int round = 1; round <= rounds; ++round) {
    // The two readers take turns, so that a change in the machine's load falls on both.
    for (const bool ours : {true, false}) {
      const Round measured = TimeRound(paths, passes, ours ? ReadWithLumetra : ReadWithLibexif);
      (ours ? lumetra_cpu : libexif_cpu).push_back(measured.cpu_us);
      std::printf("round reader=%s n=%d photos=%zu cpu_us_per_photo=%.2f wall_us_per_photo=%.2f tags=%ld\n",
                  ours ? "lumetra" : "libexif", round, paths.size(), measured.cpu_us, measured.wall_us, measured.tags);
    }
  }
  const double ours = Median(lumetra_cpu);
  const double theirs = Median(libexif_cpu);
  std::printf("summary photos=%zu lumetra_cpu_us=%.2f libexif_cpu_us=%.2f ratio=%.2f\n", paths.size(), ours, theirs,
              theirs / ours);
  return 0;
}

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) { return lumetra::Main(argc, argv); }
