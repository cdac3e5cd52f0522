#include "filter/FilterHistory.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace lumetra {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  return texts;
}

// The entries of `list` checked unless `exclusions` names them.
void CheckAgainst(std::vector<CheckEntry>& list, const std::vector<std::string>& exclusions) {
  for (CheckEntry& entry : list) {
    entry.checked = std::find(exclusions.begin(), exclusions.end(), entry.text) == exclusions.end();
  }
}

}  // namespace

bool SameFilter(const FilterCriteria& a, const FilterCriteria& b) {
  const CategoryBoxes& boxes_a = a;
  const CategoryBoxes& boxes_b = b;
  const bool same_boxes = std::all_of(kCategoryBoxes.begin(), kCategoryBoxes.end(),
                                      [&](const CategoryBox& box) { return boxes_a.*box.box == boxes_b.*box.box; });
  return same_boxes && a.ed_from1 == b.ed_from1 && a.ed_to1 == b.ed_to1 && a.ed_from2 == b.ed_from2 &&
         a.ed_to2 == b.ed_to2 && a.ed_from3 == b.ed_from3 && a.ed_to3 == b.ed_to3 && a.ed_from4 == b.ed_from4 &&
         a.ed_to4 == b.ed_to4 && a.rb_Flash_Yes == b.rb_Flash_Yes && a.rb_Flash_No == b.rb_Flash_No &&
         a.rb_Orientation_H == b.rb_Orientation_H && a.rb_Orientation_V == b.rb_Orientation_V &&
         Sorted(a.ModelExclusions) == Sorted(b.ModelExclusions) && Sorted(a.LensExclusions) == Sorted(b.LensExclusions);
}

void FilterHistory::Record(const FilterCriteria& before, const FilterCriteria& after) {
  if (SameFilter(before, after)) return;
  steps_.push_back(before);
  if (steps_.size() > kFilterHistorySteps) steps_.pop_front();
}

std::optional<FilterCriteria> FilterHistory::Back(const FilterCriteria& current) {
  if (steps_.empty()) return std::nullopt;
  FilterCriteria previous = std::move(steps_.back());
  steps_.pop_back();
  // The lists follow the tallies as they are now; only what the earlier filter excluded is taken back.
  previous.ModelChecks = current.ModelChecks;
  previous.LensChecks = current.LensChecks;
  CheckAgainst(previous.ModelChecks, previous.ModelExclusions);
  CheckAgainst(previous.LensChecks, previous.LensExclusions);
  previous.keepChecks = current.keepChecks;
  return previous;
}

}  // namespace lumetra
