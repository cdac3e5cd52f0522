#pragma once

#include <cstdint>
#include <optional>

namespace lumetra {

class PositionedSource;

/// A run of bytes of a file: `length` bytes from `offset`.
struct ByteRange {
  uint64_t offset = 0;
  uint64_t length = 0;
};

/// An embedded JPEG's range as a file's header or directory gives it: none when `length` is 0; throws
/// `ReaderError` when it would lie outside a file of `file_size` bytes.
[[nodiscard]] std::optional<ByteRange> EmbeddedJpegRange(uint64_t offset, uint64_t length, uint64_t file_size);

/// Where the JPEG embedded in a Fujifilm RAF file lies (it carries the Exif and is read by the ordinary
/// segment walk, through a `RangeSource`). Reads the 92-byte header only. None when the header names a
/// JPEG of length 0; throws `ReaderError` when the header is cut short or the JPEG would lie outside the file.
[[nodiscard]] std::optional<ByteRange> LocateRafJpeg(PositionedSource& source);

}  // namespace lumetra
