#include "metadata/TagSelection.h"

#include <algorithm>

#include "metadata/TagEntry.h"

namespace lumetra {

bool TagSelection::Holds(std::string_view name) const {
  return std::any_of(names_.begin(), names_.end(), [name](const std::string& held) { return SameTagName(held, name); });
}

}  // namespace lumetra
