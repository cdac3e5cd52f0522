#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "survey/Labels.h"
#include "survey/PhotoFormats.h"
#include "survey/WalkFolder.h"

namespace lumetra {

class CropStore;
class SurveyState;
struct FilterCriteria;

/// What a run from the window is asked to do: the folder and the options as the window shows them.
struct RunRequest {
  std::string folder;
  Language language = kEnglish;
  bool rb_Real = true;
  bool cb_SubFolders = true;
  bool cb_CF = true;
  PhotoFormats formats = PhotoFormats::kJpeg;
  /// Where the photo being read is written ("test.txt"); empty: nowhere.
  std::filesystem::path trace_file;
  /// The records cache that spares reading photos already read; empty: every photo is read.
  std::filesystem::path records_file;
};

/// How a run ended.
struct RunOutcome {
  /// Stop was pressed or the window closed during the run.
  bool stopped = false;
  /// The folder could not be made the current one: it is gone.
  bool folder_gone = false;
  /// What to tell the user, in the run's language; empty when nothing went wrong.
  QString failure;
  /// Why the records cache was not used (or was started afresh); empty when it served the run.
  std::string records_problem;
  /// The folders and files the run passed over, and why, in walk order.
  std::vector<SkippedEntry> skipped;
};

/// A survey run of the main window: reads the folder into the survey state while the window keeps
/// handling its events (Stop acts within a tenth of a second), shows progress at most every 100 ms, and
/// says how it ended.
class WindowRun {
 public:
  /// A run begins: `Running` until `Finish`, and no stop is requested yet.
  void Start();
  /// Surveys `request.folder` into `state` under `criteria`, crop factors from `crops`. `progress` is
  /// called as the counters move, at most every 100 ms.
  RunOutcome Survey(const RunRequest& request, SurveyState& state, FilterCriteria& criteria, const CropStore& crops,
                    const std::function<void()>& progress);
  /// The run's result is shown: the window is idle again.
  void Finish() { running_ = false; }
  /// Ends the survey under way as soon as the walk next looks.
  void RequestStop() { stop_requested_ = true; }
  [[nodiscard]] bool Running() const { return running_; }

 private:
  std::atomic<bool> stop_requested_{false};
  bool running_ = false;
};

}  // namespace lumetra
