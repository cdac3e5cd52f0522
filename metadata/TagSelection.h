#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

/// The tag names a read lists when it is not a full listing (the survey asks for sixteen). Names compare
/// as every lookup by name does, letters a-z without regard to case.
class TagSelection {
 public:
  explicit TagSelection(std::span<const std::string_view> names) : names_(names.begin(), names.end()) {}

  [[nodiscard]] bool Holds(std::string_view name) const;

 private:
  std::vector<std::string> names_;
};

}  // namespace lumetra
