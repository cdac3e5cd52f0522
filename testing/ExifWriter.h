#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/TiffTypes.h"

namespace lumetra::testing {

/// Byte order of a TIFF structure: "II" (Intel, little-endian) or "MM" (Motorola, big-endian).
enum class ByteOrder { kLittle, kBig };

/// TIFF field types: the reader's own names. Plain numbers, because broken fixtures need types outside
/// 1..12 too.
namespace field_type {
using namespace ::lumetra::tiff_type;
}  // namespace field_type

/// Size in bytes of one element of a TIFF field type; 0 for type 0 and for any type above 12.
[[nodiscard]] uint32_t ElementSize(uint16_t type);

/// A fraction as stored in a RATIONAL (unsigned parts) or SRATIONAL (signed parts) field. Each part is
/// truncated to its low 32 bits when written, so -1 becomes 0xFFFFFFFF.
struct Rational {
  int64_t num = 0;
  int64_t den = 1;
};

/// Appends integers in one byte order; for fixtures assembled by hand, deliberately broken ones included.
class ByteWriter {
 public:
  explicit ByteWriter(ByteOrder order) : order_(order) {}

  ByteWriter& Put8(uint8_t value);
  ByteWriter& Put16(uint16_t value);
  ByteWriter& Put32(uint32_t value);
  ByteWriter& PutBytes(std::string_view bytes);
  /// Appends zero bytes until the size is even (TIFF values and directories start on word boundaries).
  ByteWriter& AlignToWord();

  /// Overwrite bytes written earlier at byte position pos; throws std::out_of_range when they do not exist.
  void Patch16(std::size_t pos, uint16_t value);
  void Patch32(std::size_t pos, uint32_t value);

  [[nodiscard]] ByteOrder order() const { return order_; }
  [[nodiscard]] std::size_t size() const { return bytes_.size(); }
  [[nodiscard]] const std::string& str() const { return bytes_; }

 private:
  ByteOrder order_;
  std::string bytes_;
};

namespace detail {
struct IfdLayout;
}  // namespace detail

/// One image file directory. Entries are written in the order they were added, never sorted, so a fixture
/// controls the order a reader meets them in. Element values are encoded in the byte order given to BuildTiff.
class Ifd {
 public:
  /// ASCII text; a terminating zero byte is added and counted.
  Ifd& Ascii(uint16_t tag, std::string_view text);
  /// ASCII field holding exactly these bytes: no terminator is added, count = bytes.size().
  Ifd& AsciiExact(uint16_t tag, std::string_view bytes);
  Ifd& Byte(uint16_t tag, std::vector<uint8_t> values);
  Ifd& Short(uint16_t tag, std::vector<uint16_t> values);
  Ifd& Long(uint16_t tag, std::vector<uint32_t> values);
  Ifd& SShort(uint16_t tag, std::vector<int16_t> values);
  Ifd& SLong(uint16_t tag, std::vector<int32_t> values);
  Ifd& Rationals(uint16_t tag, std::vector<Rational> values);
  Ifd& SRationals(uint16_t tag, std::vector<Rational> values);
  /// UNDEFINED bytes, count = bytes.size() (ExifVersion, ComponentsConfiguration, a maker note).
  Ifd& Undefined(uint16_t tag, std::string_view bytes);
  /// Any type and count with value bytes written as given (no byte swapping). Up to 4 bytes go inline,
  /// zero-padded; more go to the data area. Type and count need not agree with the byte count.
  Ifd& Raw(uint16_t tag, uint16_t type, uint32_t count, std::string_view value_bytes);
  /// The 12-byte entry exactly as given, its last four bytes being value_or_offset in the TIFF's byte order;
  /// for offsets and counts that point nowhere.
  Ifd& RawField(uint16_t tag, uint16_t type, uint32_t count, uint32_t value_or_offset);
  /// A LONG entry of count 1 holding the offset of child, which is written after this directory's values
  /// (0x8769 Exif, 0x8825 GPS, 0xA005 interoperability).
  Ifd& Sub(uint16_t tag, Ifd child);
  /// Links a next directory (IFD1 after IFD0); written after all sub-directories. A second call replaces it.
  Ifd& Next(Ifd next);

  /// Number of entries added so far.
  [[nodiscard]] std::size_t size() const { return entries_.size(); }

 private:
  friend struct detail::IfdLayout;

  enum class Kind { kValue, kField, kSub };
  struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    Kind kind = Kind::kValue;
    // Elements of unit_size bytes each, encoded in the TIFF's byte order; unit_size 0 means `bytes` as is.
    uint8_t unit_size = 0;
    std::vector<uint32_t> units;
    std::string bytes;
    uint32_t field = 0;
    std::size_t child = 0;
  };

  Ifd& AddUnits(uint16_t tag, uint16_t type, uint32_t count, uint8_t unit_size, std::vector<uint32_t> units);

  std::vector<Entry> entries_;
  std::vector<Ifd> children_;
  std::vector<Ifd> next_;  // empty or one directory
};

/// A TIFF structure: "II*\0" or "MM\0*", IFD0 at offset 8, then each directory's values, its sub-directories
/// and its next directory. Offsets count from the first header byte; every value and directory starts at
/// an even offset. Throws std::length_error for a directory of more than 65535 entries.
[[nodiscard]] std::string BuildTiff(const Ifd& ifd0, ByteOrder order);

/// A maker note: `header`, then `directory` (word-aligned) with its values, whose offsets count as if the
/// note's first byte stood at `offset_of_first_byte`: the note's position in its TIFF structure for makers
/// that count from the TIFF header, 0 for makers that count from the note itself, -10 for a note whose own
/// TIFF header starts at its byte 10.
[[nodiscard]] std::string BuildMakerNote(const Ifd& directory, ByteOrder order, std::string_view header,
                                         int64_t offset_of_first_byte);

/// An Exif APP1 payload: "Exif\0\0" followed by BuildTiff (ifd0, order); without marker and length.
[[nodiscard]] std::string BuildExifPayload(const Ifd& ifd0, ByteOrder order);

}  // namespace lumetra::testing
