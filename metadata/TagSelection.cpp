#include "metadata/TagSelection.h"

#include <algorithm>

#include "metadata/TagEntry.h"

namespace lumetra {

TagSelection::TagSelection(std::span<const std::string_view> names) : names_(names.begin(), names.end()) {
  std::stable_sort(names_.begin(), names_.end(),
                   [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  size_t index = 0;
  for (size_t length = 0; length <= kShortLength; ++length) {
    while (index < names_.size() && names_[index].size() < length) ++index;
    first_of_length_[length] = static_cast<uint8_t>(index);
  }
}

bool TagSelection::Holds(std::string_view name) const {
  const bool is_short = name.size() < kShortLength;
  const size_t begin = is_short ? first_of_length_[name.size()] : first_of_length_[kShortLength];
  const size_t end = is_short ? first_of_length_[name.size() + 1] : names_.size();
  for (size_t i = begin; i < end; ++i) {
    if (SameTagName(names_[i], name)) return true;
  }
  return false;
}

}  // namespace lumetra
