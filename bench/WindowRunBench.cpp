// The desktop window's Run as a person waits for it: from choosing a folder and pressing F5 until the
// charts are shown, and from a click on Stop until the window is ready again. The window is shown on
// Qt's off-screen platform (unless QT_QPA_PLATFORM names another), so that the status bar and the charts
// are really painted, into memory.
//
// Usage: window_run_bench [--stops=MS,MS,...] [--profile] [--linear] [--pie] FOLDER [ROUNDS]
//   --linear: the bar charts on a linear axis (the window's "Linear"), as the settings file can keep it.
//   --pie: after each run, every chart that has a pie form shown on its own page and switched to its pie and
//          back, as the chart menu's "Change chart type" does.
//   ROUNDS runs of FOLDER (default 3), each timed from myTreeChange to the return of but_RunClick: wall
//   time (steady clock) and the process's CPU time (getrusage: user + system, every thread). Then one run
//   per stop delay (default 170,330,490 ms; "--stops=" for none), stopped by a timer that many
//   milliseconds after F5. The window keeps its own files in a temporary folder.
//   --profile: where a run's time goes besides the survey itself: after each timed run the same survey
//   without the window (RunSurvey in this process, no hooks), then the time the timed runs spent handling
//   events (by event type and receiver class, and the paint events by widget class), and the window's
//   display steps alone.
//
// Output, one line per measurement, fields as key=value:
//   run round=N run_seconds= cpu_seconds= paint_ms= max_event_gap_ms= end_gap_ms= processed= filtered=
//       paint_ms: the events pending when but_RunClick returned (the charts' first paint and any charts
//                 still built afterwards), until the window has nothing left to do
//       max_event_gap_ms: from F5 until then, the longest the window went without handling events (the
//                 longest a click or a key would have waited)
//       end_gap_ms: of those, the one at the end of the run: from the walk's last look at the events until the
//                 window handles them again, the result built and shown
//   stop delay_ms= late_ms= stop_ms= wait_ms= max_event_gap_ms= processed= filtered=
//       late_ms:  how long after its due time the timer was served (the walk processes events every
//                 100 ms and on entering each folder): what a click waits before the window sees it
//       stop_ms:  from but_StopClick to the return of but_RunClick (the window back in its ready state)
//       wait_ms:  late_ms + stop_ms: from the click until the window is ready
//       max_event_gap_ms: the longest the run went without processing events
//   stop delay_ms= missed=1 ...   the run had ended before the timer was due
//   tabs round=N max_event_gap_ms=   after a run with a result: every chart page shown in turn, as a click on
//                                     its tab does; the longest the window went without handling events
//   pie round=N chart=NAME slices= max_event_gap_ms=   with --pie: the chart switched to its pie, until painted
//   summary runs= median_run_seconds= median_cpu_seconds= median_paint_ms= max_run_event_gap_ms=
//           max_end_gap_ms= max_tab_event_gap_ms= max_pie_event_gap_ms= stops= median_stop_ms= max_stop_ms=
//           median_wait_ms= max_wait_ms=
// With --profile, after each run line:
//   engine round=N run_seconds= cpu_seconds= processed= filtered= entries=
// and before the summary:
//   events runs=N dispatch_ms= passes=                 per run: time in event handlers, processEvents calls
//   event type= receiver= count= ms=                   per run, the largest first
//   paint widget= count= ms=                           per run, paint events at any depth
//   step name= ms=                                     one display step of the window, its paint included

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTimer>

#include "app/ChartTabs.h"
#include "app/Lumetra_main.h"
#include "bench/BenchTiming.h"
#include "charts/ChartCatalog.h"
#include "charts/ChartPages.h"
#include "charts/ChartView.h"
#include "crop/CropStore.h"
#include "survey/SurveyRun.h"

namespace lumetra {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

// Times every event the application hands out while `recording` is set: the outermost ones (their sum is
// the time spent handling events) by event type and receiver class, and paint events at any depth by the
// painted widget's class.
class TimedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  struct Tally {
    int64_t count = 0;
    Clock::duration time{};
  };

  bool notify(QObject* receiver, QEvent* event) override {
    if (!recording) return QApplication::notify(receiver, event);
    const QEvent::Type type = event->type();
    const char* receiver_class = receiver->metaObject()->className();
    const Clock::time_point start = Clock::now();
    ++depth_;
    const bool result = QApplication::notify(receiver, event);
    --depth_;
    const Clock::duration span = Clock::now() - start;
    if (depth_ == 0) {
      Tally& tally = outermost[{static_cast<int>(type), receiver_class}];
      ++tally.count;
      tally.time += span;
    }
    if (type == QEvent::Paint) {
      Tally& tally = paints[receiver_class];
      ++tally.count;
      tally.time += span;
    }
    return result;
  }

  bool recording = false;
  std::map<std::pair<int, std::string>, Tally> outermost;
  std::map<std::string, Tally> paints;

 private:
  int depth_ = 0;
};

std::string EventName(int type) {
  const char* name = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
  return name != nullptr ? name : std::to_string(type);
}

// User + system time of the whole process, every thread, in seconds.
double ProcessCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Max(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Whole milliseconds from a list "300,600,900"; nullopt on anything else.
std::optional<std::vector<int>> ParseDelays(std::string_view list) {
  std::vector<int> delays;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string item(list.substr(0, comma));
    char* end = nullptr;
    const long value = std::strtol(item.c_str(), &end, 10);
    if (item.empty() || *end != '\0' || value < 0 || value > 600000) return std::nullopt;
    delays.push_back(static_cast<int>(value));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  return delays;
}

// Lets the window settle: the folder tree lists the home folder on a thread of its own at start-up.
void ProcessEventsFor(std::chrono::milliseconds span) {
  const Clock::time_point end = Clock::now() + span;
  while (Clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct RunFigures {
  double run_seconds = 0;
  double cpu_seconds = 0;
  double paint_ms = 0;
  double max_event_gap_ms = 0;
  double end_gap_ms = 0;
};

// Served on every pass of event processing: the longest time between two calls is the longest the window
// was frozen, a click or a key waiting all that time.
class EventGapMeter {
 public:
  EventGapMeter() {
    pulse_.setInterval(0);
    QObject::connect(&pulse_, &QTimer::timeout, [this] { Pass(); });
  }
  void Start() {
    last_ = Clock::now();
    max_gap_ = {};
    pulse_.start();
  }
  // The gap up to now counts too: it ends with the work just done.
  void Stop() {
    pulse_.stop();
    Pass();
  }
  [[nodiscard]] Clock::duration MaxGap() const { return max_gap_; }
  /// Marks a moment (the end of the walk); `GapAcrossMark` is then the gap that spans it.
  void Mark() { mark_ = Clock::now(); }
  [[nodiscard]] Clock::duration GapAcrossMark() const { return gap_across_mark_; }

 private:
  void Pass() {
    const Clock::time_point now = Clock::now();
    max_gap_ = std::max(max_gap_, now - last_);
    if (mark_ && last_ <= *mark_ && *mark_ <= now) gap_across_mark_ = now - last_;
    last_ = now;
  }

  QTimer pulse_;
  Clock::time_point last_;
  Clock::duration max_gap_{};
  std::optional<Clock::time_point> mark_;
  Clock::duration gap_across_mark_{};
};

// Handles events until the window has nothing left to do (the charts painted, any left to build built): the
// passes that follow do no more work than a meter's own, a few in a row under a millisecond each. Returns
// when the last pass that did work ended.
Clock::time_point SettleEvents(Clock::time_point since) {
  Clock::time_point busy_end = since;
  for (int quiet = 0; quiet < 5 && Clock::now() - since < std::chrono::seconds(60);) {
    const Clock::time_point pass_start = Clock::now();
    QCoreApplication::processEvents();
    const Clock::time_point pass_end = Clock::now();
    if (pass_end - pass_start < std::chrono::milliseconds(1)) {
      ++quiet;
    } else {
      quiet = 0;
      busy_end = pass_end;
    }
  }
  return busy_end;
}

RunFigures TimeRun(TForm_Exif& window, const QString& folder) {
  RunFigures figures;
  EventGapMeter gaps;
  const double cpu_start = ProcessCpuSeconds();
  const Clock::time_point start = Clock::now();
  window.myTreeChange(folder);
  gaps.Start();
  // The walk's last look at the events is followed by building and showing the result: the stall that
  // spans the return of but_RunClick is the one a run's end causes.
  window.but_RunClick();
  gaps.Mark();
  const Clock::time_point returned = Clock::now();
  figures.cpu_seconds = ProcessCpuSeconds() - cpu_start;
  figures.run_seconds = std::chrono::duration<double>(returned - start).count();
  figures.paint_ms = Milliseconds(SettleEvents(returned) - returned);
  gaps.Stop();
  figures.max_event_gap_ms = Milliseconds(gaps.MaxGap());
  figures.end_gap_ms = Milliseconds(gaps.GapAcrossMark());
  return figures;
}

struct StopFigures {
  bool missed = true;
  double late_ms = 0;
  double stop_ms = 0;
  double max_event_gap_ms = 0;
};

StopFigures TimeStop(TForm_Exif& window, const QString& folder, int delay_ms) {
  StopFigures figures;
  Clock::time_point clicked;
  EventGapMeter gaps;
  QTimer stop;
  stop.setSingleShot(true);
  stop.setTimerType(Qt::PreciseTimer);
  QObject::connect(&stop, &QTimer::timeout, [&] {
    if (!window.Running()) return;
    clicked = Clock::now();
    figures.missed = false;
    window.but_StopClick();
  });

  window.myTreeChange(folder);
  const Clock::time_point start = Clock::now();
  const Clock::time_point due = start + std::chrono::milliseconds(delay_ms);
  stop.start(delay_ms);
  gaps.Start();
  window.but_RunClick();
  const Clock::time_point ready = Clock::now();
  gaps.Stop();
  stop.stop();
  figures.max_event_gap_ms = Milliseconds(gaps.MaxGap());
  if (!figures.missed) {
    figures.late_ms = Milliseconds(clicked - due);
    figures.stop_ms = Milliseconds(ready - clicked);
  }
  SettleEvents(ready);
  return figures;
}

// Each chart page in turn, as a click on its tab shows it: the longest the window was frozen from the
// click until the page was painted and nothing was left to do.
double TimeTabs(TForm_Exif& window) {
  auto* tabs = window.findChild<ChartTabs*>(QStringLiteral("Tab_Exif"));
  Clock::duration longest{};
  for (int tab = 0; tab < ChartTabs::kTabCount; ++tab) {
    EventGapMeter gaps;
    gaps.Start();
    tabs->setCurrentIndex(tab);
    window.Tab_ExifChange();
    SettleEvents(Clock::now());
    gaps.Stop();
    longest = std::max(longest, gaps.MaxGap());
  }
  tabs->setCurrentIndex(0);
  window.Tab_ExifChange();
  SettleEvents(Clock::now());
  return Milliseconds(longest);
}

// Each chart that has a pie form, on its own page, switched to its pie as the chart menu's "Change chart
// type" does, and back: the longest the window was frozen from the click until the pie was painted.
double TimePies(TForm_Exif& window, int round) {
  auto* tabs = window.findChild<ChartTabs*>(QStringLiteral("Tab_Exif"));
  double longest = 0;
  for (const ChartRow& row : kChartRows) {
    if (!row.may_switch) continue;
    tabs->setCurrentIndex(OwnTab(row.id));
    window.Tab_ExifChange();
    SettleEvents(Clock::now());
    Chart& chart = window.Charts()[row.id];
    ChartView& view = window.Pages().View(row.id);
    const auto switch_form = [&] {
      chart.bar.active = !chart.bar.active;
      chart.pie.active = !chart.bar.active;
      view.Refresh();
    };
    EventGapMeter gaps;
    gaps.Start();
    switch_form();
    SettleEvents(Clock::now());
    gaps.Stop();
    const double gap = Milliseconds(gaps.MaxGap());
    std::printf("pie round=%d chart=%.*s slices=%zu max_event_gap_ms=%.3f\n", round,
                static_cast<int>(row.file_name.size()), row.file_name.data(), chart.pie.Points().size(), gap);
    longest = std::max(longest, gap);
    switch_form();
    SettleEvents(Clock::now());
  }
  tabs->setCurrentIndex(0);
  window.Tab_ExifChange();
  SettleEvents(Clock::now());
  return longest;
}

// The same survey as the window's Run, without the window: its settings, filter and crop factors, no hooks.
void TimeEngine(TForm_Exif& window, const std::string& folder, int round) {
  SurveyOptions options;
  options.language = window.UiLanguage();
  FilterCriteria criteria = window.Criteria();
  SurveyState state(options.language);
  const auto crop_factor = [&window](const std::string& make, const std::string& model) {
    return StoredCropFactor(window.Crops(), make, model);
  };
  const std::atomic<bool> stop_requested{false};
  const double cpu_start = ProcessCpuSeconds();
  const Clock::time_point start = Clock::now();
  const WalkResult walk = RunSurvey(folder, options, state, criteria, crop_factor, WalkHooks{}, stop_requested);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("engine round=%d run_seconds=%.6f cpu_seconds=%.6f processed=%lld filtered=%lld entries=%lld\n", round,
              seconds, ProcessCpuSeconds() - cpu_start, static_cast<long long>(state.processedCount),
              static_cast<long long>(state.filteredCount), static_cast<long long>(walk.entries));
}

// Milliseconds of `step` and of the events it leaves pending (its paint).
template <typename Step>
void TimeStep(const char* name, Step step) {
  const Clock::time_point start = Clock::now();
  step();
  QCoreApplication::processEvents();
  std::printf("step name=%s ms=%.3f\n", name, Milliseconds(Clock::now() - start));
}

void PrintProfile(const TimedApplication& application, int runs, int64_t passes) {
  Clock::duration total{};
  std::vector<std::pair<Clock::duration, std::string>> rows;
  for (const auto& [key, tally] : application.outermost) {
    total += tally.time;
    rows.emplace_back(tally.time, "event type=" + EventName(key.first) + " receiver=" + key.second +
                                      " count=" + std::to_string(tally.count / runs));
  }
  std::printf("events runs=%d dispatch_ms=%.3f passes=%lld\n", runs, Milliseconds(total) / runs,
              static_cast<long long>(passes / runs));
  std::sort(rows.rbegin(), rows.rend());
  for (size_t i = 0; i < rows.size() && i < 15; ++i) {
    std::printf("%s ms=%.3f\n", rows[i].second.c_str(), Milliseconds(rows[i].first) / runs);
  }
  rows.clear();
  for (const auto& [widget, tally] : application.paints) {
    rows.emplace_back(tally.time, "paint widget=" + widget + " count=" + std::to_string(tally.count / runs));
  }
  std::sort(rows.rbegin(), rows.rend());
  for (size_t i = 0; i < rows.size() && i < 10; ++i) {
    std::printf("%s ms=%.3f\n", rows[i].second.c_str(), Milliseconds(rows[i].first) / runs);
  }
}

int Main(TimedApplication& application, int argc, char** argv) {
  std::vector<int> delays = {170, 330, 490};
  bool profile = false;
  bool linear = false;
  bool pies = false;
  std::vector<std::string_view> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--profile") {
      profile = true;
    } else if (argument == "--linear") {
      linear = true;
    } else if (argument == "--pie") {
      pies = true;
    } else if (argument.starts_with("--stops=")) {
      const std::optional<std::vector<int>> parsed = ParseDelays(argument.substr(8));
      if (!parsed) {
        std::fprintf(stderr, "window_run_bench: --stops: expected milliseconds as MS,MS,..., got '%s'\n", argv[i]);
        return 2;
      }
      delays = *parsed;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.empty() || positional.size() > 2) {
    std::fprintf(stderr,
                 "usage: window_run_bench [--stops=MS,MS,...] [--profile] [--linear] [--pie] FOLDER [ROUNDS]\n");
    return 2;
  }
  int rounds = 3;
  if (positional.size() == 2) {
    rounds = std::atoi(std::string(positional[1]).c_str());
    if (rounds < 1) {
      std::fprintf(stderr, "window_run_bench: ROUNDS must be a positive whole number\n");
      return 2;
    }
  }
  std::error_code error;
  const std::filesystem::path folder_path = std::filesystem::absolute(std::string(positional[0]), error);
  if (error || !std::filesystem::is_directory(folder_path, error)) {
    std::fprintf(stderr, "window_run_bench: not a folder: %s\n", std::string(positional[0]).c_str());
    return 2;
  }
  const QString folder = QString::fromStdString(folder_path.lexically_normal().string());

  QTemporaryDir home;
  if (!home.isValid()) {
    std::fprintf(stderr, "window_run_bench: no temporary folder for the window's files\n");
    return 1;
  }
  // A message box would wait for a click that never comes.
  TForm_Exif window(WindowStart{{}, QSize(1024, 768), home.path().toStdString(), [](const QString& message) {
                                  std::fprintf(stderr, "window_run_bench: %s\n", qPrintable(message));
                                }});
  window.show();
  if (linear) window.findChild<QAbstractButton*>(QStringLiteral("rb_Linear"))->click();
  ProcessEventsFor(std::chrono::milliseconds(300));

  // Passes of event processing: the dispatcher announces each one.
  int64_t passes = 0;
  if (profile) {
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] {
      if (application.recording) ++passes;
    });
  }
  std::vector<double> run_seconds;
  std::vector<double> cpu_seconds;
  std::vector<double> paint_ms;
  std::vector<double> run_gaps;
  std::vector<double> end_gaps;
  std::vector<double> tab_gaps;
  std::vector<double> pie_gaps;
  for (int round = 1; round <= rounds; ++round) {
    application.recording = profile;
    const RunFigures figures = TimeRun(window, folder);
    application.recording = false;
    run_seconds.push_back(figures.run_seconds);
    cpu_seconds.push_back(figures.cpu_seconds);
    paint_ms.push_back(figures.paint_ms);
    run_gaps.push_back(figures.max_event_gap_ms);
    end_gaps.push_back(figures.end_gap_ms);
    std::printf(
        "run round=%d run_seconds=%.6f cpu_seconds=%.6f paint_ms=%.3f max_event_gap_ms=%.3f end_gap_ms=%.3f "
        "processed=%lld filtered=%lld\n",
        round, figures.run_seconds, figures.cpu_seconds, figures.paint_ms, figures.max_event_gap_ms, figures.end_gap_ms,
        static_cast<long long>(window.Survey().processedCount), static_cast<long long>(window.Survey().filteredCount));
    // Right after each window run, so that both see the machine alike.
    if (profile) TimeEngine(window, folder.toStdString(), round);
    if (window.Survey().filteredCount > 0) {
      tab_gaps.push_back(TimeTabs(window));
      std::printf("tabs round=%d max_event_gap_ms=%.3f\n", round, tab_gaps.back());
      if (pies) pie_gaps.push_back(TimePies(window, round));
    }
    std::fflush(stdout);
  }

  std::vector<double> stop_ms;
  std::vector<double> wait_ms;
  for (const int delay : delays) {
    const StopFigures figures = TimeStop(window, folder, delay);
    const long long processed = window.Survey().processedCount;
    const long long filtered = window.Survey().filteredCount;
    if (figures.missed) {
      std::printf("stop delay_ms=%d missed=1 max_event_gap_ms=%.3f processed=%lld filtered=%lld\n", delay,
                  figures.max_event_gap_ms, processed, filtered);
    } else {
      stop_ms.push_back(figures.stop_ms);
      wait_ms.push_back(figures.late_ms + figures.stop_ms);
      std::printf(
          "stop delay_ms=%d late_ms=%.3f stop_ms=%.3f wait_ms=%.3f max_event_gap_ms=%.3f processed=%lld "
          "filtered=%lld\n",
          delay, figures.late_ms, figures.stop_ms, figures.late_ms + figures.stop_ms, figures.max_event_gap_ms,
          processed, filtered);
    }
    std::fflush(stdout);
  }

  if (profile) {
    PrintProfile(application, rounds, passes);
    TimeStep("ResetDisplay", [&] { window.ResetDisplay(); });
    TimeStep("RebuildCharts_all", [&] { window.RebuildCharts(RebuildMode::kAll); });
    TimeStep("Tab_ExifChange", [&] { window.Tab_ExifChange(); });
    TimeStep("ShowCounters", [&] { window.ShowCounters(); });
    TimeStep("myTreeChange", [&] { window.myTreeChange(folder); });
  }

  std::printf(
      "summary runs=%zu median_run_seconds=%.6f median_cpu_seconds=%.6f median_paint_ms=%.3f "
      "max_run_event_gap_ms=%.3f max_end_gap_ms=%.3f max_tab_event_gap_ms=%.3f max_pie_event_gap_ms=%.3f stops=%zu "
      "median_stop_ms=%.3f "
      "max_stop_ms=%.3f "
      "median_wait_ms=%.3f max_wait_ms=%.3f\n",
      run_seconds.size(), Median(run_seconds), Median(cpu_seconds), Median(paint_ms), Max(run_gaps), Max(end_gaps),
      Max(tab_gaps), Max(pie_gaps), stop_ms.size(), Median(stop_ms), Max(stop_ms), Median(wait_ms), Max(wait_ms));
  return 0;
}

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  lumetra::TimedApplication application(argc, argv);
  return lumetra::Main(application, argc, argv);
}
