#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "survey/FilterCriteria.h"
#include "survey/Tallies.h"
#include "survey/WalkFolder.h"

namespace lumetra {

class RecordsCache;

/// The settings a run reads: the interface language, which focal length the focal bounds apply to
/// (`rb_Real`), whether sub-folders are walked and unknown cameras collected, which photo files are taken,
/// the trace file, and how many threads read the photos.
struct SurveyOptions {
  Language language = kEnglish;
  bool rb_Real = true;
  bool cb_SubFolders = true;
  bool cb_CF = true;
  /// The photo files the walk takes (see `WalkOptions::formats`).
  PhotoFormats formats = PhotoFormats::kJpeg;
  std::string trace_path;
  /// Threads that read and parse photos, the walk's own included; 0: one per core the process may run on, at
  /// most four (see DefaultReaderThreads). With 1, or in trace
  /// mode, every photo is read on the calling thread when the walk reaches it, so that a reader that brings the program
  /// down leaves the trace naming that photo. The result is the same with any count.
  unsigned reader_threads = 0;
  /// Longest time between two calls of the walk's `process_events` inside a large folder.
  std::chrono::steady_clock::duration event_interval = std::chrono::milliseconds(100);
  /// What earlier surveys read: a photo whose row is valid is not opened, the others are read and kept,
  /// and after a whole walk the rows of files gone from the folder are dropped. Null, or a cache that is
  /// not open: every photo is read. The result is the same either way.
  RecordsCache* records = nullptr;
};

/// What the Run command does, without the window: empties the survey, walks `folder`, reads every photo
/// into a record (crop factors from `crop_factor`, in 1/10000, 0 when unknown), stores it and tallies it
/// under `criteria`. `hooks.process_events` and `hooks.entry_done` are passed on to the walk; its photo hook
/// is this run's own. Records are made, stored and tallied on the calling thread in walk order, whichever
/// thread read the file; no reader thread outlives the call. The walk's result is returned with the photos
/// that could not be opened added at the end of its `skipped`.
WalkResult RunSurvey(const std::string& folder, const SurveyOptions& options, SurveyState& state,
                     FilterCriteria& criteria,
                     const std::function<int64_t(const std::string& make, const std::string& model)>& crop_factor,
                     WalkHooks hooks, const std::atomic<bool>& stopRequested);

}  // namespace lumetra
