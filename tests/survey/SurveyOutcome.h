#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "survey/FilterCriteria.h"
#include "survey/SurveyRun.h"
#include "survey/SurveyTexts.h"
#include "survey/Tallies.h"

namespace lumetra::testing {

/// What a test does at the survey's walk hooks besides noting them: it may raise Stop, change the folder
/// tree or throw.
struct SurveyInterference {
  /// Called after the n-th entry (1-based) with its path.
  std::function<void(int64_t n, const std::string& path, std::atomic<bool>& stop)> after_entry;
  /// Called on the n-th event call (1-based) with its folder.
  std::function<void(int64_t n, const std::string& folder, std::atomic<bool>& stop)> on_events;
};

/// Everything a survey of `folder` leaves behind, one line each, so that two surveys compare line by line:
/// the texts of both status panels after every entry and the folder of every event call, each record
/// with its labels, the counters, the filtered paths, every tally row, the unknown cameras, what the walk
/// reports, and the message of an exception that ended it. The crop store knows one camera (NIKON D70,
/// 1.5), so that both the stored and the derived factors are exercised.
inline std::vector<std::string> SurveyOutcome(const std::string& folder, SurveyOptions options,
                                              const SurveyInterference& interference = {}) {
  std::vector<std::string> lines;
  SurveyState state(options.language);
  FilterCriteria criteria;
  std::atomic<bool> stop{false};
  WalkHooks hooks;
  int64_t entries = 0;
  int64_t events = 0;
  hooks.entry_done = [&](const std::string& path) {
    lines.push_back("entry " + path + " |" + ProcessedText(state.processedCount, options.language) + " |" +
                    FilteredText(state.filteredCount, options.language));
    if (interference.after_entry) interference.after_entry(++entries, path, stop);
  };
  hooks.process_events = [&](const std::string& entered) {
    lines.push_back("events " + entered);
    if (interference.on_events) interference.on_events(++events, entered, stop);
  };
  // A clock that stands still: events are processed on entering each folder only, however long a read takes.
  hooks.now = [] { return std::chrono::steady_clock::time_point{}; };
  const auto crop_factor = [](const std::string& make, const std::string& model) -> int64_t {
    return make == "NIKON" && model == "NIKON D70" ? 15000 : 0;
  };
  try {
    const WalkResult walk = RunSurvey(folder, options, state, criteria, crop_factor, hooks, stop);
    std::string skipped;
    for (const std::string& path : walk.skipped_folders) skipped += " " + path;
    lines.push_back("walk stopped=" + std::to_string(walk.stopped) + " entries=" + std::to_string(walk.entries) +
                    " photos=" + std::to_string(walk.photos) + " skipped:" + skipped);
    for (const SkippedEntry& entry : walk.skipped) lines.push_back("not read " + entry.path + ": " + entry.reason);
  } catch (const std::exception& error) {
    lines.push_back(std::string("exception ") + error.what());
  }
  for (size_t i = 0; i < state.Photos.size(); ++i) {
    const PhotoRecord record = state.Photos.Row(i);
    std::string line = "record";
    for (int field = 0; field < PhotoRecord::kFieldCount; ++field) {
      line += " |" + record.Field(field) + "#" +
              std::to_string(static_cast<int>(record.labels[static_cast<size_t>(field)]));
    }
    lines.push_back(line);
  }
  lines.push_back("processed " + std::to_string(state.processedCount) + " filtered " +
                  std::to_string(state.filteredCount));
  for (const std::string& path : state.FilteredPathList()) lines.push_back("filtered " + path);
  for (const auto& [name, rows] : state.AllTallies()) {
    for (const myRecord& row : *rows)
      lines.push_back(std::string("tally ") + name + " " + row.text + " = " + std::to_string(row.count));
  }
  for (const UnknownCamera& camera : state.UnknownCameras)
    lines.push_back("unknown " + camera.make + " | " + camera.model);
  return lines;
}

/// How many lines of an outcome start with `kind` ("record", "entry", ...).
inline size_t CountLines(const std::vector<std::string>& lines, const std::string& kind) {
  size_t n = 0;
  for (const std::string& line : lines) n += line.starts_with(kind + " ") ? 1 : 0;
  return n;
}

}  // namespace lumetra::testing
