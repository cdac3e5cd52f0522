#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lumetra {

class PositionedSource;

/// What a photo file is, told by its first bytes, never by its name.
enum class ContainerKind {
  kUnknown,
  /// FF D8: the marker segment walk.
  kJpeg,
  /// A TIFF structure from the file's first byte: TIFF itself and the RAW formats built on it (NEF, NRW,
  /// CR2, DNG, ARW, SR2, SRF, PEF, SRW, IIQ, 3FR, ERF, MEF, RWL, ORF, RW2).
  kTiff,
  /// Fujifilm RAF: a header pointing at an embedded JPEG that carries the Exif.
  kRaf,
  /// ISO base media image (HEIC, HEIF, AVIF): the Exif is an item of the `meta` box.
  kIsoMediaImage,
  /// Canon CR3: ISO base media boxes, the Exif directories in Canon's own boxes inside `moov`.
  kCr3,
};

/// The magic number of a TIFF header: 42 in TIFF and most RAW formats; Olympus ORF and Panasonic RW2 write
/// their own and are TIFF structures all the same.
enum class TiffMagic { kStandard, kOlympus, kPanasonic };

/// A TIFF header's fields.
struct TiffHeader {
  bool big_endian = false;
  TiffMagic magic = TiffMagic::kStandard;
  /// Offset of IFD0 from the header's first byte, as the header says (16 in CR2, 8 in most files).
  uint32_t ifd0_offset = 0;
};

/// The kind of a file and, for `kTiff`, its header.
struct Container {
  ContainerKind kind = ContainerKind::kUnknown;
  TiffHeader tiff;
};

/// How many of a file's first bytes `SniffContainer` looks at: enough for a TIFF or RAF header and an
/// ISO media `ftyp` box with a long list of brands.
inline constexpr size_t kSniffBytes = 256;

/// The kind of the file that begins with `head` (its first `kSniffBytes` bytes, or all of a shorter file).
/// A truncated or unknown header gives `kUnknown`; never throws.
[[nodiscard]] Container SniffContainer(std::string_view head);

/// `SniffContainer` on the first bytes of `source`; throws `ReaderError` only when the source cannot be read.
[[nodiscard]] Container SniffContainer(PositionedSource& source);

/// The TIFF header at the start of `bytes` ("II*\0", "MM\0*", and the ORF and RW2 variants); none when
/// `bytes` does not start with one.
[[nodiscard]] std::optional<TiffHeader> ParseTiffHeader(std::string_view bytes);

}  // namespace lumetra
