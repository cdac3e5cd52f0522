#include "testing/DemoFolder.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "testing/JpegWriter.h"

namespace lumetra::testing {

namespace {

struct Camera {
  std::string_view make;
  std::string_view model;
  std::string_view software;
  std::string_view exif_version;
  ByteOrder order;
  uint32_t resolution;
  double factor_35mm;  // the camera stores FocalLengthIn35mmFormat = focal length x factor; 0: it does not
  Rational focal_plane_x;
  Rational focal_plane_y;
};

constexpr Rational kNone{0, 0};

// Byte orders as these cameras write them: Canon, Sony, Fujifilm and Olympus "II"; Nikon's older bodies,
// Pentax and Apple "MM".
// The 40D and the 5D Mark III store no 35 mm focal length but the sensor's resolution as pixel count x 1000
// over the sensor width in inches; the Fujifilm compact stores neither.
const Camera kEos40D{"Canon", "Canon EOS 40D", "Firmware 1.1.1", "0221", ByteOrder::kLittle, 72,
                     0,       {3888000, 876},  {2592000, 583}};
const Camera kEos5D3{"Canon", "Canon EOS 5D Mark III", "Firmware Version 1.2.3",
                     "0230",  ByteOrder::kLittle,      72,
                     0,       {5760000, 1417},         {3840000, 945}};
const Camera kD70{"NIKON CORPORATION", "NIKON D70", "Ver.2.00", "0221", ByteOrder::kBig, 300, 1.5, kNone, kNone};
const Camera kA200{"SONY", "DSLR-A200", "DSLR-A200 v1.00", "0221", ByteOrder::kLittle, 72, 1.5, kNone, kNone};
const Camera kIphone5{"Apple", "iPhone 5", "6.1.4", "0221", ByteOrder::kBig, 72, 8.0, kNone, kNone};
const Camera kS5600{
    "FUJIFILM", "FinePix S5600", "Digital Camera FinePix S5600 Ver1.00", "0220", ByteOrder::kLittle, 72, 0, kNone,
    kNone};
const Camera kE510{"OLYMPUS IMAGING CORP.", "E-510", "Version 1.0", "0221", ByteOrder::kLittle, 314, 2.0, kNone, kNone};
const Camera kK10D{
    "PENTAX Corporation", "PENTAX K10D", "K10D Ver 1.30", "0221", ByteOrder::kBig, 72, 1.5, kNone, kNone};

constexpr std::string_view kLens24105 = "EF24-105mm f/4L IS USM";
constexpr std::string_view kLens70200 = "EF70-200mm f/2.8L IS II USM";
constexpr std::string_view kIphoneLens = "iPhone 5 back camera 4.13mm f/2.4";

const GpsFix kRedSquare{
    'N',         {{{55, 1}, {45, 1}, {1800, 100}}}, 'E', {{{37, 1}, {37, 1}, {2400, 100}}}, {{{9, 1}, {5, 1}, {27, 1}}},
    std::nullopt};
const GpsFix kZaryadye{'N',
                       {{{55, 1}, {44, 1}, {5210, 100}}},
                       'E',
                       {{{37, 1}, {36, 1}, {4150, 100}}},
                       {{{17, 1}, {33, 1}, {49, 1}}},
                       std::nullopt};
const GpsFix kSparrowHills{'N',
                           {{{55, 1}, {42, 1}, {3600, 100}}},
                           'E',
                           {{{37, 1}, {33, 1}, {1200, 100}}},
                           {{{5, 1}, {12, 1}, {7, 1}}},
                           Rational{156, 1}};
// Minutes with a fraction and zero seconds, as some phones store them.
const GpsFix kPalaceSquare{
    'N',         {{{59, 1}, {5630, 100}, {0, 1}}}, 'E', {{{30, 1}, {1890, 100}, {0, 1}}}, {{{11, 1}, {44, 1}, {2, 1}}},
    std::nullopt};

struct Shot {
  std::string_view path;
  const Camera* camera;  // nullptr: no Exif
  Rational exposure;
  Rational f_number;
  Rational focal;
  uint16_t iso;
  uint16_t program;
  uint16_t metering;
  uint16_t flash;
  uint16_t orientation;
  std::string_view date_time;
  std::string_view lens;
  const GpsFix* gps;
  bool interop;
};

// Mostly everyday settings that repeat (1/125 s, f/5.6, 50 mm, ISO 100), with outliers for the charts: 30 s
// and 2 s night shots, 1/4000 s, ISO 6400, a 200 mm tele, metering 255 ("other").
// One shot per line, read as a table.
// clang-format off
const Shot kShots[] = {
    // path, camera, exposure, F-number, focal, ISO, program, metering, flash, orientation, time, lens, GPS,
    // interoperability
    {"IMG_0001.JPG", &kEos40D, {1, 125}, {56, 10}, {50, 1}, 100, 2, 5, 0x00, 1, "2012:05:12 09:14:03", "", nullptr, false},
    {"IMG_0002.JPG", &kEos40D, {1, 125}, {56, 10}, {50, 1}, 100, 2, 5, 0x00, 1, "2012:05:12 09:14:40", "", nullptr, false},
    {"IMG_0003.JPG", &kEos40D, {1, 250}, {8, 1}, {18, 1}, 200, 3, 5, 0x00, 6, "2012:05:12 09:31:12", "", nullptr, false},
    {"IMG_0004.JPG", &kEos40D, {1, 60}, {4, 1}, {35, 1}, 400, 2, 5, 0x19, 1, "2012:05:12 20:02:55", "", nullptr, false},
    {"IMG_0005.JPG", &kEos40D, {30, 1}, {11, 1}, {18, 1}, 100, 1, 3, 0x10, 1, "2012:05:12 23:45:10", "", nullptr, false},
    {"DSC_0042.JPG", &kD70, {10, 1250}, {8, 1}, {18, 1}, 200, 2, 5, 0x00, 1, "2006:08:19 11:02:31", "", nullptr, true},
    {"DSC_0043.JPG", &kD70, {10, 1250}, {56, 10}, {50, 1}, 200, 2, 5, 0x00, 1, "2006:08:19 11:04:07", "", nullptr, false},
    {"DSC_0044.JPG", &kD70, {10, 600}, {45, 10}, {70, 1}, 400, 2, 5, 0x01, 1, "2006:08:19 19:40:22", "", nullptr, false},
    {"IMG_1254.JPG", &kIphone5, {1, 120}, {12, 5}, {413, 100}, 50, 2, 5, 0x10, 6, "2013:07:02 17:20:41", kIphoneLens, nullptr, false},
    {"IMG_1255.jpg", &kIphone5, {1, 15}, {12, 5}, {413, 100}, 1000, 2, 5, 0x19, 1, "2013:07:02 22:05:13", kIphoneLens, nullptr, false},

    {"Holidays/DSC_0107.JPG", &kD70, {1, 500}, {11, 1}, {105, 1}, 200, 3, 2, 0x00, 8, "2006:08:21 14:15:09", "", nullptr, false},
    {"Holidays/DSC_0108.JPG", &kD70, {10, 1250}, {56, 10}, {18, 1}, 200, 8, 5, 0x00, 1, "2006:08:21 14:40:51", "", nullptr, false},
    {"Holidays/DSC00101.JPG", &kA200, {1, 125}, {56, 10}, {18, 1}, 100, 2, 5, 0x10, 1, "2008:06:30 10:11:12", "", nullptr, false},
    {"Holidays/DSC00102.JPG", &kA200, {1, 320}, {8, 1}, {35, 1}, 100, 5, 1, 0x10, 1, "2008:06:30 10:25:48", "", nullptr, false},
    {"Holidays/DSC00103.JPG", &kA200, {6, 10}, {56, 10}, {18, 1}, 100, 1, 4, 0x10, 1, "2008:06:30 21:50:03", "", nullptr, false},
    {"Holidays/DSC00104.jpg", &kA200, {1, 80}, {35, 10}, {55, 1}, 1600, 6, 5, 0x19, 3, "2008:07:01 19:12:30", "", nullptr, false},

    {"Holidays/Moscow/IMG_0101.JPG", &kEos40D, {1, 125}, {56, 10}, {50, 1}, 100, 2, 5, 0x00, 1, "2012:07:14 10:21:33", "", nullptr, false},
    {"Holidays/Moscow/IMG_0102.JPG", &kEos40D, {1, 4000}, {28, 10}, {85, 1}, 100, 4, 2, 0x00, 1, "2012:07:14 12:03:18", "", nullptr, false},
    {"Holidays/Moscow/IMG_0103.JPG", &kEos40D, {1, 125}, {8, 1}, {24, 1}, 800, 2, 5, 0x01, 8, "2012:07:14 18:47:05", "", nullptr, false},
    {"Holidays/Moscow/IMG_1301.JPG", &kIphone5, {1, 1800}, {12, 5}, {413, 100}, 50, 2, 5, 0x10, 1, "2013:07:14 13:05:27", kIphoneLens, &kRedSquare, false},
    {"Holidays/Moscow/IMG_1302.JPG", &kIphone5, {1, 20}, {12, 5}, {413, 100}, 800, 2, 5, 0x19, 6, "2013:07:14 21:33:49", kIphoneLens, &kZaryadye, false},
    {"Holidays/Moscow/IMG_1303.JPG", &kIphone5, {1, 120}, {12, 5}, {413, 100}, 64, 2, 5, 0x10, 3, "2013:07:15 09:12:07", kIphoneLens, &kSparrowHills, false},

    {"Holidays/Piter/IMG_1410.JPG", &kIphone5, {1, 350}, {12, 5}, {413, 100}, 50, 2, 5, 0x10, 8, "2013:07:18 15:44:02", kIphoneLens, &kPalaceSquare, false},
    {"Holidays/Piter/P7180021.JPG", &kE510, {1, 100}, {56, 10}, {14, 1}, 100, 2, 6, 0x00, 1, "2013:07:18 16:02:11", "", nullptr, false},
    {"Holidays/Piter/P7180022.JPG", &kE510, {1, 125}, {56, 10}, {42, 1}, 100, 2, 255, 0x00, 1, "2013:07:18 16:03:40", "", nullptr, false},
    {"Holidays/Piter/P7180023.Jpg", &kE510, {2, 1}, {8, 1}, {25, 1}, 100, 1, 2, 0x00, 1, "2013:07:18 23:10:55", "", nullptr, false},

    {"Family/DSCF0007.JPG", &kS5600, {1, 60}, {28, 10}, {58, 10}, 64, 2, 5, 0x01, 1, "2007:12:31 23:05:44", "", nullptr, false},
    {"Family/DSCF0008.JPG", &kS5600, {1, 125}, {32, 10}, {58, 10}, 64, 2, 5, 0x10, 1, "2008:01:01 12:30:00", "", nullptr, false},
    {"Family/DSCF0009.JPG", &kS5600, {1, 250}, {45, 10}, {570, 10}, 200, 2, 5, 0x10, 6, "2008:01:01 12:41:19", "", nullptr, false},
    {"Family/IMGP0001.JPG", &kK10D, {1, 125}, {11, 1}, {50, 1}, 100, 7, 5, 0x00, 1, "2009:09:05 16:20:00", "", nullptr, false},
    {"Family/IMGP0002.jpg", &kK10D, {1, 45}, {56, 10}, {18, 1}, 400, 2, 5, 0x10, 1, "2009:09:05 17:02:45", "", nullptr, false},
    // A picture saved by an editor that dropped the metadata.
    {"Family/Scan0001.jpg", nullptr, {}, {}, {}, 0, 0, 0, 0, 0, "", "", nullptr, false},

    {"Family/2012/_MG_2001.JPG", &kEos5D3, {1, 200}, {4, 1}, {105, 1}, 400, 3, 5, 0x10, 1, "2012:12:24 18:30:12", kLens24105, nullptr, true},
    {"Family/2012/_MG_2002.JPG", &kEos5D3, {1, 160}, {4, 1}, {70, 1}, 400, 3, 5, 0x10, 6, "2012:12:24 18:31:05", kLens24105, nullptr, false},
    {"Family/2012/_MG_2003.JPG", &kEos5D3, {1, 500}, {28, 10}, {200, 1}, 3200, 4, 3, 0x10, 1, "2012:12:25 11:15:40", kLens70200, nullptr, false},
    {"Family/2012/_MG_2004.JPG", &kEos5D3, {1, 125}, {28, 10}, {135, 1}, 6400, 4, 3, 0x10, 1, "2012:12:25 11:20:02", kLens70200, nullptr, false},
};
// clang-format on

DemoPhoto FromShot(const Shot& shot, uint32_t seed) {
  DemoPhoto photo;
  photo.path = shot.path;
  photo.seed = seed;
  if (shot.camera == nullptr) {
    photo.has_exif = false;
    return photo;
  }
  const Camera& camera = *shot.camera;
  photo.order = camera.order;
  photo.make = camera.make;
  photo.model = camera.model;
  photo.software = camera.software;
  photo.exif_version = camera.exif_version;
  photo.date_time = shot.date_time;
  photo.resolution = camera.resolution;
  photo.orientation = shot.orientation;
  photo.exposure = shot.exposure;
  photo.f_number = shot.f_number;
  photo.focal_length = shot.focal;
  if (camera.factor_35mm > 0) {
    const double focal = static_cast<double>(shot.focal.num) / static_cast<double>(shot.focal.den);
    photo.focal_35mm = static_cast<uint16_t>(std::lround(focal * camera.factor_35mm));
  }
  photo.focal_plane_x = camera.focal_plane_x;
  photo.focal_plane_y = camera.focal_plane_y;
  photo.iso = shot.iso;
  photo.program = shot.program;
  photo.metering = shot.metering;
  photo.flash = shot.flash;
  photo.lens = shot.lens;
  if (shot.gps != nullptr) photo.gps = *shot.gps;
  photo.interop = shot.interop;
  return photo;
}

Ifd GpsIfd(const GpsFix& fix, std::string_view date) {
  Ifd gps;
  gps.Byte(0x0000, {2, 2, 0, 0})
      .Ascii(0x0001, std::string(1, fix.latitude_ref))
      .Rationals(0x0002, {fix.latitude.begin(), fix.latitude.end()})
      .Ascii(0x0003, std::string(1, fix.longitude_ref))
      .Rationals(0x0004, {fix.longitude.begin(), fix.longitude.end()});
  if (fix.altitude) gps.Byte(0x0005, {0}).Rationals(0x0006, {*fix.altitude});
  gps.Rationals(0x0007, {fix.time_stamp.begin(), fix.time_stamp.end()}).Ascii(0x001D, date.substr(0, 10));
  return gps;
}

}  // namespace

std::vector<DemoPhoto> DemoPhotos() {
  std::vector<DemoPhoto> photos;
  uint32_t seed = 1;
  for (const Shot& shot : kShots) photos.push_back(FromShot(shot, seed++));
  return photos;
}

Ifd DemoExifIfd(const DemoPhoto& photo) {
  Ifd exif;
  exif.Rationals(0x829A, {photo.exposure})
      .Rationals(0x829D, {photo.f_number})
      .Short(0x8822, {photo.program})
      .Short(0x8827, {photo.iso})
      .Undefined(0x9000, photo.exif_version)
      .Ascii(0x9003, photo.date_time)
      .Ascii(0x9004, photo.date_time)
      .Undefined(0x9101, std::string("\x01\x02\x03\x00", 4))
      .Short(0x9207, {photo.metering})
      .Short(0x9209, {photo.flash})
      .Rationals(0x920A, {photo.focal_length})
      .Undefined(0xA000, "0100")
      .Short(0xA001, {1})
      .Short(0xA002, {kDemoWidth})
      .Short(0xA003, {kDemoHeight});
  if (photo.interop) exif.Sub(0xA005, Ifd().Ascii(0x0001, "R98").Undefined(0x0002, "0100"));
  if (photo.focal_plane_x.den != 0) {
    exif.Rationals(0xA20E, {photo.focal_plane_x}).Rationals(0xA20F, {photo.focal_plane_y}).Short(0xA210, {2});
  }
  if (photo.focal_35mm != 0) exif.Short(0xA405, {photo.focal_35mm});
  if (!photo.lens.empty()) exif.Ascii(0xA434, photo.lens);

  Ifd ifd0;
  ifd0.Ascii(0x010F, photo.make)
      .Ascii(0x0110, photo.model)
      .Short(0x0112, {photo.orientation})
      .Rationals(0x011A, {{photo.resolution, 1}})
      .Rationals(0x011B, {{photo.resolution, 1}})
      .Short(0x0128, {2})
      .Ascii(0x0131, photo.software)
      .Ascii(0x0132, photo.date_time)
      .Short(0x0213, {2})
      .Sub(0x8769, std::move(exif));
  if (photo.gps) ifd0.Sub(0x8825, GpsIfd(*photo.gps, photo.date_time));
  return ifd0;
}

std::string DemoPhotoBytes(const DemoPhoto& photo) {
  const Segment header = photo.has_exif ? ExifSegment(DemoExifIfd(photo), photo.order) : JfifSegment();
  return EncodeJpeg(kDemoWidth, kDemoHeight, photo.seed, {header});
}

std::size_t WriteDemoFolder(const std::filesystem::path& folder) {
  const std::vector<DemoPhoto> photos = DemoPhotos();
  for (const DemoPhoto& photo : photos)
    WriteFileBytes(folder / std::filesystem::path(photo.path), DemoPhotoBytes(photo));
  return photos.size();
}

}  // namespace lumetra::testing
