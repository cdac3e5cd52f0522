#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

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
  /// Panel 2 says why the records cache was not used, until the next run; `program_folder`, where the cache's
  /// files sit, is left out of the text, which ends in "..." where the panel is too narrow; the whole line is
  /// its tool tip. An empty `problem` shows the credit line.
  void ShowRecordsProblem(const std::string& problem, const std::string& program_folder, Language language);
  /// Shows `note` in panel 2 (why a chart command cannot be made) in place of what it showed, until
  /// `EndNote` puts that back or the panel is rewritten.
  void ShowNote(const QString& note);
  void EndNote();
  /// The note of `count` items passed over in `language`; hidden when there are none.
  void ShowSkipped(size_t count, Language language);
  [[nodiscard]] QToolButton& SkippedNote() const { return *skipped_; }
  /// The counters' widths at the window's scale `koef` (in 1/10000).
  void ScaleCounters(int64_t koef);
  [[nodiscard]] int CounterWidth() const;

 private:
  std::array<QLabel*, 3> panels_{};
  // What panel 2 showed before the note shown now, if any.
  std::optional<QString> before_note_;
  QToolButton* skipped_;
};

}  // namespace lumetra
