#include "survey/SurveyRun.h"

#include <optional>
#include <system_error>
#include <vector>

#include "survey/ExtractPhoto.h"
#include "survey/ParallelReader.h"
#include "survey/PhotoTags.h"
#include "survey/ReaderThreads.h"

namespace lumetra {
namespace {

unsigned ReaderThreads(const SurveyOptions& options) {
  if (!options.trace_path.empty()) return 1;
  if (options.reader_threads != 0) return options.reader_threads;
  return DefaultReaderThreads();
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
  walk.formats = options.formats;
  walk.trace_path = options.trace_path;
  walk.event_interval = options.event_interval;
  // Joined when this returns or throws.
  std::optional<ParallelReader> reader;
  if (const unsigned threads = ReaderThreads(options); threads > 1) {
    try {
      reader.emplace(folder, walk, threads, ReadPhotoTags);
    } catch (const std::system_error&) {
      // No threads to be had: every photo is read here, as with one thread.
    }
  }
  std::vector<SkippedEntry> unread_photos;
  hooks.photo = [&](const std::string& path) {
    const PhotoTags tags = reader ? reader->Take(path) : ReadPhotoTags(path);
    if (!tags.unread_reason.empty()) unread_photos.push_back({.path = path, .reason = tags.unread_reason});
    if (std::optional<PhotoRecord> record = RecordFromTags(tags, context)) {
      record->path = path;
      state.AddPhoto(*record, criteria, options.rb_Real);
    }
  };
  WalkResult result = WalkFolder(folder, walk, hooks, stopRequested);
  result.skipped.insert(result.skipped.end(), unread_photos.begin(), unread_photos.end());
  return result;
}

}  // namespace lumetra
