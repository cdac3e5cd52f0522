#include "metadata/TagSelection.h"

#include <algorithm>

#include "metadata/TagEntry.h"
#include "metadata/TagTables.h"

namespace lumetra {

TagSelection::TagSelection(std::span<const std::string_view> names) {
  for (size_t i = 0; i < names.size(); ++i) indexes_.push_back(static_cast<int>(i));
  std::stable_sort(indexes_.begin(), indexes_.end(), [names](int a, int b) {
    return names[static_cast<size_t>(a)].size() < names[static_cast<size_t>(b)].size();
  });
  for (const int index : indexes_) {
    const std::string_view name = names[static_cast<size_t>(index)];
    names_.emplace_back(name);
    first_letters_.push_back(name.empty() ? '\0' : LowerAscii(name.front()));
  }
  size_t index = 0;
  for (size_t length = 0; length <= kShortLength; ++length) {
    while (index < names_.size() && names_[index].size() < length) ++index;
    first_of_length_[length] = static_cast<uint8_t>(index);
  }
  main_table_ = MainTagTable();
  gps_table_ = GpsTagTable();
  for (const TTagEntry& row : main_table_) main_rows_.push_back(IndexOf(row.Name));
  for (const TTagEntry& row : gps_table_) gps_rows_.push_back(IndexOf(row.Name));
  for (const TTagEntry& row : main_table_) main_listed_rows_.push_back(Lists(row.Name) ? 1 : 0);
  for (const TTagEntry& row : gps_table_) gps_listed_rows_.push_back(Lists(row.Name) ? 1 : 0);
}

bool TagSelection::Lists(std::string_view name) const {
  if (Holds(name)) return true;
  for (const std::string_view input : kFocal35InputNames) {
    if (SameTagName(input, name)) return true;
  }
  return false;
}

int TagSelection::IndexOfOtherRow(const TTagEntry& row) const { return IndexOf(row.Name); }

int TagSelection::IndexOf(std::string_view name) const {
  const bool is_short = name.size() < kShortLength;
  const size_t begin = is_short ? first_of_length_[name.size()] : first_of_length_[kShortLength];
  const size_t end = is_short ? first_of_length_[name.size() + 1] : names_.size();
  if (begin == end) return -1;
  const char first = name.empty() ? '\0' : LowerAscii(name.front());
  for (size_t i = begin; i < end; ++i) {
    if (first_letters_[i] == first && SameTagName(names_[i], name)) return indexes_[i];
  }
  return -1;
}

}  // namespace lumetra
