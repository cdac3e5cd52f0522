#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "survey/FilterCriteria.h"
#include "survey/Labels.h"

namespace lumetra {

/// One label of the filter summary: the control that shows it, its text (a head, then list lines each
/// after a "\r") and the number of list lines.
struct SummaryLabel {
  std::string_view control;
  std::string text;
  int list_lines = 0;
};

/// The twelve criterion labels of the summary, in the order they are stacked.
extern const std::array<std::string_view, 12> kSummaryLabelNames;

/// The summary of `criteria` in `language`: one label for each kind of criterion that is set, in stacking
/// order. The program, metering, model and lens lists name what is admitted, not what is excluded. Empty
/// when no criterion is set.
[[nodiscard]] std::vector<SummaryLabel> BuildFilterSummary(const FilterCriteria& criteria, Language language);

/// Where the summary's labels go and how high its box becomes.
struct SummaryLayout {
  /// The top of each label, in the order given.
  std::vector<int> tops;
  /// The height of `Filter_Box` and of its scroll box `SB_Filter`.
  int filter_box_height = 0;
  int sb_filter_height = 0;
};

/// Stacks `labels` from the top of the scroll box: rows 20 pixels apart, each list line a further
/// Round(13 x `koef`) (`koef` in 1/10000). The box grows with its content up to 0.4 of `panel_height`, the
/// height of the left panel; a longer summary scrolls inside it.
[[nodiscard]] SummaryLayout LayOutFilterSummary(const std::vector<SummaryLabel>& labels, int64_t koef,
                                                int panel_height);

}  // namespace lumetra
