#pragma once

#include <array>
#include <cstdint>

#include <QStatusBar>

#include "survey/Labels.h"

class QLabel;

namespace lumetra {

class SurveyState;

/// The main window's status bar, `myStatusBar`: panel 0 the photos read, panel 1 those that passed the
/// filter, panel 2 the credit line, which takes the width the counters leave.
class WindowStatusBar : public QStatusBar {
 public:
  explicit WindowStatusBar(QWidget* parent);

  /// Rewrites panels 0 and 1 from the survey's counters in `language`.
  void ShowCounters(const SurveyState& survey, Language language);
  void ShowCredit(Language language);
  /// Shows `note` in panel 2 in place of the credit line (why a chart command cannot be made), until the
  /// credit line is shown again.
  void ShowNote(const QString& note);
  [[nodiscard]] QString Note() const;
  /// The counters' widths at the window's scale `koef` (in 1/10000).
  void ScaleCounters(int64_t koef);
  [[nodiscard]] int CounterWidth() const;

 private:
  std::array<QLabel*, 3> panels_{};
};

}  // namespace lumetra
