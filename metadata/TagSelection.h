#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

/// The tag names a read lists when it is not a full listing (the survey asks for nineteen). Names compare
/// as every lookup by name does, letters a-z without regard to case.
class TagSelection {
 public:
  explicit TagSelection(std::span<const std::string_view> names);

  [[nodiscard]] bool Holds(std::string_view name) const;

 private:
  static constexpr size_t kShortLength = 64;
  // The names sorted by length, and where the names of each short length begin: the walk asks about every
  // entry of every photo, and most names are then refused without a comparison.
  std::vector<std::string> names_;
  std::array<uint8_t, kShortLength + 1> first_of_length_{};
};

}  // namespace lumetra
