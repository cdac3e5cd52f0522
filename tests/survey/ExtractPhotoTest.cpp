// Reading a photo into its record: each step of the normalization, the crop factor from the store or the
// photo, the lens name, the counting rule and the unknown cameras.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "survey/ExtractPhoto.h"
#include "testing/ExifWriter.h"
#include "testing/FaultPhotos.h"
#include "testing/JpegWriter.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::ByteOrder;
using testing::Ifd;
using testing::Rational;

// The tags a fixture photo carries; empty texts and zero numbers are left out.
struct Tags {
  std::string make = "Canon";
  std::string model = "Canon EOS 40D";
  Rational exposure{1, 125};
  Rational f_number{56, 10};
  Rational focal{50, 1};
  uint16_t focal35 = 0;
  uint16_t iso = 100;
  uint16_t program = 2;
  uint16_t metering = 5;
  uint16_t flash = 0;
  uint16_t orientation = 1;
  std::string lens;
};

Ifd Build(const Tags& tags) {
  Ifd exif;
  if (tags.exposure.den != 0) exif.Rationals(0x829A, {tags.exposure});
  if (tags.f_number.den != 0) exif.Rationals(0x829D, {tags.f_number});
  if (tags.program != 0) exif.Short(0x8822, {tags.program});
  if (tags.iso != 0) exif.Short(0x8827, {tags.iso});
  if (tags.metering != 0) exif.Short(0x9207, {tags.metering});
  exif.Short(0x9209, {tags.flash});
  if (tags.focal.den != 0) exif.Rationals(0x920A, {tags.focal});
  if (tags.focal35 != 0) exif.Short(0xA405, {tags.focal35});
  if (!tags.lens.empty()) exif.Ascii(0xA434, tags.lens);
  Ifd ifd0;
  if (!tags.make.empty()) ifd0.Ascii(0x010F, tags.make);
  if (!tags.model.empty()) ifd0.Ascii(0x0110, tags.model);
  if (tags.orientation != 0) ifd0.Short(0x0112, {tags.orientation});
  ifd0.Sub(0x8769, exif);
  return ifd0;
}

class ExtractPhotoTest : public ::testing::Test {
 protected:
  std::optional<PhotoRecord> Read(const Tags& tags, ByteOrder order = ByteOrder::kLittle) {
    return ReadIfd(Build(tags), order);
  }
  std::optional<PhotoRecord> ReadIfd(const Ifd& ifd0, ByteOrder order = ByteOrder::kLittle) {
    const std::string path = (folder_.path() / ("photo" + std::to_string(++count_) + ".jpg")).string();
    testing::WriteFileBytes(path, testing::BuildJpeg({testing::ExifSegment(ifd0, order)}));
    return ExtractPhoto(path, context_);
  }

  testing::TempFolder folder_;
  int count_ = 0;
  std::map<std::pair<std::string, std::string>, int64_t> store_;
  std::vector<UnknownCamera> unknown_;
  ExtractionContext context_{kEnglish,
                             [this](const std::string& make, const std::string& model) {
                               const auto found = store_.find({make, model});
                               return found == store_.end() ? int64_t{0} : found->second;
                             },
                             true, &unknown_};
};

TEST_F(ExtractPhotoTest, NormalizesEveryField) {
  Tags tags;
  tags.make = "NIKON CORPORATION";
  tags.model = "NIKON D70...";
  tags.exposure = {10, 1250};
  tags.f_number = {28, 10};
  tags.focal = {58, 10};
  tags.iso = 400;
  tags.program = 3;
  tags.metering = 2;
  tags.flash = 0x19;
  tags.orientation = 6;
  tags.lens = "18.0-55.0 mm f/3.5-5.6";
  const auto record = Read(tags, ByteOrder::kBig);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->make, "NIKON");
  EXPECT_EQ(record->model, "NIKON D70");
  EXPECT_EQ(record->exposure, "1/125");
  EXPECT_EQ(record->fNumber, "2.8");
  EXPECT_EQ(record->focal, "5");
  EXPECT_EQ(record->iso, "400");
  EXPECT_EQ(record->program, "Aperture\rpriority");
  EXPECT_EQ(record->metering, "Average");
  EXPECT_EQ(record->flash, "Flash");
  EXPECT_EQ(record->orientation, "Vertical");
  EXPECT_EQ(record->lens, "18-55 mm f/3.5-5.6");
  EXPECT_EQ(record->focus, "n/a");
  EXPECT_EQ(record->drive, "n/a");
  EXPECT_EQ(record->labels[kFocus], LabelId::NotDeterminedM);
  EXPECT_EQ(record->labels[kProgram], LabelId::LabelAperturePriority);
}

TEST_F(ExtractPhotoTest, RecordsAreInTheLanguageOfTheMoment) {
  context_.language = kRussian;
  Tags tags;
  tags.program = 9;
  tags.flash = 0x10;
  const auto record = Read(tags);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->program, "Не определен");
  EXPECT_EQ(record->flash, "Без вспышки");
  EXPECT_EQ(record->orientation, "Горизонтальная");
  EXPECT_EQ(record->labels[kProgram], LabelId::NotDeterminedM);
}

TEST_F(ExtractPhotoTest, ValuesTheSurveyReadsAsUndetermined) {
  struct Case {
    const char* what;
    Tags tags;
    int field;
    const char* expected;
  };
  Tags zero_focal;
  zero_focal.focal = {0, 1};
  Tags zero_f;
  zero_f.f_number = {0, 1};
  Tags zero_exposure;
  zero_exposure.exposure = {0, 1};
  Tags no_model;
  no_model.model = "";
  Tags make_with_blanks;
  make_with_blanks.make = "Canon  Inc. ";
  Tags padded_make;
  padded_make.make = "SONY.";
  const Case cases[] = {
      {"focal 0.00", zero_focal, kFocal, "n/a"},
      {"F-number 0.0", zero_f, kFNumber, "n/a"},
      {"exposure 0/1", zero_exposure, kExposure, "n/a"},
      {"no model", no_model, kModel, "n/a"},
      {"no model, no crop factor", no_model, kCrop, "n/a"},
      {"no model, no 35 mm focal", no_model, kFocal35, "n/a"},
      {"a make's first word", make_with_blanks, kMake, "Canon"},
      {"a make loses its trailing dots", padded_make, kMake, "SONY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto record = Read(c.tags);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Field(c.field), c.expected);
  }
}

TEST_F(ExtractPhotoTest, CropFactorFromTheStoreOrFromThePhoto) {
  struct Case {
    const char* what;
    int64_t stored;
    Rational focal;
    uint16_t focal35;
    const char* crop;
    const char* focal35_text;
  };
  const Case cases[] = {
      {"stored 1.5, focal 35", 15000, {35, 1}, 0, "1.5", "52"},
      {"stored 1.6, focal 50", 16000, {50, 1}, 0, "1.6", "80"},
      {"stored 0 means unknown: derived", 0, {18, 1}, 27, "1.5", "27"},
      {"derived 50 and 75", 0, {50, 1}, 75, "1.5", "75"},
      {"derived 6 and 35", 0, {6, 1}, 35, "5.8", "35"},
      {"derived above 10", 0, {18, 1}, 240, "n/a", "n/a"},
      {"no 35 mm focal", 0, {18, 1}, 0, "n/a", "n/a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store_.clear();
    if (c.stored != 0) store_[{"Canon", "Canon EOS 40D"}] = c.stored;
    Tags tags;
    tags.focal = c.focal;
    tags.focal35 = c.focal35;
    const auto record = Read(tags);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->crop, c.crop);
    EXPECT_EQ(record->focal35, c.focal35_text);
  }
}

// A focal length written as text, too long for any lens, times the stored factor does not fit in 64 bits
// (a signed overflow before; the fuzz targets now read photos of cameras the store knows).
TEST_F(ExtractPhotoTest, Focal35IsUndeterminedWhenFocalTimesStoredFactorOverflows) {
  store_[{"Canon", "Canon EOS 40D"}] = 1'000'000;
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Ascii(0x920A, "9000000000000000000.00");
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
  const auto record = ReadIfd(ifd0);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->focal, "9000000000000000000");
  EXPECT_EQ(record->crop, "100");
  EXPECT_EQ(record->focal35, "n/a");
}

TEST_F(ExtractPhotoTest, UnknownCamerasAreListedOnce) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(Read(Tags{}));
  ASSERT_EQ(unknown_.size(), 1u);
  EXPECT_EQ(unknown_[0].make, "Canon");
  EXPECT_EQ(unknown_[0].model, "Canon EOS 40D");
  store_[{"Canon", "Canon EOS 40D"}] = 16000;
  Tags other;
  other.model = "Canon EOS 5D";
  ASSERT_TRUE(Read(Tags{}));
  ASSERT_TRUE(Read(other));
  EXPECT_EQ(unknown_.size(), 2u);
  context_.cb_CF = false;
  other.model = "Canon EOS 7D";
  ASSERT_TRUE(Read(other));
  EXPECT_EQ(unknown_.size(), 2u);
}

TEST_F(ExtractPhotoTest, APhotoWithoutTheMainValuesIsNotCounted) {
  Tags tags;
  tags.exposure = {0, 0};
  tags.f_number = {0, 0};
  tags.focal = {0, 0};
  tags.iso = 0;
  EXPECT_FALSE(Read(tags));
  EXPECT_TRUE(unknown_.empty());
  tags.iso = 200;
  const auto counted = Read(tags);
  ASSERT_TRUE(counted);
  EXPECT_EQ(counted->exposure, "n/a");
  EXPECT_FALSE(counted->path.empty());
}

TEST_F(ExtractPhotoTest, IsoKeepsItsLeadingDigits) {
  Ifd exif;
  exif.Short(0x8827, {100, 100}).Rationals(0x829D, {{4, 1}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Sub(0x8769, exif);
  const auto record = ReadIfd(ifd0);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->iso, "100");
}

// Photos whose values were lost behind an entry the reader could not render, or a model with the bytes
// after its terminating zero: the values after the entry reach the record.
TEST_F(ExtractPhotoTest, ValuesAfterAnEntryWithoutRenderingReachTheRecord) {
  struct Case {
    const char* what;
    Ifd ifd0;
    const char* model;
    LabelId flash;
  };
  const Case cases[] = {
      {"components 00 03 02 01", testing::ComponentsConfigurationPhoto(std::string("\x00\x03\x02\x01", 4)),
       "Canon EOS 40D", LabelId::LabelFlashOn},
      {"components of one byte", testing::ComponentsConfigurationPhoto("\x01"), "Canon EOS 40D", LabelId::LabelFlashOn},
      {"flash of two elements", testing::FlashPhoto({16, 0}), "Canon EOS 40D", LabelId::NotDeterminedM},
      {"shutter speed tv 40", testing::ShutterSpeedPhoto({40, 1}), "Canon EOS 40D", LabelId::LabelFlashOn},
      {"model with junk after its zero", testing::ModelPhoto(std::string("CAM12\0X", 7)), "CAM12",
       LabelId::LabelFlashOn},
  };
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(order == ByteOrder::kBig ? "MM " : "II ") + c.what);
      const auto record = ReadIfd(c.ifd0, order);
      ASSERT_TRUE(record);
      EXPECT_EQ(record->make, "Canon");
      EXPECT_EQ(record->model, c.model);
      EXPECT_EQ(record->exposure, "1/125");
      EXPECT_EQ(record->fNumber, "5.6");
      EXPECT_EQ(record->labels[kMetering], LabelId::LabelMultiSegment);
      EXPECT_EQ(record->labels[kFlash], c.flash);
      EXPECT_EQ(record->focal, "50");
    }
  }
}

// Photos of one survey made one after another into the maker's one record: each must come out as a record of its
// own, whatever the photo before it left there (longer texts, other labels), and the cameras the store lacks
// are listed as RecordFromTags lists them, while the store is asked once per camera.
TEST(RecordMaker, MakesEachRecordAsRecordFromTagsDoes) {
  const auto tags_of = [](std::initializer_list<std::pair<PhotoTag, const char*>> texts) {
    PhotoTags tags;
    tags.has_exif = true;
    for (const auto& [tag, text] : texts) tags.texts[static_cast<size_t>(tag)] = text;
    return tags;
  };
  using T = PhotoTag;
  std::vector<PhotoTags> photos = {
      tags_of({{T::kMake, "NIKON CORPORATION"},
               {T::kModel, "NIKON D70..."},
               {T::kExposureTime, "10/1250"},
               {T::kFNumber, "2,8"},
               {T::kFocalLength, "18.00"},
               {T::kFocalLengthIn35mm, "27.00"},
               {T::kIsoSpeedRatings, "400, 400"},
               {T::kExposureProgram, "Aperture"},
               {T::kMeteringMode, "Spot"},
               {T::kFlash, "On"},
               {T::kOrientation, "Clockwise 90\u00B0"},
               {T::kLensModel, "AF-S  DX Zoom-Nikkor 18.0-70.0 mm f/3.5-4.5G IF-ED with a long name"},
               {T::kFocusMode, "AI Servo"},
               {T::kDriveMode, "Continuous"}}),
      tags_of({{T::kMake, "Canon"}, {T::kModel, "Canon EOS 40D"}, {T::kExposureTime, "1/125"}}),
      tags_of({{T::kMake, "NIKON CORPORATION"},
               {T::kModel, "NIKON D70..."},
               {T::kExposureTime, "10/1250"},
               {T::kFocalLength, "18.00"},
               {T::kFocalLengthIn35mm, "27.00"}}),
      tags_of({{T::kModel, "X"}, {T::kFNumber, "0"}, {T::kIsoSpeedRatings, "0"}}),
      tags_of({{T::kMake, "Canon"},
               {T::kModel, "Canon EOS 40D"},
               {T::kExposureTime, "1/125"},
               {T::kFocalLength, "50.00"},
               {T::kShortFocal, " 17"},
               {T::kLongFocal, " 85"}}),
      tags_of({{T::kMake, "Canon"},
               {T::kModel, "Canon EOS 5D"},
               {T::kExposureTime, "abc"},
               {T::kFocalLength, "24.00"},
               {T::kFocalLengthIn35mm, "240.00"}}),
      tags_of({{T::kMake, "NIKON CORPORATION"},
               {T::kModel, "NIKON D70..."},
               {T::kExposureTime, "2/1"},
               {T::kFocalLength, "35.00"},
               {T::kFocalLengthIn35mm, "52.00"}}),
      tags_of({{T::kMake, "Canon"},
               {T::kModel, "Canon EOS 5D"},
               {T::kFocalLength, "24.00"},
               {T::kFocalLengthIn35mm, "240.00"}}),
  };
  photos.push_back(photos[0]);
  photos[1].taken = 3'700'000'000;
  photos.insert(photos.begin() + 2, PhotoTags{});
  for (const Language language : {kEnglish, kRussian}) {
    SCOPED_TRACE(language == kEnglish ? "English" : "Russian");
    int lookups = 0;
    const auto crop_factor = [&lookups](const std::string& make, const std::string& model) {
      ++lookups;
      return make == "Canon" && model == "Canon EOS 40D" ? int64_t{16000} : int64_t{0};
    };
    std::vector<UnknownCamera> expected_unknown;
    std::vector<UnknownCamera> unknown;
    const ExtractionContext expected_context{language, crop_factor, true, &expected_unknown};
    const ExtractionContext context{language, crop_factor, true, &unknown};
    RecordMaker maker(context);
    for (size_t i = 0; i < photos.size(); ++i) {
      SCOPED_TRACE(i);
      const std::optional<PhotoRecord> expected = RecordFromTags(photos[i], expected_context);
      lookups = 0;
      const PhotoRecord* record = maker.Make(photos[i], "dir/photo.jpg");
      ASSERT_EQ(record != nullptr, expected.has_value());
      if (!expected) continue;
      EXPECT_EQ(record->path, "dir/photo.jpg");
      for (int field = kPath + 1; field < PhotoRecord::kFieldCount; ++field) {
        EXPECT_EQ(record->Field(field), expected->Field(field)) << "field " << field;
      }
      EXPECT_EQ(record->labels, expected->labels);
      EXPECT_EQ(record->taken, expected->taken);
      // The second photo of a camera costs no lookup in the store.
      if (i >= 3) {
        EXPECT_EQ(lookups, i == 5 || i == 6 ? 1 : 0);
      }
    }
    ASSERT_EQ(unknown.size(), expected_unknown.size());
    for (size_t i = 0; i < unknown.size(); ++i) {
      EXPECT_EQ(unknown[i].make, expected_unknown[i].make);
      EXPECT_EQ(unknown[i].model, expected_unknown[i].model);
    }
    EXPECT_EQ(unknown.size(), 2u);
  }
}

// Past the cameras the maker keeps (thousands, or one with a name too long to keep), each photo asks the store
// again and the unknown cameras still list each camera once.
TEST(RecordMaker, CamerasBeyondWhatItKeepsAreStillListedOnce) {
  int lookups = 0;
  std::vector<UnknownCamera> unknown;
  const ExtractionContext context{kEnglish,
                                  [&lookups](const std::string&, const std::string&) {
                                    ++lookups;
                                    return int64_t{0};
                                  },
                                  true, &unknown};
  RecordMaker maker(context);
  const auto make = [&maker](const std::string& model) {
    PhotoTags tags;
    tags.has_exif = true;
    tags.texts[static_cast<size_t>(PhotoTag::kMake)] = "Canon";
    tags.texts[static_cast<size_t>(PhotoTag::kModel)] = model;
    tags.texts[static_cast<size_t>(PhotoTag::kFocalLength)] = "50.00";
    return maker.Make(tags, "p.jpg") != nullptr;
  };
  const std::string long_model = "Model " + std::string(300, 'x');
  for (const std::string& model : {long_model, long_model}) ASSERT_TRUE(make(model));
  EXPECT_EQ(lookups, 2);
  constexpr int kCameras = 5000;
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < kCameras; ++i) ASSERT_TRUE(make("M" + std::to_string(i)));
  }
  ASSERT_EQ(unknown.size(), size_t{kCameras} + 1);
  EXPECT_EQ(unknown[0].model, long_model);
  EXPECT_EQ(unknown.back().model, "M" + std::to_string(kCameras - 1));
  // Each camera kept is asked once; the others once per photo.
  EXPECT_GT(lookups, 2 + kCameras);
  EXPECT_LT(lookups, 2 + 2 * kCameras);
}

}  // namespace
}  // namespace lumetra
