// Photos beyond JPEG read as the survey reads them: the formats corpus against exiftool's values, and
// containers built here for what the corpus lacks, each through the whole reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/ReadBothWays.h"
#include "metadata/ExifData.h"
#include "survey/ExtractPhoto.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "testing/ExifWriter.h"
#include "testing/IsoMediaWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"

namespace lumetra {
namespace {

using testing::ByteOrder;
using testing::Ifd;

std::optional<PhotoRecord> Record(const PhotoTags& tags) {
  ExtractionContext context;
  context.language = kEnglish;
  return RecordFromTags(tags, context);
}

// exiftool 12.57 (-Make -Model -ExposureTime -FNumber -FocalLength -ISO -LensModel) on each file, as the
// record keeps the values: focal lengths in whole millimetres, a lens the photo does not name as "n/a".
// The Leaf's lens sits in a Phase One maker note, which the reader does not know. The Canon CR2's lens is
// its maker note's focal range, the DNG's its LensInfo (exiftool: 18 55 undef undef) and the NEF's Nikon's
// lens information (exiftool: 18 70 3.5 4.5).
TEST(FormatsCorpus, TheSurveysValuesAreExiftoolsAndBothReadsAgree) {
  const std::optional<std::filesystem::path> folder = testing::FormatsCorpusFolder();
  if (!folder) GTEST_SKIP() << testing::kNoFormatsCorpus;
  struct Case {
    const char* file;
    const char* make;
    const char* model;
    const char* exposure;
    const char* f_number;
    const char* focal;
    const char* iso;
    const char* lens;
  };
  const Case cases[] = {
      {"Apple/heic-iphone.heic", "Apple", "iPhone XS Max", "1/2208", "1.8", "4", "25",
       "iPhone XS Max back dual camera 4.25mm f/1.8"},
      {"Apple/heic-iphone7.heic", "Apple", "iPhone 7", "1/100", "1.8", "3", "20", "iPhone 7 back camera 3.99mm f/1.8"},
      {"Apple/heic-maybebroken.HEIC", "Apple", "iPhone 8", "1/17", "1.8", "3", "80",
       "iPhone 8 back camera 3.99mm f/1.8"},
      {"Canon/CanonRaw.cr2", "Canon", "Canon EOS 350D DIGITAL", "1/15", "8.0", "55", "400", "18-55 mm"},
      {"Canon/CanonRaw.cr3", "Canon", "Canon EOS M50", "1/80", "3.5", "15", "12800", "EF-M15-45mm f/3.5-6.3 IS STM"},
      {"Canon/DNG.dng", "Canon", "Canon EOS 350D DIGITAL", "1/15", "8.0", "55", "400", "18-55mm"},
      {"Fujifilm/FujiFilm.raf", "FUJIFILM", "FinePix S5Pro", "1/250", "8.0", "70", "100", "n/a"},
      {"Leaf/PhaseOne.iiq", "Leaf", "Credo 40", "1/1250", "5.6", "80", "100", "n/a"},
      {"Nikon/Nikon.nef", "NIKON", "NIKON D70", "1/20", "3.5", "18", "200", "18-70mm f/3.5-4.5"},
      {"Panasonic/Panasonic.rw2", "Panasonic", "DMC-LX3", "1/250", "4.0", "5", "80", "n/a"},
      // Exif with a camera but no shooting values, and files without a camera: no photo to count.
      {"Apple/Irvine_CA.avif", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"NoExif/IMG_20180725_163423-micro.avif", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"NoExif/QuickTime.heic", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"NoExif/heic-collection.heic", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"NoExif/heic-empty.heic", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {"NoExif/heic-single.heic", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::filesystem::path path = *folder / c.file;
    ASSERT_TRUE(std::filesystem::is_regular_file(path));
    const PhotoTags tags = ReadPhotoTags(path.string());
    TimgData full(BuildAll);
    full.ProcessFile(path.string());
    EXPECT_EQ(fuzz::DifferenceBetweenReads(TagsOf(full), tags), "");
    const std::optional<PhotoRecord> record = Record(tags);
    ASSERT_EQ(record.has_value(), c.make != nullptr);
    if (!record) continue;
    EXPECT_EQ(record->make, c.make);
    EXPECT_EQ(record->model, c.model);
    EXPECT_EQ(record->exposure, c.exposure);
    EXPECT_EQ(record->fNumber, c.f_number);
    EXPECT_EQ(record->focal, c.focal);
    EXPECT_EQ(record->iso, c.iso);
    EXPECT_EQ(record->lens, c.lens);
  }
}

std::string CameraTiff(ByteOrder order = ByteOrder::kLittle) {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Rationals(0x829D, {{56, 10}}).Short(0x8827, {400});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS R5").Sub(0x8769, exif);
  return testing::BuildTiff(ifd0, order);
}

struct ReadOutcome {
  bool read = false;
  std::string error;
  PhotoTags tags;
};

ReadOutcome ReadBytes(const std::string& bytes, const char* extension) {
  TimgData data(SurveyTagSelection());
  ReadOutcome outcome;
  outcome.read = data.ProcessBytes(bytes, extension);
  outcome.error = data.ErrorText;
  outcome.tags = TagsOf(data);
  EXPECT_EQ(fuzz::DifferenceBetweenReads(fuzz::FullRead(bytes, extension), outcome.tags), "");
  return outcome;
}

// What the corpus lacks, built here: each layout read through the whole reader, or refused without a
// failure reaching the survey.
TEST(FormatsRead, ContainersBuiltHereAreReadOrRefused) {
  const std::string tiff = CameraTiff();
  testing::HeifLayout at_the_end;
  testing::HeifLayout wide_offsets;
  wide_offsets.iloc_version = 2;
  wide_offsets.offset_size = 8;
  wide_offsets.length_size = 8;
  testing::HeifLayout two_extents;
  two_extents.extents = 2;
  std::string past_the_end = testing::BuildHeif(tiff);
  past_the_end.resize(past_the_end.size() - 10);  // the Exif item, last in the file, is cut
  const std::string camera_jpeg = [] {
    Ifd exif;
    exif.Rationals(0x829A, {{1, 125}});
    Ifd ifd0;
    ifd0.Ascii(0x010F, "FUJIFILM").Ascii(0x0110, "X-T5").Sub(0x8769, exif);
    return testing::BuildJpeg({testing::ExifSegment(ifd0, ByteOrder::kBig)});
  }();
  struct Case {
    const char* what;
    std::string bytes;
    const char* extension;
    const char* model;  // nullptr: nothing read
  };
  const Case cases[] = {
      {"a HEIC whose Exif item ends the file", testing::BuildHeif(tiff, at_the_end), ".heic", "Canon EOS R5"},
      {"8-byte iloc offsets", testing::BuildHeif(tiff, wide_offsets), ".HEIF", "Canon EOS R5"},
      {"an Exif item in two extents", testing::BuildHeif(tiff, two_extents), ".avif", "Canon EOS R5"},
      {"an Exif item running past the end", past_the_end, ".heic", nullptr},
      {"a RAF with its JPEG", testing::BuildRaf(camera_jpeg), ".raf", "X-T5"},
      {"a RAF whose JPEG offset points past the end", testing::BuildRaf(camera_jpeg, 1u << 30), ".raf", nullptr},
      {"a NEF that is a JPEG", camera_jpeg, ".nef", "X-T5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadOutcome outcome = ReadBytes(c.bytes, c.extension);
    EXPECT_EQ(outcome.read, c.model != nullptr);
    EXPECT_EQ(outcome.tags.has_exif, c.model != nullptr);
    EXPECT_NE(outcome.error, "Illegal Exif construction");
    EXPECT_EQ(outcome.tags.Text(PhotoTag::kModel), c.model != nullptr ? c.model : "");
  }
}

// A CR3 keeps IFD0, the Exif directory, the Canon maker note and GPS in boxes of their own: all are read
// as one photo, and a file without the maker-note box still gives the rest.
TEST(FormatsRead, Cr3BoxesMakeOnePhotoWithOrWithoutTheMakerNote) {
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS R6");
    Ifd exif;
    exif.Rationals(0x829A, {{1, 500}}).Rationals(0x920A, {{50, 1}}).Short(0x8827, {800});
    std::vector<uint16_t> settings(40, 0);
    settings[5] = 1;  // drive: continuous
    settings[7] = 1;  // focus: AI Servo
    Ifd note;
    note.Short(0x0001, settings);
    Ifd gps;
    gps.Ascii(0x0001, "N");
    const std::vector<std::pair<std::string, std::string>> boxes = {
        {"CMT1", testing::BuildTiff(ifd0, order)},
        {"CMT2", testing::BuildTiff(exif, order)},
        {"CMT3", testing::BuildTiff(note, order)},
        {"CMT4", testing::BuildTiff(gps, order)},
    };
    const ReadOutcome whole = ReadBytes(testing::BuildCr3(boxes), ".CR3");
    EXPECT_TRUE(whole.read);
    EXPECT_EQ(whole.tags.Text(PhotoTag::kModel), "Canon EOS R6");
    EXPECT_EQ(whole.tags.Text(PhotoTag::kExposureTime), "1/500");
    EXPECT_EQ(whole.tags.Text(PhotoTag::kIsoSpeedRatings), "800");
    EXPECT_EQ(whole.tags.Text(PhotoTag::kFocusMode), "AI Servo");
    EXPECT_EQ(whole.tags.Text(PhotoTag::kDriveMode), "Continuous");

    const ReadOutcome without_note = ReadBytes(testing::BuildCr3({boxes[0], boxes[1], boxes[3]}), ".cr3");
    EXPECT_TRUE(without_note.read);
    EXPECT_EQ(without_note.tags.Text(PhotoTag::kExposureTime), "1/500");
    EXPECT_EQ(without_note.tags.Text(PhotoTag::kFocusMode), "");
  }
}

}  // namespace
}  // namespace lumetra
