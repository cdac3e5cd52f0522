#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// One JPEG marker segment: 0xFF, the marker byte, a 16-bit big-endian length, the payload.
struct Segment {
  uint8_t marker = 0;
  std::string payload;
  /// Length field to write instead of payload.size() + 2, for broken files; the payload is written whole.
  std::optional<uint16_t> length;
};

/// An APP1 segment holding BuildExifPayload (ifd0, order).
[[nodiscard]] Segment ExifSegment(const Ifd& ifd0, ByteOrder order);

/// An APP0 "JFIF" 1.01 segment, 72 dots per inch, no thumbnail.
[[nodiscard]] Segment JfifSegment();

/// A structural JPEG: FF D8, the segments as given, then (with_scan) a small start-of-scan segment, a few
/// entropy-coded bytes and FF D9. It has no frame or tables and cannot be decoded to pixels.
/// Throws std::length_error for a payload over 65533 bytes without an explicit length.
[[nodiscard]] std::string BuildJpeg(const std::vector<Segment>& segments, bool with_scan = true);

/// A real baseline JPEG picture of width x height pixels, drawn from seed (sky, horizon, sun, striped
/// ground): the same arguments give the same bytes. The app segments follow FF D8 directly, in order; no
/// JFIF header is added. Throws std::invalid_argument for sizes outside 1..65500, a quality outside
/// 1..100 or a segment with an explicit length, and std::runtime_error when the encoder fails.
[[nodiscard]] std::string EncodeJpeg(int width, int height, uint32_t seed, const std::vector<Segment>& app_segments,
                                     int quality = 85);

/// Writes bytes to path, replacing the file, after creating its parent folders. Throws std::runtime_error
/// naming the path and the reason when that fails.
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace lumetra::testing
