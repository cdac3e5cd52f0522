#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "survey/FilterCriteria.h"

namespace lumetra {

/// The filters applied before the current one, newest last, so that the last change can be taken back
/// whatever made it (the filter dialog, a chart command, Clear). Keeps the last `kFilterHistorySteps`.
class FilterHistory {
 public:
  static constexpr size_t kFilterHistorySteps = 20;

  /// Notes that `before` was applied until `after` replaced it. A change that filters the same photos the
  /// same way (an Apply without a change) is not a step.
  void Record(const FilterCriteria& before, const FilterCriteria& after);

  /// The filter applied before the last change, fitted to `current`'s model and lens lists (their entries
  /// stay, checked unless the earlier filter excluded them), and forgets that step; empty when there is none.
  [[nodiscard]] std::optional<FilterCriteria> Back(const FilterCriteria& current);

  [[nodiscard]] bool empty() const { return steps_.empty(); }
  [[nodiscard]] size_t size() const { return steps_.size(); }

 private:
  std::deque<FilterCriteria> steps_;
};

/// Whether `a` and `b` admit the same photos: the same bounds, boxes, radio buttons and exclusions (in any
/// order). The check lists and `keepChecks` are not looked at.
[[nodiscard]] bool SameFilter(const FilterCriteria& a, const FilterCriteria& b);

}  // namespace lumetra
