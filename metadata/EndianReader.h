#pragma once

#include <cstdint>
#include <string_view>

namespace lumetra {

/// Byte-order-aware reads over a byte buffer, shared by `TimgData` and `TImageInfo`. Positions are 1-based,
/// as in the Exif walk; a read that touches a byte outside `Buffer` throws `ReaderError`.
class tEndInd {
 public:
  /// True for "MM" (Motorola) data, false for "II" (Intel).
  bool BigEndian = false;
  /// The bytes that positions refer to; owned elsewhere (a segment of the owning `TimgData`).
  std::string_view Buffer;

  /// Unsigned 16-bit value at `position` and `position` + 1.
  [[nodiscard]] uint16_t ReadWord(int64_t position) const;
  /// Signed 32-bit value of the four bytes from `position`.
  [[nodiscard]] int32_t ReadLong(int64_t position) const;
  /// Value of a byte string of any length in this byte order: the low 32 bits of at most eight bytes
  /// (the most significant ones), as a signed int.
  [[nodiscard]] int32_t ReadInteger(std::string_view bytes) const;

 private:
  [[nodiscard]] std::string_view Bytes(int64_t position, int64_t count) const;
};

/// `tEndInd::ReadInteger` as a free function for code that has the byte order but no reader.
[[nodiscard]] int32_t ReadIntegerInOrder(std::string_view bytes, bool big_endian);

}  // namespace lumetra
