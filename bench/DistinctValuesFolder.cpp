// distinct_values_folder COUNT FOLDER: writes COUNT small photos of one camera, each with an exposure, an
// F-number, a focal length and an ISO value of its own, so that the four value charts get COUNT bars each.
// The linear axis benchmark (linear_axis.sh) surveys such folders.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"

namespace {

using lumetra::testing::ByteOrder;
using lumetra::testing::Ifd;

std::string DistinctPhoto(uint32_t index) {
  Ifd exif;
  // Exposures 1/(100 + i) s, F-numbers (1 + i/100), focal lengths (10 + i/10) mm, ISO 100 + i: all distinct.
  exif.Rationals(0x829A, {{1, 100 + index}})
      .Rationals(0x829D, {{100 + index, 100}})
      .Short(0x8822, {2})
      .Long(0x8827, {100 + index})
      .Short(0x9207, {5})
      .Short(0x9209, {0})
      .Rationals(0x920A, {{100 + index, 10}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D").Sub(0x8769, exif);
  return lumetra::testing::BuildJpeg({lumetra::testing::ExifSegment(ifd0, ByteOrder::kLittle)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: distinct_values_folder COUNT FOLDER\n");
    return 2;
  }
  try {
    const auto count = static_cast<uint32_t>(std::stoul(argv[1]));
    const std::filesystem::path folder = argv[2];
    for (uint32_t i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%06u.JPG", i);
      lumetra::testing::WriteFileBytes(folder / name, DistinctPhoto(i));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "distinct_values_folder: %s\n", error.what());
    return 1;
  }
  return 0;
}
