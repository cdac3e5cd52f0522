#include "metadata/TagSelection.h"

#include <algorithm>

#include "metadata/TagEntry.h"

namespace lumetra {

namespace {

constexpr size_t kLengthBits = 64;

}  // namespace

TagSelection::TagSelection(std::span<const std::string_view> names) : names_(names.begin(), names.end()) {
  for (const std::string& name : names_) lengths_ |= name.size() < kLengthBits ? uint64_t{1} << name.size() : 0;
}

bool TagSelection::Holds(std::string_view name) const {
  const bool may_hold = name.size() >= kLengthBits || (lengths_ >> name.size() & 1) != 0;
  if (!may_hold) return false;
  return std::any_of(names_.begin(), names_.end(), [name](const std::string& held) { return SameTagName(held, name); });
}

}  // namespace lumetra
