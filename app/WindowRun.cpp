#include "app/WindowRun.h"

#include <chrono>
#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include "app/UiTexts.h"
#include "crop/CropStore.h"
#include "survey/RecordsCache.h"
#include "survey/SurveyRun.h"
#include "widgets/QtText.h"

namespace lumetra {
namespace {

// A count on the status bar is rewritten at most this often during a run; the last one is exact.
constexpr int kCounterIntervalMs = 100;
// The window handles its events at least this often during a run, so that a click on Stop acts well
// within a tenth of a second even inside a folder of many thousand photos.
constexpr auto kRunEventInterval = std::chrono::milliseconds(50);

QString FolderFailure(const std::string& folder, const TextPair& what, Language language) {
  return QString::fromStdString(folder) + QStringLiteral(": ") + ToQString(what.In(language));
}

}  // namespace

void WindowRun::Start() {
  running_ = true;
  stop_requested_ = false;
}

RunOutcome WindowRun::Survey(const RunRequest& request, SurveyState& state, FilterCriteria& criteria,
                             const CropStore& crops, const std::function<void()>& progress) {
  RunOutcome outcome;
  const std::string& folder = request.folder;
  if (!QDir::setCurrent(QString::fromStdString(folder))) {
    outcome.folder_gone = true;
    outcome.failure = FolderFailure(folder, kFolderCannotBeOpened, request.language);
    state.ResetTallies(true, criteria);
  } else {
    SurveyOptions options;
    options.language = request.language;
    options.rb_Real = request.rb_Real;
    options.cb_SubFolders = request.cb_SubFolders;
    options.cb_CF = request.cb_CF;
    options.formats = request.formats;
    options.event_interval = kRunEventInterval;
    if (!request.trace_file.empty()) options.trace_path = request.trace_file.string();
    WalkHooks hooks;
    hooks.process_events = [](const std::string&) { QCoreApplication::processEvents(); };
    QElapsedTimer shown;
    shown.start();
    hooks.entry_done = [&shown, &progress](const std::string&) {
      if (shown.elapsed() < kCounterIntervalMs) return;
      progress();
      shown.restart();
    };
    const auto crop_factor = [&crops](const std::string& make, const std::string& model) {
      return StoredCropFactor(crops, make, model);
    };
    // Without the cache, or with a broken one, every photo is read: it costs time, never a record.
    std::optional<RecordsCache> records;
    if (!request.records_file.empty()) {
      records.emplace(request.records_file.string());
      options.records = &*records;
    }
    WalkResult walk = RunSurvey(folder, options, state, criteria, crop_factor, hooks, stop_requested_);
    if (records) outcome.records_problem = records->problem();
    outcome.skipped = std::move(walk.skipped);
    if (walk.root_unreadable) {
      outcome.failure = FolderFailure(folder, kFolderCannotBeRead, request.language);
    } else if (!walk.trace_failure.empty()) {
      outcome.failure = ToQString(walk.trace_failure);
    }
  }
  outcome.stopped = stop_requested_;
  return outcome;
}

}  // namespace lumetra
