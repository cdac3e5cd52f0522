#pragma once

#include <cstdint>
#include <string>
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
  /// Set when a read asked for bytes past the end of `Buffer` (a value clipped there counts too): a walk
  /// over the first part of a segment then needs the rest.
  mutable bool ReadPastEnd = false;

  /// Unsigned 16-bit value at `position` and `position` + 1.
  [[nodiscard]] uint16_t ReadWord(int64_t position) const {
    const uint8_t* b = At(position, 2);
    return static_cast<uint16_t>(BigEndian ? b[0] << 8 | b[1] : b[1] << 8 | b[0]);
  }
  /// Signed 32-bit value of the four bytes from `position`.
  [[nodiscard]] int32_t ReadLong(int64_t position) const {
    const uint8_t* b = At(position, 4);
    const uint32_t value = BigEndian ? uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]
                                     : uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
    return static_cast<int32_t>(value);
  }
  /// Value of a byte string of any length in this byte order: the low 32 bits of at most eight bytes
  /// (the most significant ones), as a signed int.
  [[nodiscard]] int32_t ReadInteger(std::string_view bytes) const;

  /// True when `count` bytes from `position` lie inside `Buffer`; otherwise notes `ReadPastEnd` as a read
  /// there would, so that a walk can end at a broken entry without the cost of a throw.
  [[nodiscard]] bool Holds(int64_t position, int64_t count) const {
    if (!Inside(position, count)) [[unlikely]] {
      if (position >= 1) ReadPastEnd = true;
      return false;
    }
    return true;
  }
  /// True when `count` bytes from `position` lie inside `Buffer`, noting nothing.
  [[nodiscard]] bool Inside(int64_t position, int64_t count) const {
    const auto size = static_cast<int64_t>(Buffer.size());
    // Position p (1-based) is index p - 1; check the start first, then the length against what is left.
    return !(position < 1 || position - 1 > size || count > size - (position - 1));
  }
  /// The message of the failure a read of `count` bytes at `position` outside `Buffer` throws.
  [[nodiscard]] std::string OutsideMessage(int64_t position, int64_t count) const;

 private:
  // The directory walks read every entry through these two: the check stays inline, the message apart.
  [[nodiscard]] const uint8_t* At(int64_t position, int64_t count) const {
    if (!Inside(position, count)) [[unlikely]] {
      if (position >= 1) ReadPastEnd = true;
      ThrowOutside(position, count);
    }
    return reinterpret_cast<const uint8_t*>(Buffer.data()) + (position - 1);
  }
  [[noreturn]] void ThrowOutside(int64_t position, int64_t count) const;
};

/// `tEndInd::ReadInteger` as a free function for code that has the byte order but no reader.
[[nodiscard]] int32_t ReadIntegerInOrder(std::string_view bytes, bool big_endian);

/// The unsigned value of a byte string in a byte order: at most eight bytes, the most significant ones
/// (box sizes and offsets of the containers, up to 64 bits).
[[nodiscard]] uint64_t ReadUnsignedInOrder(std::string_view bytes, bool big_endian);

}  // namespace lumetra
