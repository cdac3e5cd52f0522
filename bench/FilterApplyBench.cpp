// What a person waits for after pressing Apply in the filter dialog, on a survey of 100,000 photos: from
// the click until the window has recounted, rebuilt its charts and painted them, next to the re-tally
// alone in the same process. The window is on Qt's off-screen platform (unless QT_QPA_PLATFORM names
// another); the photos are the library of bench/PhotoLibrary.h, stored without files.
//
// The same for a chart command: "Only" on the tallest exposure bar chosen in the chart menu, on the main
// overview (ten charts painted), until the window has recounted and painted; and Backspace's way back.
//
// Usage: filter_apply_bench [ROUNDS]
//   Each round applies a filter (exposure 1/250 to 1/60, the first camera left out) and then no filter,
//   both timed, then "Only" from the chart menu and "Previous filter", both timed; ROUNDS (default 5)
//   re-tallies are timed alone.
//
// Output, one line per measurement, fields as key=value:
//   retally round=N ms= filtered=
//   apply round=N filter=bounds|none ms= filtered=
//   chart round=N command=only|back ms= filtered=
//   summary photos= median_retally_ms= median_apply_ms= median_only_ms= median_back_ms=

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "app/ChartCommands.h"
#include "app/ChartMenu.h"
#include "app/LeftPanel.h"
#include "app/Lumetra_main.h"
#include "bench/BenchTiming.h"
#include "bench/PhotoLibrary.h"

namespace lumetra {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

// Opens the filter from its summary box, lets `edit` change the dialog, and presses Apply: the time from
// the press until the window has recounted and painted.
double TimedApply(TForm_Exif& window, const std::function<void(QWidget&)>& edit) {
  Clock::time_point pressed;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    edit(*dialog);
    pressed = Clock::now();
    dialog->findChild<QAbstractButton*>(QStringLiteral("but_OK"))->click();
  });
  QWidget* summary = window.findChild<QWidget*>(QStringLiteral("Filter_Box"));
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(20, 20), summary->mapToGlobal(QPointF(20, 20)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(summary, &release);
  // The charts' paint.
  QApplication::processEvents();
  return Milliseconds(Clock::now() - pressed);
}

// Opens the chart menu on the tallest exposure bar and chooses "Only": the time from the choice until the
// window has recounted and painted.
double TimedOnly(TForm_Exif& window, ChartMenu& menu) {
  const std::vector<ChartPoint>& bars = window.Charts()[ChartId::Chart_ShutterSpeed].Shown().Points();
  const auto tallest = std::max_element(bars.begin(), bars.end(),
                                        [](const ChartPoint& a, const ChartPoint& b) { return a.value < b.value; });
  menu.Open(ChartId::Chart_ShutterSpeed, window.mapToGlobal(QPoint(400, 300)),
            static_cast<size_t>(tallest - bars.begin()));
  QApplication::processEvents();
  const Clock::time_point chosen = Clock::now();
  window.findChild<QAction*>(QStringLiteral("mOnly"))->trigger();
  window.findChild<QMenu*>(QStringLiteral("myPopup"))->hide();
  QApplication::processEvents();
  return Milliseconds(Clock::now() - chosen);
}

double TimedBack(TForm_Exif& window) {
  const Clock::time_point pressed = Clock::now();
  window.findChild<QAction*>(QStringLiteral("mmPreviousFilter"))->trigger();
  QApplication::processEvents();
  return Milliseconds(Clock::now() - pressed);
}

int Main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (bench::CorpusRecords().empty()) {
    std::fprintf(stderr, "no photo of the corpus gave a record: %s (set LUMETRA_CORPUS)\n",
                 bench::CorpusFolder().c_str());
    return 1;
  }
  QTemporaryDir home;
  TForm_Exif window(
      WindowStart{.arguments = {},
                  .screen = QSize(1024, 768),
                  .program_folder = home.path().toStdString(),
                  .report_error = [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); }});
  ChartMenu& menu = InstallChartCommands(window, CommandDialogs{});
  window.show();
  bench::FillSurvey(window.Survey(), window.Criteria());
  // The stored photos stand for a finished run: the chart commands act on its charts.
  window.findChild<LeftPanel*>()->ShowLight(LeftPanel::Light::kGreen);
  window.RecountAndShow();
  window.UpdateActions();
  QApplication::processEvents();

  std::vector<double> retally_ms;
  for (int round = 1; round <= rounds; ++round) {
    const Clock::time_point start = Clock::now();
    window.Survey().Retally(window.Criteria(), true);
    retally_ms.push_back(Milliseconds(Clock::now() - start));
    std::printf("retally round=%d ms=%.1f filtered=%d\n", round, retally_ms.back(), window.Survey().filteredCount);
  }

  std::vector<double> apply_ms;
  for (int round = 1; round <= rounds; ++round) {
    apply_ms.push_back(TimedApply(window, [](QWidget& dialog) {
      dialog.findChild<QLineEdit*>(QStringLiteral("ed_from1"))->setText(QStringLiteral("1/250"));
      dialog.findChild<QLineEdit*>(QStringLiteral("ed_to1"))->setText(QStringLiteral("1/60"));
      dialog.findChild<QCheckBox*>(QStringLiteral("ScrollBox_Photo_0"))->setChecked(false);
    }));
    std::printf("apply round=%d filter=bounds ms=%.1f filtered=%d\n", round, apply_ms.back(),
                window.Survey().filteredCount);
    apply_ms.push_back(TimedApply(
        window, [](QWidget& dialog) { dialog.findChild<QAbstractButton*>(QStringLiteral("but_Clear"))->click(); }));
    std::printf("apply round=%d filter=none ms=%.1f filtered=%d\n", round, apply_ms.back(),
                window.Survey().filteredCount);
  }
  std::vector<double> only_ms;
  std::vector<double> back_ms;
  for (int round = 1; round <= rounds; ++round) {
    only_ms.push_back(TimedOnly(window, menu));
    std::printf("chart round=%d command=only ms=%.1f filtered=%d\n", round, only_ms.back(),
                window.Survey().filteredCount);
    back_ms.push_back(TimedBack(window));
    std::printf("chart round=%d command=back ms=%.1f filtered=%d\n", round, back_ms.back(),
                window.Survey().filteredCount);
  }
  std::printf("summary photos=%d median_retally_ms=%.1f median_apply_ms=%.1f median_only_ms=%.1f median_back_ms=%.1f\n",
              window.Survey().processedCount, Median(retally_ms), Median(apply_ms), Median(only_ms), Median(back_ms));
  return 0;
}

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) { return lumetra::Main(argc, argv); }
