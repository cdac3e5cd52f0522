#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

/// The tag names a read lists when it is not a full listing (the survey asks for sixteen). Names compare
/// as every lookup by name does, letters a-z without regard to case.
class TagSelection {
 public:
  explicit TagSelection(std::span<const std::string_view> names);

  [[nodiscard]] bool Holds(std::string_view name) const;

 private:
  std::vector<std::string> names_;
  // Bit n is set when a name of n characters (n < 64) is held, so most names are refused at once: the walk
  // asks for every entry of every photo.
  uint64_t lengths_ = 0;
};

}  // namespace lumetra
