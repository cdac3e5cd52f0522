#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QImage>

#include "tests/support/FileBytes.h"

namespace lumetra::testing {

/// The frame and quantisation facts of a JPEG file, read from its markers up to the first scan.
struct JpegFacts {
  std::vector<uint8_t> frame_markers;  // 0xC0 baseline, 0xC2 progressive, ...
  int width = 0;
  int height = 0;
  int components = 0;
  /// The first value of the first quantisation table (zig-zag order).
  int first_quantiser = -1;
};

/// Reads the markers of `bytes`; facts it cannot find stay at their defaults.
[[nodiscard]] JpegFacts InspectJpeg(std::string_view bytes);

/// Decodes `bytes` with libjpeg into an RGB picture; a null picture when libjpeg refuses them.
[[nodiscard]] QImage DecodeJpeg(std::string_view bytes);

}  // namespace lumetra::testing
