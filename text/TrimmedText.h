#pragma once

#include <cstdint>
#include <string_view>

namespace lumetra {

/// `text` without the blanks and control characters (bytes 0 to 32) around it, as the old Trim removes
/// them; bytes inside are kept.
[[nodiscard]] constexpr std::string_view TrimmedText(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace lumetra
