#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// Pixel size of every demo picture (stored landscape; Orientation says how to turn it).
inline constexpr int kDemoWidth = 160;
inline constexpr int kDemoHeight = 120;

/// A GPS position as phones store it: degrees, minutes, seconds as three rationals each.
struct GpsFix {
  char latitude_ref = 'N';  // 'N' or 'S'
  std::array<Rational, 3> latitude;
  char longitude_ref = 'E';  // 'E' or 'W'
  std::array<Rational, 3> longitude;
  std::array<Rational, 3> time_stamp;  // UTC hours, minutes, seconds
  std::optional<Rational> altitude;    // metres above sea level
};

/// One photo of the demo folder and the Exif values written into it.
struct DemoPhoto {
  std::string path;      // relative to the demo folder, '/'-separated
  bool has_exif = true;  // false: a plain JFIF picture; none of the fields below is written
  uint32_t seed = 0;     // picks the generated picture
  ByteOrder order = ByteOrder::kLittle;
  std::string make;
  std::string model;
  std::string software;
  std::string exif_version;  // ExifVersion, four characters
  std::string date_time;     // "YYYY:MM:DD hh:mm:ss": DateTime, DateTimeOriginal, DateTimeDigitized
  uint32_t resolution = 72;  // XResolution and YResolution, dots per inch
  uint16_t orientation = 1;
  Rational exposure;
  Rational f_number;
  Rational focal_length;
  uint16_t focal_35mm = 0;       // FocalLengthIn35mmFormat; 0: not written
  Rational focal_plane_x{0, 0};  // FocalPlaneX/YResolution in pixels per inch (unit 2); den 0: not written
  Rational focal_plane_y{0, 0};
  uint16_t iso = 0;
  uint16_t program = 0;
  uint16_t metering = 0;
  uint16_t flash = 0;
  std::string lens;  // LensModel; empty: not written
  std::optional<GpsFix> gps;
  bool interop = false;  // writes an interoperability directory ("R98")
};

/// The demo folder's photos: several cameras in both byte orders, sub-folders two levels deep, repeated
/// values and a few outliers, one photo without Exif. Always the same list.
[[nodiscard]] std::vector<DemoPhoto> DemoPhotos();

/// IFD0 of a demo photo with its Exif, GPS and interoperability directories, as a camera would order them.
[[nodiscard]] Ifd DemoExifIfd(const DemoPhoto& photo);

/// The JPEG file of a demo photo: a decodable kDemoWidth x kDemoHeight picture with its Exif APP1 segment
/// (or a JFIF APP0 segment when it has no Exif).
[[nodiscard]] std::string DemoPhotoBytes(const DemoPhoto& photo);

/// Writes every demo photo under folder, creating sub-folders and replacing files of the same names; other
/// files are left alone. Returns the number of photos written. Throws std::runtime_error when a file or
/// folder cannot be written.
std::size_t WriteDemoFolder(const std::filesystem::path& folder);

}  // namespace lumetra::testing
