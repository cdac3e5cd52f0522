// The reader on real cameras' photos: every file read without a failure escaping, and the values the
// survey asks for compared with what exiftool shows for the same files.

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "metadata/ExifData.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"

namespace lumetra {
namespace {

using testing::CorpusFolder;
using testing::CorpusPhotos;

// Zero-padded ASCII fields render their padding as dots; trailing blanks are the camera's own.
std::string WithoutPadding(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text;
}

// One tag text of one corpus photo, as exiftool shows the value.
struct ExpectedText {
  const char* file;
  const char* name;
  const char* text;
};

void ExpectTexts(const std::filesystem::path& folder, std::span<const ExpectedText> cases, bool maker_note) {
  for (const ExpectedText& expected : cases) {
    SCOPED_TRACE(std::string(expected.file) + " " + expected.name);
    TimgData data(BuildAll);
    data.ProcessFile((folder / expected.file).string());
    ASSERT_NE(data.ImageInfo, nullptr);
    if (maker_note) {
      EXPECT_TRUE(data.ImageInfo->MakerNoteKnown);
    }
    EXPECT_EQ(data.ImageInfo->TagText(expected.name), expected.text);
  }
}

TEST(Corpus, EveryPhotoIsReadAndItsCameraFound) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  const auto photos = CorpusPhotos();
  ASSERT_GT(photos.size(), 100u);
  for (const auto& photo : photos) {
    SCOPED_TRACE(photo.file);
    TimgData data(BuildAll);
    const bool read = data.ProcessFile((*folder / photo.file).string());
    const bool has_tags = !photo.make.empty();
    EXPECT_EQ(data.ImageInfo != nullptr && data.ImageInfo->TagCount() > 0, has_tags);
    if (!has_tags) continue;
    EXPECT_TRUE(read);
    EXPECT_EQ(data.ErrorText, "<none>");
    ASSERT_NE(data.ImageInfo, nullptr);
    EXPECT_EQ(WithoutPadding(data.ImageInfo->TagText("Make")), WithoutPadding(photo.make));
    EXPECT_EQ(WithoutPadding(data.ImageInfo->TagText("Model")), WithoutPadding(photo.model));
  }
}

TEST(Corpus, ReadingFromMemoryListsWhatReadingTheFileLists) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  for (const auto& photo : CorpusPhotos()) {
    SCOPED_TRACE(photo.file);
    const std::filesystem::path path = *folder / photo.file;
    TimgData from_file(BuildAll);
    TimgData from_memory(BuildAll);
    EXPECT_EQ(from_file.ProcessFile(path.string()), from_memory.ProcessBytes(testing::ReadFileBytes(path), ".jpg"));
    EXPECT_EQ(from_file.ErrorText, from_memory.ErrorText);
    ASSERT_EQ(from_file.ImageInfo != nullptr, from_memory.ImageInfo != nullptr);
    if (!from_file.ImageInfo) continue;
    EXPECT_EQ(from_file.ImageInfo->InfoText, from_memory.ImageInfo->InfoText);
    EXPECT_EQ(from_file.ImageInfo->TagCount(), from_memory.ImageInfo->TagCount());
  }
}

// Values checked by hand against `exiftool -n` on the same files (IFD0 and Exif directory values).
TEST(Corpus, TextsOfTheSurveyTagsMatchTheReference) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  const ExpectedText cases[] = {
      // Canon, little-endian; no 35 mm tag: computed from the focal-plane resolution (34 mm × 1.619).
      {"Canon/Canon EOS 1000D.jpg", "Make", "Canon"},
      {"Canon/Canon EOS 1000D.jpg", "Model", "Canon EOS 1000D"},
      {"Canon/Canon EOS 1000D.jpg", "ExposureTime", "1/250"},
      {"Canon/Canon EOS 1000D.jpg", "FNumber", "5.6"},
      {"Canon/Canon EOS 1000D.jpg", "FocalLength", "34.00"},
      {"Canon/Canon EOS 1000D.jpg", "FocalLengthin35mmFilm", "55.04"},
      {"Canon/Canon EOS 1000D.jpg", "ISOSpeedRatings", "100"},
      {"Canon/Canon EOS 1000D.jpg", "ExposureProgram", "Aperture"},
      {"Canon/Canon EOS 1000D.jpg", "MeteringMode", "MultiSegment"},
      {"Canon/Canon EOS 1000D.jpg", "Flash", "Off"},
      {"Canon/Canon EOS 1000D.jpg", "Orientation", "CounterClockwise 90\u00B0"},
      // Apple, big-endian, with a 35 mm tag.
      {"Apple/Apple iPhone 5.jpg", "Make", "Apple"},
      {"Apple/Apple iPhone 5.jpg", "ExposureTime", "1/1695"},
      {"Apple/Apple iPhone 5.jpg", "FNumber", "2.4"},
      {"Apple/Apple iPhone 5.jpg", "FocalLength", " 4.13"},
      {"Apple/Apple iPhone 5.jpg", "FocalLengthin35mmFilm", "33.00"},
      {"Apple/Apple iPhone 5.jpg", "ISOSpeedRatings", "50"},
      {"Apple/Apple iPhone 5.jpg", "MeteringMode", "Spot"},
      {"Apple/Apple iPhone 5.jpg", "Orientation", "Rotated 180\u00B0"},
      {"Apple/Issue 177.jpg", "LensModel", "iPhone 5s back camera 4.15mm f/2.2"},
      // Nikon: exposure stored unreduced, flash fired, no ISO in the Exif directory.
      {"Nikon/Nikon D70.jpg", "Model", "NIKON D70"},
      {"Nikon/Nikon D70.jpg", "ExposureTime", "5/300"},
      {"Nikon/Nikon D70.jpg", "FNumber", "4.5"},
      {"Nikon/Nikon D70.jpg", "FocalLength", "70.00"},
      {"Nikon/Nikon D70.jpg", "FocalLengthin35mmFilm", "105.00"},
      {"Nikon/Nikon D70.jpg", "ISOSpeedRatings", ""},
      {"Nikon/Nikon D70.jpg", "ExposureProgram", "Other"},
      {"Nikon/Nikon D70.jpg", "Flash", "On"},
      // Olympus pads Make and Model with blanks.
      {"Olympus/Olympus PEN E-P3.jpg", "Make", "OLYMPUS IMAGING CORP.  "},
      {"Olympus/Olympus PEN E-P3.jpg", "ExposureTime", "1/60"},
      {"Olympus/Olympus PEN E-P3.jpg", "FNumber", "1.8"},
      {"Olympus/Olympus PEN E-P3.jpg", "ISOSpeedRatings", "1600"},
      // Sony and Google phones.
      {"Sony/Sony DSC-HX5V (2).jpg", "ExposureTime", "10/2500"},
      {"Sony/Sony DSC-HX5V (2).jpg", "FocalLength", " 4.25"},
      {"Google/ultrahdr.jpg", "ExposureTime", "40000/1000000"},
      {"Google/ultrahdr.jpg", "FNumber", "1.9"},
      {"Google/ultrahdr.jpg", "MeteringMode", "Center"},
      {"Google/ultrahdr.jpg", "LensModel", "Pixel 6 back camera 6.81mm f/1.85"},
  };
  ExpectTexts(*folder, cases, /*maker_note=*/false);
}

// Maker-note values checked by hand against `exiftool -n` on the same files: Canon's FocusMode,
// ContinuousDrive, MinFocalLength and MaxFocalLength (raw, before exiftool divides by FocalUnits), Nikon's
// ISO, Quality, Lens and ColorSpace, Olympus's Quality and CameraID, Fujifilm's Quality, Sharpness,
// WhiteBalance.
TEST(Corpus, MakerNoteTextsMatchTheReference) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  const ExpectedText cases[] = {
      {"Canon/Canon EOS 1000D.jpg", "Focus Mode", "One-Shot"},
      {"Canon/Canon EOS 1000D.jpg", "Drive Mode", "Single"},
      {"Canon/Canon EOS 1000D.jpg", "Short focal", " 18"},
      {"Canon/Canon EOS 1000D.jpg", "Long focal", " 55"},
      {"Canon/Canon EOS 30D (4).jpg", "Focus Mode", "AI Focus"},
      {"Canon/Canon EOS 30D (4).jpg", "Drive Mode", "Single"},
      {"Canon/Canon EOS 30D (4).jpg", "Short focal", " 75"},
      {"Canon/Canon EOS 30D (4).jpg", "Long focal", " 300"},
      {"Canon/Canon PowerShot G11.jpg", "Focus Mode", "Single"},
      {"Canon/Canon PowerShot G11.jpg", "Short focal", " 6100"},
      {"Canon/Canon PowerShot G11.jpg", "Long focal", " 30500"},
      // Big-endian Canon; drive code 5 is not in the list.
      {"Canon/Issue 122.jpg", "Focus Mode", "AI Servo"},
      {"Canon/Issue 122.jpg", "Drive Mode", ""},
      {"Canon/Issue 122.jpg", "Long focal", " 400"},
      {"Nikon/Nikon D70.jpg", "ISOSpeed", "0, 400"},
      {"Nikon/Nikon D70.jpg", "Quality", "\"NORMAL \""},
      {"Nikon/Nikon D70.jpg", "LensInformation", "18.0-70.0(mm)  F3.5-F4.5"},
      {"Nikon/Nikon D70.jpg", "ColorMode", "Mode1 (sRGB)"},
      {"Olympus/Olympus C720UZ.jpg", "JpegQual", "HQ"},
      {"Olympus/Olympus C720UZ.jpg", "CameraID", "\"OLYMPUS DIGITAL CAMERA         .\""},
      {"Fujifilm/FujiFilm FinePix A303.jpg", "Quality", "\"FINE   \""},
      {"Fujifilm/FujiFilm FinePix A303.jpg", "Sharpness", "Normal"},
      {"Fujifilm/FujiFilm FinePix A303.jpg", "WhiteBalance", "Auto"},
      // Other makers have no Canon records.
      {"Nikon/Nikon D70.jpg", "Focus Mode", ""},
      {"Fujifilm/FujiFilm FinePix A303.jpg", "Drive Mode", ""},
  };
  ExpectTexts(*folder, cases, /*maker_note=*/true);
}

TEST(Corpus, PhotosWithoutExifAreAnswersNotFailures) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  // No APP segment at all: nothing to take, so the read is false.
  TimgData beach(BuildAll);
  EXPECT_FALSE(beach.ProcessFile((*folder / "Unknown/beach.jpg").string()));
  EXPECT_EQ(beach.ErrorText, "Not an EXIF file");
  EXPECT_FALSE(beach.HasExif());
  // A camera's own 12-byte APP1 ("QVCI") in the Exif place is not Exif: no Exif header, no Exif.
  TimgData casio(BuildAll);
  EXPECT_FALSE(casio.ProcessFile((*folder / "Casio/Casio QV-7000SX.jpg").string()));
  EXPECT_EQ(casio.ErrorText, "Not an EXIF file");
  EXPECT_FALSE(casio.HasExif());
  EXPECT_EQ(casio.ImageInfo, nullptr);
}

}  // namespace
}  // namespace lumetra
