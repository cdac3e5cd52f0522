#pragma once

#include <array>
#include <cstdint>

#include <QStatusBar>

#include "survey/Labels.h"

class QLabel;
class QToolButton;

namespace lumetra {

class SurveyState;

/// The main window's status bar, `myStatusBar`: panel 0 the photos read, panel 1 those that passed the
/// filter, panel 2 the credit line, which takes the width the counters leave. Between the counters and
/// the credit, after a run that passed over folders or files, a note says how many
/// (`myStatusBar_Skipped`, a button that opens their list).
class WindowStatusBar : public QStatusBar {
 public:
  explicit WindowStatusBar(QWidget* parent);

  /// Rewrites panels 0 and 1 from the survey's counters in `language`.
  void ShowCounters(const SurveyState& survey, Language language);
  void ShowCredit(Language language);
  /// The note of `count` items passed over in `language`; hidden when there are none.
  void ShowSkipped(size_t count, Language language);
  [[nodiscard]] QToolButton& SkippedNote() const { return *skipped_; }
  /// The counters' widths at the window's scale `koef` (in 1/10000).
  void ScaleCounters(int64_t koef);
  [[nodiscard]] int CounterWidth() const;

 private:
  std::array<QLabel*, 3> panels_{};
  QToolButton* skipped_;
};

}  // namespace lumetra
