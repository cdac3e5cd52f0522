#include "metadata/TagSelection.h"

#include <algorithm>

#include "metadata/TagEntry.h"

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
