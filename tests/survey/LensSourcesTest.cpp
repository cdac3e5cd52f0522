// Where a photo's lens text comes from: one fixture per source, each beside the sources after it, so that
// the order shows. Every photo is read selectively, as the survey reads, and in full, with one result.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "metadata/ExifData.h"
#include "metadata/XmpPacket.h"
#include "survey/ExtractPhoto.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "testing/NotePlacement.h"
#include "tests/support/ByteOrders.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::BuildMakerNote;
using testing::ByteOrder;
using testing::Ifd;
using testing::NoteAt;
using testing::Rational;

constexpr uint16_t kLensSpecification = 0xA432;
constexpr uint16_t kDngLensInfo = 0xC630;

struct Photo {
  std::string make = "Canon";
  std::string model = "Canon PowerShot Z1";
  Rational focal{35, 1};
  std::string lens_model;
  std::vector<Rational> lens_specification;
  std::vector<Rational> dng_lens_info;
  NoteAt note;      // none when empty
  std::string xmp;  // an XMP packet, in an APP1 after the Exif one, when not empty
  bool xmp_before_exif = false;
  // Segments between the Exif segment and the XMP packet, as editors write them.
  std::vector<testing::Segment> before_xmp;
  // DateTime and DateTimeOriginal, each left out when empty: by default a photo an editor saved again.
  std::string saved = "2021:05:02 18:00:00";
  std::string taken = "2021:05:01 09:30:00";
  // A second DateTime, in the Exif directory, when not empty: the first one listed (IFD0's) counts.
  std::string saved_again;
  // Bytes of a value nobody reads (PrintIM), for an Exif segment larger than the file's first read.
  size_t exif_filler = 0;
};

std::string JpegOf(const Photo& photo, ByteOrder order) {
  const auto ifd0 = [&photo](const std::string& note) {
    Ifd exif;
    exif.Undefined(0x9000, "0230").Rationals(0x829A, {{1, 125}}).Rationals(0x829D, {{56, 10}});
    if (photo.note) exif.Undefined(0x927C, note);
    exif.Rationals(0x920A, {photo.focal});
    if (!photo.lens_specification.empty()) exif.Rationals(kLensSpecification, photo.lens_specification);
    if (!photo.lens_model.empty()) exif.Ascii(0xA434, photo.lens_model);
    if (!photo.taken.empty()) exif.Ascii(0x9003, photo.taken);
    if (!photo.saved_again.empty()) exif.Ascii(0x0132, photo.saved_again);
    if (photo.exif_filler > 0) exif.Undefined(0xC4A5, std::string(photo.exif_filler, 'p'));
    Ifd ifd;
    ifd.Ascii(0x010F, photo.make).Ascii(0x0110, photo.model);
    if (!photo.saved.empty()) ifd.Ascii(0x0132, photo.saved);
    if (!photo.dng_lens_info.empty()) ifd.Rationals(kDngLensInfo, photo.dng_lens_info);
    ifd.Sub(0x8769, exif);
    return ifd;
  };
  const NoteAt note = photo.note ? photo.note : NoteAt([](uint32_t) { return std::string(); });
  std::vector<testing::Segment> segments = {{0xE1, testing::PayloadWithNote(ifd0, order, note), std::nullopt}};
  segments.insert(segments.end(), photo.before_xmp.begin(), photo.before_xmp.end());
  if (!photo.xmp.empty()) {
    const testing::Segment xmp{0xE1, std::string(kXmpHeader) + photo.xmp, std::nullopt};
    segments.insert(photo.xmp_before_exif ? segments.begin() : segments.end(), xmp);
  }
  return testing::BuildJpeg(segments);
}

// Canon's camera settings with the long and short focal lengths and their units at elements 23 to 25,
// and the lens model entry 0x0095 when `lens` is not empty.
NoteAt CanonNote(ByteOrder order, uint16_t short_focal, uint16_t long_focal, uint16_t units, std::string lens = {}) {
  return [=](uint32_t at) {
    std::vector<uint16_t> settings(40, 0);
    settings[0] = 80;
    settings[23] = long_focal;
    settings[24] = short_focal;
    settings[25] = units;
    Ifd directory;
    directory.Short(0x0001, settings).Ascii(0x0006, "IMG:PowerShot JPEG");
    if (!lens.empty()) directory.Ascii(0x0095, lens);
    return BuildMakerNote(directory, order, "", at);
  };
}

// Nikon's third layout, with its lens information (0x0084).
NoteAt NikonNote(ByteOrder order, std::vector<Rational> lens) {
  return [=](uint32_t) {
    Ifd directory;
    directory.Short(0x0002, {0, 200}).Rationals(0x0084, lens);
    const std::string tiff_header =
        order == ByteOrder::kLittle ? std::string("II*\0\x08\0\0\0", 8) : std::string("MM\0*\0\0\0\x08", 8);
    return BuildMakerNote(directory, order, std::string("Nikon\0\x02\x10\0\0", 10) + tiff_header, -10);
  };
}

// Olympus' later layout: "OLYMPUS\0", the byte-order mark, the version, then a directory whose first entry
// points to the equipment directory, as an IFD entry (type 13) as cameras write it, or as a LONG.
// A second pointer, when `second_lens` is given, leads to another equipment directory naming that lens.
NoteAt OlympusNote(ByteOrder order, std::string lens, uint16_t short_focal, uint16_t long_focal,
                   uint16_t aperture_at_short, uint16_t aperture_at_long, bool ifd_type = true,
                   std::string second_lens = {}) {
  return [=](uint32_t) {
    Ifd equipment;
    equipment.Undefined(0x0000, "0100").Ascii(0x0203, lens).Short(0x0205, {aperture_at_short});
    equipment.Short(0x0206, {aperture_at_long}).Short(0x0207, {short_focal}).Short(0x0208, {long_focal});
    Ifd directory;
    directory.Sub(0x2010, equipment).Ascii(0x0209, "OLYMPUS DIGITAL CAMERA");
    if (!second_lens.empty()) directory.Sub(0x2010, Ifd().Undefined(0x0000, "0100").Ascii(0x0203, second_lens));
    const std::string header = std::string("OLYMPUS\0", 8) + (order == ByteOrder::kLittle ? "II" : "MM") + "\x03";
    std::string note = BuildMakerNote(directory, order, header + std::string(1, '\0'), 0);
    if (ifd_type) {
      // The first entry's type, after the 12-byte header, the entry count and the tag.
      note[order == ByteOrder::kLittle ? 16 : 17] = 13;
    }
    return note;
  };
}

Photo Nikon(NoteAt note) {
  Photo photo;
  photo.make = "NIKON CORPORATION";
  photo.model = "NIKON D70";
  photo.note = std::move(note);
  return photo;
}

Photo Olympus(const char* model, Rational focal, NoteAt note) {
  Photo photo;
  photo.make = "OLYMPUS IMAGING CORP.";
  photo.model = model;
  photo.focal = focal;
  photo.note = std::move(note);
  return photo;
}

struct Outcome {
  std::string selective;
  std::string full;
  std::string russian;
};

Outcome LensOf(const Photo& photo, ByteOrder order, int64_t stored_crop = 0) {
  const std::string jpeg = JpegOf(photo, order);
  ExtractionContext context;
  context.cb_CF = false;
  context.crop_factor = [stored_crop](const std::string&, const std::string&) { return stored_crop; };
  TimgData selective(SurveyTagSelection());
  selective.ProcessBytes(jpeg, ".jpg");
  TimgData full(BuildAll);
  full.ProcessBytes(jpeg, ".jpg");
  Outcome outcome;
  if (const auto record = RecordFromTags(TagsOf(selective), context)) outcome.selective = record->lens;
  if (const auto record = ExtractPhotoRecord(full, context)) outcome.full = record->lens;
  context.language = kRussian;
  if (const auto record = RecordFromTags(TagsOf(selective), context)) outcome.russian = record->lens;
  return outcome;
}

TEST(LensSources, EachSourceInItsOrder) {
  const std::vector<Rational> spec_18_55 = {{18, 1}, {55, 1}, {35, 10}, {56, 10}};
  const std::vector<Rational> nikon_18_70 = {{18, 1}, {70, 1}, {35, 10}, {45, 10}};
  struct Case {
    const char* what;
    std::function<Photo(ByteOrder)> photo;
    const char* lens;
  };
  const Case cases[] = {
      {"LensModel before everything",
       [&](ByteOrder order) {
         Photo photo;
         photo.lens_model = "EF-S18-55mm f/3.5-5.6 IS II";
         photo.lens_specification = {{24, 1}, {70, 1}, {28, 10}, {28, 10}};
         photo.note = CanonNote(order, 24, 70, 1, "EF24-70mm f/2.8L USM");
         return photo;
       },
       "EF-S18-55mm f/3.5-5.6 IS II"},
      {"the maker note's lens text before LensSpecification",
       [&](ByteOrder order) {
         Photo photo;
         photo.lens_specification = spec_18_55;
         photo.note = CanonNote(order, 18, 55, 1, "EF-S18-55mm f/3.5-5.6 IS II");
         return photo;
       },
       "EF-S18-55mm f/3.5-5.6 IS II"},
      {"LensSpecification before DNG LensInfo, Nikon's lens information and Canon's focal lengths",
       [&](ByteOrder order) {
         Photo photo;
         photo.lens_specification = spec_18_55;
         photo.dng_lens_info = {{18, 1}, {105, 1}, {35, 10}, {56, 10}};
         photo.note = CanonNote(order, 17, 85, 1);
         return photo;
       },
       "18-55mm f/3.5-5.6"},
      {"LensSpecification with unknown apertures",
       [&](ByteOrder) {
         Photo photo;
         photo.lens_specification = {{24, 1}, {70, 1}, {0, 0}, {0, 0}};
         return photo;
       },
       "24-70mm"},
      {"DNG LensInfo before Nikon's lens information",
       [&](ByteOrder order) {
         Photo photo = Nikon(NikonNote(order, nikon_18_70));
         photo.dng_lens_info = {{18, 1}, {105, 1}, {35, 10}, {56, 10}};
         return photo;
       },
       "18-105mm f/3.5-5.6"},
      {"Nikon's lens information", [&](ByteOrder order) { return Nikon(NikonNote(order, nikon_18_70)); },
       "18-70mm f/3.5-4.5"},
      {"LensSpecification of zeros gives way to Nikon's lens information",
       [&](ByteOrder order) {
         Photo photo = Nikon(NikonNote(order, nikon_18_70));
         photo.lens_specification = {{0, 1}, {0, 1}, {0, 1}, {0, 1}};
         return photo;
       },
       "18-70mm f/3.5-4.5"},
      {"Canon's focal lengths in 1/32 mm",
       [&](ByteOrder order) {
         Photo photo;
         photo.focal = {108, 10};
         photo.note = CanonNote(order, 173, 519, 32);
         return photo;
       },
       "5.4-16.2mm"},
      {"Canon's focal lengths the photo's focal length lies outside of",
       [&](ByteOrder order) {
         Photo photo;
         photo.focal = {108, 10};
         photo.note = CanonNote(order, 19521, 21577, 18720);
         return photo;
       },
       "n/a"},
      {"Olympus' lens text",
       [&](ByteOrder order) {
         return Olympus("E-P3", {17, 1}, OlympusNote(order, "OLYMPUS M.17mm F1.8", 17, 17, 434, 434));
       },
       "OLYMPUS M.17mm F1.8"},
      {"Olympus' range, the equipment pointed to by a LONG",
       [&](ByteOrder order) {
         return Olympus("E-420", {24, 1}, OlympusNote(order, "", 14, 42, 925, 1273, false));
       },
       "14-42mm f/3.5-5.6"},
      {"nothing describes the lens",
       [&](ByteOrder order) {
         Photo photo;
         photo.note = CanonNote(order, 0, 0, 0);
         return photo;
       },
       "n/a"},
  };
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      const Outcome outcome = LensOf(c.photo(order), order);
      EXPECT_EQ(outcome.selective, c.lens);
      EXPECT_EQ(outcome.full, c.lens);
      // The same lens has the same text in both languages.
      EXPECT_EQ(outcome.russian, std::string(c.lens) == "n/a" ? "Не определен" : c.lens);
    }
  }
}

// The rule that named lenses before stays first: a Canon body of crop factor 2 or less is named by its
// focal range as it always was, whatever else the photo holds.
TEST(LensSources, TheCanonFocalRangeOfInterchangeableLensBodiesStaysFirst) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Photo photo;
    photo.model = "Canon EOS 40D";
    photo.lens_specification = {{18, 1}, {55, 1}, {35, 10}, {56, 10}};
    photo.note = CanonNote(order, 18, 55, 1, "EF-S18-55mm f/3.5-5.6 IS");
    EXPECT_EQ(LensOf(photo, order, 16000).selective, "18-55 mm");
    EXPECT_EQ(LensOf(photo, order).selective, "EF-S18-55mm f/3.5-5.6 IS");
  }
}

// A note that points to its equipment twice has the first directory read, and once only.
TEST(LensSources, OlympusEquipmentIsReadOnce) {
  for (const ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const Photo photo = Olympus(
        "E-P3", {17, 1}, OlympusNote(order, "OLYMPUS M.17mm F1.8", 17, 17, 434, 434, true, "OLYMPUS M.45mm F1.8"));
    TimgData full(BuildAll);
    full.ProcessBytes(JpegOf(photo, order), ".jpg");
    ASSERT_NE(full.ImageInfo, nullptr);
    int lens_entries = 0;
    for (const TTagEntry& entry : full.ImageInfo->Tags) lens_entries += entry.Name == "MakerLensModel" ? 1 : 0;
    EXPECT_EQ(lens_entries, 1);
    EXPECT_EQ(full.ImageInfo->TagText("MakerLensModel"), "\"OLYMPUS M.17mm F1.8\"");
    EXPECT_EQ(LensOf(photo, order).selective, "OLYMPUS M.17mm F1.8");
  }
}

// The XMP packet comes after every other source, and is read from the file only for a photo that nothing
// else describes the lens of: met before the Exif segment, or looked for in the editor's segments right
// after it when the photo was saved again after it was taken. A packet cut short or malformed names no lens
// and loses nothing else.
TEST(LensSources, TheXmpPacketNamesOnlyWhatNothingElseDoes) {
  const std::string s9 =
      R"(<rdf:Description aux:Lens="Galaxy Rear" exifEX:LensModel="Samsung Galaxy S9+ Rear Camera"/>)";
  const std::string nikon =
      "<rdf:Description>\n <aux:LensInfo>180/10 550/10 35/10 56/10</aux:LensInfo>\n"
      " <aux:Lens>18.0-55.0 mm f/3.5-5.6</aux:Lens>\n</rdf:Description>";
  const std::string lens_info = R"(<rdf:Description aux:LensInfo="180/10 550/10 35/10 56/10"/>)";
  struct Case {
    const char* what;
    std::function<Photo(ByteOrder)> photo;
    size_t cut_from_end;  // bytes removed from the end of the file
    const char* lens;
    bool keeps_xmp;  // the photo's facts hold the packet's lens properties
  };
  const Case cases[] = {
      {"LensModel before XMP",
       [&](ByteOrder) {
         Photo photo;
         photo.lens_model = "EF-S18-55mm f/3.5-5.6 IS II";
         photo.xmp = s9;
         return photo;
       },
       0, "EF-S18-55mm f/3.5-5.6 IS II", false},
      {"the maker note's lens text before XMP",
       [&](ByteOrder order) {
         Photo photo;
         photo.note = CanonNote(order, 18, 55, 1, "EF-S18-55mm f/3.5-5.6 IS II");
         photo.xmp = s9;
         return photo;
       },
       0, "EF-S18-55mm f/3.5-5.6 IS II", false},
      {"LensSpecification before XMP",
       [&](ByteOrder) {
         Photo photo;
         photo.lens_specification = {{24, 1}, {70, 1}, {28, 10}, {28, 10}};
         photo.xmp = s9;
         return photo;
       },
       0, "24-70mm f/2.8", false},
      {"XMP's LensModel before its Lens",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"XMP's Lens before its LensInfo, as an element",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = nikon;
         return photo;
       },
       0, "18-55 mm f/3.5-5.6", true},
      {"XMP's LensInfo",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = lens_info;
         return photo;
       },
       0, "18-55mm f/3.5-5.6", true},
      {"XMP's LensInfo the photo's focal length lies outside of",
       [&](ByteOrder) {
         Photo photo;
         photo.focal = {200, 1};
         photo.xmp = lens_info;
         return photo;
       },
       0, "n/a", true},
      {"an XMP packet before the Exif",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = s9;
         photo.xmp_before_exif = true;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet after an IPTC, an ICC profile and another APP1, as editors write them",
       [&](ByteOrder) {
         Photo photo;
         photo.before_xmp = {{0xED, "Photoshop 3.0" + std::string(5000, '\0'), std::nullopt},
                             {0xE2, "ICC_PROFILE" + std::string(3200, 'i'), std::nullopt},
                             {0xE1, "http://ns.adobe.com/xmp/extension/" + std::string(300, 'e'), std::nullopt}};
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet right after an Exif segment read to its end, past the file's first read",
       [&](ByteOrder) {
         Photo photo;
         photo.exif_filler = 6000;
         photo.xmp = R"(<rdf:Description aux:Lens=")" + std::string(3000, ' ') + R"(Galaxy Rear"/>)";
         return photo;
       },
       0, "Galaxy Rear", true},
      {"an XMP packet after a large Exif segment, an ICC profile and an IPTC",
       [&](ByteOrder) {
         Photo photo;
         photo.exif_filler = 6000;
         photo.before_xmp = {{0xE2, "ICC_PROFILE" + std::string(500, 'i'), std::nullopt},
                             {0xED, "Photoshop 3.0" + std::string(40, '\0'), std::nullopt}};
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"no XMP packet after a large Exif segment, the picture's tables next",
       [&](ByteOrder) {
         Photo photo;
         photo.exif_filler = 6000;
         photo.before_xmp = {{0xDB, std::string(65, '\x01'), std::nullopt}};
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the picture's tables, where the look has ended",
       [&](ByteOrder) {
         Photo photo;
         photo.before_xmp = {{0xDB, std::string(65, '\x01'), std::nullopt}};
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo never saved again (DateTime as DateTimeOriginal)",
       [&](ByteOrder) {
         Photo photo;
         photo.saved = photo.taken;
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo without DateTime",
       [&](ByteOrder) {
         Photo photo;
         photo.saved.clear();
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo saved again without DateTimeOriginal",
       [&](ByteOrder) {
         Photo photo;
         photo.taken.clear();
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet after the Exif of a photo whose DateTime is its DateTimeOriginal written otherwise",
       [&](ByteOrder) {
         Photo photo;
         photo.saved = photo.taken + "+02:00";
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo whose DateTime is no real moment",
       [&](ByteOrder) {
         Photo photo;
         photo.saved = "0000:00:00 00:00:00";
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo saved again whose DateTimeOriginal is no real moment",
       [&](ByteOrder) {
         Photo photo;
         photo.taken = "    :  :     :  :  ";
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet after the Exif of a photo saved again whose DateTimeOriginal is zeros",
       [&](ByteOrder) {
         Photo photo;
         photo.taken = "0000:00:00 00:00:00";
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet after the Exif of a photo whose DateTime is its DateTimeOriginal in the ISO layout",
       [&](ByteOrder) {
         Photo photo;
         photo.saved = "2021-05-01T09:30:00";
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo never saved again, a later DateTime in the Exif directory",
       [&](ByteOrder) {
         Photo photo;
         photo.saved = photo.taken;
         photo.saved_again = "2021:05:02 18:00:00";
         photo.xmp = s9;
         return photo;
       },
       0, "n/a", false},
      {"an XMP packet after the Exif of a photo saved again, DateTimeOriginal's text again in the Exif directory",
       [&](ByteOrder) {
         Photo photo;
         photo.saved_again = photo.taken;
         photo.xmp = s9;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet before the Exif of a photo never saved again, met on the way",
       [&](ByteOrder) {
         Photo photo;
         photo.saved.clear();
         photo.xmp = s9;
         photo.xmp_before_exif = true;
         return photo;
       },
       0, "Samsung Galaxy S9+ Rear Camera", true},
      {"an XMP packet the file ends inside of",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = R"(<rdf:Description aux:Lens=")" + std::string(3000, 'x') + R"("/>)";
         return photo;
       },
       1000, "n/a", false},
      {"an XMP value with an unknown entity",
       [&](ByteOrder) {
         Photo photo;
         photo.xmp = R"(<rdf:Description aux:Lens="Galaxy &nbsp; Rear"/>)";
         return photo;
       },
       0, "n/a", false},
  };
  const testing::TempFolder temp;
  ExtractionContext context;
  context.cb_CF = false;
  for (const ByteOrder order : testing::kBothByteOrders) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::ByteOrderName(order)) + " " + c.what);
      std::string bytes = JpegOf(c.photo(order), order);
      ASSERT_LT(c.cut_from_end, bytes.size());
      bytes.resize(bytes.size() - c.cut_from_end);
      const std::filesystem::path file = temp.path() / "photo.jpg";
      testing::WriteFileBytes(file, bytes);
      const PhotoTags tags = ReadPhotoTags(file.string());
      EXPECT_EQ(!tags.xmp_lens.empty() || !tags.xmp_lens_info.empty(), c.keeps_xmp);
      // The file's buffered reads, the bytes held in memory and the full listing find the same packet.
      TimgData full(BuildAll);
      full.ProcessBytes(bytes, ".jpg");
      PhotoTags listed = TagsOf(full);
      AddXmpLens(full, listed);
      for (const PhotoTags& other : {ReadPhotoTagsOfBytes(bytes, ".jpg"), listed}) {
        EXPECT_EQ(other.xmp_lens, tags.xmp_lens);
        EXPECT_EQ(other.xmp_lens_info, tags.xmp_lens_info);
      }
      const std::optional<PhotoRecord> record = RecordFromTags(tags, context);
      ASSERT_TRUE(record);
      EXPECT_EQ(record->lens, c.lens);
      context.language = kRussian;
      const std::optional<PhotoRecord> russian = RecordFromTags(tags, context);
      context.language = kEnglish;
      ASSERT_TRUE(russian);
      EXPECT_EQ(russian->lens, std::string(c.lens) == "n/a" ? "Не определен" : c.lens);
    }
  }
}

}  // namespace
}  // namespace lumetra
