#include "metadata/TagSelection.h"

#include <algorithm>
#include <functional>

#include "metadata/TagEntry.h"
#include "metadata/TagTables.h"

namespace lumetra {

TagSelection::TagSelection(std::span<const std::string_view> names) {
  for (size_t i = 0; i < names.size(); ++i) indexes_.push_back(static_cast<int>(i));
  std::stable_sort(indexes_.begin(), indexes_.end(), [names](int a, int b) {
    return names[static_cast<size_t>(a)].size() < names[static_cast<size_t>(b)].size();
  });
  for (const int index : indexes_) names_.emplace_back(names[static_cast<size_t>(index)]);
  size_t index = 0;
  for (size_t length = 0; length <= kShortLength; ++length) {
    while (index < names_.size() && names_[index].size() < length) ++index;
    first_of_length_[length] = static_cast<uint8_t>(index);
  }
  for (const TTagEntry& row : MainTagTable()) main_rows_.push_back(Holds(row.Name));
  for (const TTagEntry& row : GpsTagTable()) gps_rows_.push_back(Holds(row.Name));
}

bool TagSelection::HoldsRow(const TTagEntry& row) const {
  const auto held_in = [&row](std::span<const TTagEntry> table, const std::vector<bool>& held) -> int {
    const std::less<const TTagEntry*> before;
    if (before(&row, table.data()) || !before(&row, table.data() + table.size())) return -1;
    return held[static_cast<size_t>(&row - table.data())] ? 1 : 0;
  };
  int held = held_in(MainTagTable(), main_rows_);
  if (held < 0) held = held_in(GpsTagTable(), gps_rows_);
  return held < 0 ? Holds(row.Name) : held == 1;
}

int TagSelection::IndexOf(std::string_view name) const {
  const bool is_short = name.size() < kShortLength;
  const size_t begin = is_short ? first_of_length_[name.size()] : first_of_length_[kShortLength];
  const size_t end = is_short ? first_of_length_[name.size() + 1] : names_.size();
  for (size_t i = begin; i < end; ++i) {
    if (SameTagName(names_[i], name)) return indexes_[i];
  }
  return -1;
}

}  // namespace lumetra
