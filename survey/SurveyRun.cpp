#include "survey/SurveyRun.h"

#include <optional>
#include <string_view>
#include <vector>

#include "metadata/FileIdentity.h"
#include "survey/CancellationOff.h"
#include "survey/ExtractPhoto.h"
#include "survey/ParallelReader.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "survey/ReaderThreads.h"
#include "survey/RecordsCache.h"

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
  // The walk's thread reads photos too; it gets its own state back when the survey ends.
  const CancellationOff cancellation_off;
  state.ResetTallies(true, criteria);
  const ExtractionContext context{options.language, crop_factor, options.cb_CF, &state.UnknownCameras};
  WalkOptions walk;
  walk.cb_SubFolders = options.cb_SubFolders;
  walk.formats = options.formats;
  walk.trace_path = options.trace_path;
  walk.event_interval = options.event_interval;
  RecordsCache* const cache = options.records != nullptr && options.records->IsOpen() ? options.records : nullptr;
  if (cache != nullptr) cache->BeginSurvey(folder);
  const bool may_serve = cache != nullptr && cache->MayServe();
  // A photo the cache knows, unchanged, is not opened; called on reader threads too.
  const auto read = [cache, may_serve](const std::string& path, PhotoTags& tags) {
    if (may_serve) {
      if (std::optional<PhotoTags> remembered = cache->Find(path, IdentityOfPath(path))) {
        tags = std::move(*remembered);
        tags.remembered = true;
        return;
      }
    }
    ReadPhotoTagsInto(path, tags);
  };
  // Joined when this returns or throws.
  std::optional<ParallelReader> reader;
  if (const unsigned threads = ReaderThreads(options); threads > 1) {
    // A read the cache may serve uses the database's descriptor; any other opens and closes its photo only.
    reader.emplace(threads, read,
                   may_serve ? ParallelReader::Descriptors::kShared : ParallelReader::Descriptors::kOwnFilesOnly);
    hooks.photos_listed = [&reader](const std::string& listed, const std::vector<std::string_view>& names) {
      reader->Listed(listed, names);
    };
  }
  std::vector<SkippedEntry> unread_photos;
  RecordMaker maker(context);
  const auto add_photo = [&](const std::string& path, PhotoTags& tags) {
    if (!tags.unread_reason.empty()) unread_photos.push_back({.path = path, .reason = tags.unread_reason});
    if (const PhotoRecord* record = maker.Make(tags, path)) state.AddPhoto(*record, criteria, options.rb_Real);
    // A folder without rows at the start has none of gone files to drop.
    if (may_serve) cache->Seen(path);
    if (cache != nullptr && !tags.remembered) cache->Remember(path, tags);
  };
  if (reader) {
    hooks.photo = [&](const std::string& path) { add_photo(path, reader->Take(path)); };
  } else {
    hooks.photo = [&, tags = PhotoTags()](const std::string& path) mutable {
      read(path, tags);
      add_photo(path, tags);
    };
  }
  WalkResult result = WalkFolder(folder, walk, hooks, stopRequested);
  // A walk stopped part-way has not seen every file that is still there.
  if (may_serve && !result.stopped) cache->DropGone(folder, options.cb_SubFolders);
  if (cache != nullptr) cache->Flush();
  result.skipped.insert(result.skipped.end(), unread_photos.begin(), unread_photos.end());
  return result;
}

}  // namespace lumetra
