#include "survey/SurveyRun.h"

#ifdef __linux__
#include <sched.h>
#endif

#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>

#include "survey/ExtractPhoto.h"
#include "survey/ParallelReader.h"
#include "survey/PhotoTags.h"

namespace lumetra {
namespace {

// The cores this process may run on: a process bound to one core (taskset, a container's cpuset) gains
// nothing from reading threads and would pay for handing the photos over.
unsigned UsableCores() {
#ifdef __linux__
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (::sched_getaffinity(0, sizeof(cores), &cores) == 0) return static_cast<unsigned>(std::max(CPU_COUNT(&cores), 1));
#endif
  return std::max(std::thread::hardware_concurrency(), 1u);
}

unsigned ReaderThreads(const SurveyOptions& options) {
  if (!options.trace_path.empty()) return 1;
  if (options.reader_threads != 0) return options.reader_threads;
  return UsableCores();
}

}  // namespace

WalkResult RunSurvey(const std::string& folder, const SurveyOptions& options, SurveyState& state,
                     FilterCriteria& criteria,
                     const std::function<int64_t(const std::string& make, const std::string& model)>& crop_factor,
                     WalkHooks hooks, const std::atomic<bool>& stopRequested) {
  state.ResetTallies(true, criteria);
  const ExtractionContext context{options.language, crop_factor, options.cb_CF, &state.UnknownCameras};
  WalkOptions walk;
  walk.cb_SubFolders = options.cb_SubFolders;
  walk.trace_path = options.trace_path;
  walk.event_interval = options.event_interval;
  // Joined when this returns or throws.
  std::optional<ParallelReader> reader;
  if (const unsigned threads = ReaderThreads(options); threads > 1) {
    try {
      reader.emplace(folder, walk.cb_SubFolders, threads, ReadPhotoTags);
    } catch (const std::system_error&) {
      // No threads to be had: every photo is read here, as with one thread.
    }
  }
  hooks.photo = [&](const std::string& path) {
    const PhotoTags tags = reader ? reader->Take(path) : ReadPhotoTags(path);
    if (std::optional<PhotoRecord> record = RecordFromTags(tags, context)) {
      record->path = path;
      state.AddPhoto(*record, criteria, options.rb_Real);
    }
  };
  return WalkFolder(folder, walk, hooks, stopRequested);
}

}  // namespace lumetra
