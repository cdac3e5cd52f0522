// The reader on the demo folder's real, decodable JPEG photos: every value written is read back.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "metadata/ExifData.h"
#include "testing/DemoFolder.h"

namespace lumetra {
namespace {

std::string Fraction(const testing::Rational& value) {
  return std::to_string(value.num) + "/" + std::to_string(value.den);
}

std::string Fixed(double value, const char* format) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

double Ratio(const testing::Rational& value) { return static_cast<double>(value.num) / value.den; }

TEST(DemoFolderRead, EveryWrittenValueIsReadBack) {
  for (const testing::DemoPhoto& photo : testing::DemoPhotos()) {
    SCOPED_TRACE(photo.path);
    TimgData data(BuildAll);
    const bool read = data.ProcessBytes(testing::DemoPhotoBytes(photo), ".jpg");
    EXPECT_EQ(data.HasExif(), photo.has_exif);
    if (!photo.has_exif) {
      EXPECT_FALSE(read);
      continue;
    }
    EXPECT_TRUE(read);
    const TImageInfo& info = *data.ImageInfo;
    EXPECT_EQ(data.BigEndian, photo.order == testing::ByteOrder::kBig);
    EXPECT_EQ(info.TagText("Make"), photo.make);
    EXPECT_EQ(info.TagText("Model"), photo.model);
    EXPECT_EQ(info.TagText("ExposureTime"), Fraction(photo.exposure));
    EXPECT_EQ(info.TagText("FNumber"), Fixed(Ratio(photo.f_number), "%0.1f"));
    EXPECT_EQ(info.TagText("FocalLength"), Fixed(Ratio(photo.focal_length), "%5.2f"));
    EXPECT_EQ(info.TagInteger("ISOSpeedRatings"), photo.iso);
    EXPECT_EQ(info.TagInteger("ExposureProgram"), photo.program);
    EXPECT_EQ(info.TagInteger("MeteringMode"), photo.metering);
    EXPECT_EQ(info.TagText("Flash"), photo.flash % 2 != 0 ? "On" : "Off");
    EXPECT_EQ(info.TagInteger("Orientation"), photo.orientation);
    EXPECT_EQ(info.TagText("LensModel"), photo.lens);
    const bool has_plane = photo.focal_plane_x.den != 0;
    if (photo.focal_35mm != 0) {
      EXPECT_EQ(info.TagText("FocalLengthin35mmFilm"), Fixed(photo.focal_35mm, "%5.2f"));
    } else {
      EXPECT_EQ(info.TagIndex("FocalLengthin35mmFilm") >= 0, has_plane);
    }
    EXPECT_EQ(info.TagIndex("GPSLatitude") >= 0, photo.gps.has_value());
  }
}

}  // namespace
}  // namespace lumetra
