// The survey's selective read against the full read of `lumetra-cli tags`: the same tags, maker-note lens
// text and records for real cameras' photos, fixtures, fuzzing seeds and findings, and JPEGs whose
// segments the selective read passes over unread.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/ReadBothWays.h"
#include "metadata/ExifData.h"
#include "survey/PhotoTags.h"
#include "survey/ReadPhotoTags.h"
#include "testing/DemoFolder.h"
#include "testing/FaultPhotos.h"
#include "testing/JpegWriter.h"
#include "testing/ThumbnailExif.h"
#include "tests/support/CorpusFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using fuzz::DifferenceBetweenReads;
using fuzz::FullRead;
using fuzz::SelectiveRead;

// The full read's walk finds the XMP packet where the selective one does.
PhotoTags FullReadOfFile(const std::filesystem::path& path) {
  TimgData data(BuildAll);
  data.ProcessFile(path.string());
  PhotoTags tags = TagsOf(data);
  AddXmpLens(data, tags);
  return tags;
}

TEST(SelectiveRead, AgreesWithTheFullReadOnEveryCorpusPhoto) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  int with_focus_mode = 0;
  int with_maker_lens = 0;
  int with_xmp_lens = 0;
  for (const auto& photo : testing::CorpusPhotos()) {
    SCOPED_TRACE(photo.file);
    const std::filesystem::path path = *folder / photo.file;
    const PhotoTags selective = ReadPhotoTags(path.string());
    EXPECT_EQ(DifferenceBetweenReads(FullReadOfFile(path), selective), "");
    with_focus_mode += !selective.Text(PhotoTag::kFocusMode).empty();
    with_maker_lens += !selective.makerLensText.empty();
    with_xmp_lens += !selective.xmp_lens.empty();
  }
  // The maker-note paths the selective read treats apart were really taken.
  EXPECT_GT(with_focus_mode, 0);
  EXPECT_GT(with_maker_lens, 0);
  EXPECT_GT(with_xmp_lens, 0);
}

// A reading thread reads every photo into one PhotoTags: nothing of the photo before may stay in them, whichever
// photo came before (forwards and backwards through the corpus, so that each photo follows two others).
TEST(SelectiveRead, TagsReadIntoAgainAreTheFreshReadsTags) {
  LUMETRA_CORPUS_OR_SKIP(folder);
  std::vector<std::filesystem::path> paths;
  for (const auto& photo : testing::CorpusPhotos()) paths.push_back(*folder / photo.file);
  paths.push_back(*folder / "no such photo.jpg");
  std::vector<std::filesystem::path> order = paths;
  order.insert(order.end(), paths.rbegin(), paths.rend());
  PhotoTags kept;
  for (const std::filesystem::path& path : order) {
    SCOPED_TRACE(path.filename().string());
    ReadPhotoTagsInto(path.string(), kept);
    EXPECT_TRUE(kept == ReadPhotoTags(path.string()));
  }
}

TEST(PhotoTags, ClearMakesThemAsNewOnesAre) {
  PhotoTags tags;
  tags.has_exif = true;
  for (std::string& text : tags.texts) text = "a text longer than a short string's own room";
  tags.makerLensText = "EF24-105mm f/4L IS USM";
  tags.xmp_lens = "lens";
  tags.xmp_lens_info = "24/1 105/1 4/1 4/1";
  tags.taken = 1;
  tags.file.found = true;
  tags.file.size = 5;
  tags.unread_reason = "Permission denied";
  tags.remembered = true;
  tags.Clear();
  EXPECT_TRUE(tags == PhotoTags());
}

TEST(SelectiveRead, AgreesOnFixturesFuzzingSeedsAndFindings) {
  for (const testing::DemoPhoto& photo : testing::DemoPhotos()) {
    SCOPED_TRACE(photo.path);
    const std::string bytes = testing::DemoPhotoBytes(photo);
    EXPECT_EQ(DifferenceBetweenReads(FullRead(bytes, ".jpg"), SelectiveRead(bytes, ".jpg")), "");
  }
  for (const testing::FaultPhoto& photo : testing::FaultPhotos()) {
    SCOPED_TRACE(photo.name);
    const std::string bytes = testing::FaultPhotoJpeg(photo.ifd0, photo.order);
    EXPECT_EQ(DifferenceBetweenReads(FullRead(bytes, ".jpg"), SelectiveRead(bytes, ".jpg")), "");
  }
  int inputs = 0;
  const std::filesystem::path fuzz_folder = LUMETRA_SOURCE_DIR "/fuzz";
  for (const auto& [target, extension] : {std::pair{"jpeg_reader", ".jpg"}, std::pair{"tiff_reader", ".tif"}}) {
    for (const char* kind : {"seeds", "regressions"}) {
      const std::filesystem::path folder = fuzz_folder / kind / target;
      if (!std::filesystem::is_directory(folder)) continue;
      for (const auto& file : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(file.path().string());
        const std::string bytes = testing::ReadFileBytes(file.path());
        EXPECT_EQ(DifferenceBetweenReads(FullRead(bytes, extension), SelectiveRead(bytes, extension)), "");
        ++inputs;
      }
    }
  }
  EXPECT_GT(inputs, 10);
}

testing::Segment App(uint8_t marker, size_t size) { return {marker, std::string(size, 'x'), std::nullopt}; }

// An XMP packet in an APP1 segment: an APP1 that is not Exif.
testing::Segment Xmp() { return {0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 41), std::nullopt}; }

// More segments than the walk has slots for, each large enough that a file passes it with a seek.
std::vector<testing::Segment> ThirtyIccSegmentsThen(const testing::Segment& last) {
  std::vector<testing::Segment> segments(30, App(0xE2, 20000));
  segments.push_back(last);
  return segments;
}

testing::Segment Exif() {
  testing::Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Rationals(0x829D, {{56, 10}});
  testing::Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
  return testing::ExifSegment(ifd0, testing::ByteOrder::kLittle);
}

// Segments the selective read does not keep, around the Exif one: the slot rules and short files must come
// out as in the full read, from memory and from a file (where large segments are passed over with a seek).
TEST(SelectiveRead, PassesOverOtherSegmentsAsTheFullReadWalksThem) {
  constexpr uint8_t kApp0 = 0xE0, kApp1 = 0xE1, kApp2 = 0xE2, kApp13 = 0xED, kComment = 0xFE;
  struct Case {
    const char* name;
    std::vector<testing::Segment> segments;
    size_t cut_from_end;  // bytes removed from the end of the file
    bool has_exif;
  };
  const std::vector<Case> cases = {
      {"a large ICC segment before the Exif", {App(kApp0, 14), App(kApp2, 60000), Exif()}, 0, true},
      {"IPTC and a comment before the Exif", {App(kApp13, 300), App(kComment, 20), Exif()}, 0, true},
      {"an XMP segment after the Exif, the file cut inside it", {Exif(), App(kApp1, 30000)}, 20000, true},
      {"the Exif fifth after a comment",
       {App(kApp0, 14), App(kComment, 5), App(kApp2, 9000), App(kApp2, 10), Exif()},
       0,
       true},
      {"the Exif fifth without IPTC or comment",
       {App(kApp0, 14), App(kApp2, 9000), App(kApp2, 10), App(kApp2, 10), Exif()},
       0,
       true},
      {"the Exif sixth",
       {App(kComment, 5), App(kApp2, 10), App(kApp2, 10), App(kApp2, 10), App(kApp2, 10), Exif()},
       0,
       true},
      {"an XMP segment before the Exif", {App(kApp0, 14), Xmp(), Exif()}, 0, true},
      {"an XMP segment and no Exif", {App(kApp0, 14), Xmp()}, 0, false},
      {"thirty large segments before the Exif", ThirtyIccSegmentsThen(Exif()), 0, true},
      {"the file cut inside a large segment before the Exif", {App(kApp2, 60000), Exif()}, 40000, false},
  };
  const testing::TempFolder temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = testing::BuildJpeg(c.segments);
    bytes.resize(bytes.size() - c.cut_from_end);
    const PhotoTags full = FullRead(bytes, ".jpg");
    EXPECT_EQ(full.has_exif, c.has_exif);
    EXPECT_EQ(DifferenceBetweenReads(full, SelectiveRead(bytes, ".jpg")), "");
    const std::filesystem::path file = temp.path() / "photo.jpg";
    testing::WriteFileBytes(file, bytes);
    const PhotoTags from_file = ReadPhotoTags(file.string());
    EXPECT_EQ(DifferenceBetweenReads(full, from_file), "");
    EXPECT_EQ(from_file.Text(PhotoTag::kModel), c.has_exif ? "Canon EOS 40D" : "");
  }
}

// Photos whose Exif segment the selective read takes only up to the thumbnail: whatever an entry points at
// behind it or inside it (a broken or unusual file), the tags must be those of the full read, from memory
// and from a file.
TEST(SelectiveRead, AgreesWhereEntriesPointAtOrBehindTheThumbnail) {
  using testing::ByteOrder;
  using testing::Ifd;
  using testing::ThumbnailLayout;
  constexpr uint16_t kAscii = 2, kShort = 3, kLong = 4, kRational = 5;
  constexpr uint32_t kThumbnail = 5000;
  const auto camera = [](Ifd exif) {
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, std::move(exif));
    return ifd0;
  };
  // An Exif directory of one entry, ISO 400, as bytes to stand behind the thumbnail.
  const auto iso_directory = [](ByteOrder order) {
    testing::ByteWriter writer(order);
    writer.Put16(1).Put16(0x8827).Put16(kShort).Put32(1).Put16(400).Put16(0).Put32(0);
    return writer.str();
  };
  // 1/250 as a rational, to stand behind the thumbnail.
  const auto rational = [](ByteOrder order) {
    testing::ByteWriter writer(order);
    writer.Put32(1).Put32(250);
    return writer.str();
  };
  struct Case {
    const char* name;
    std::string payload;
    // A tag the full read finds where the entry points, and its text.
    PhotoTag tag;
    std::string_view text;
  };
  const auto plain = [&camera](const ThumbnailLayout&) {
    Ifd exif;
    exif.Rationals(0x829A, {{1, 125}});
    return camera(exif);
  };
  const auto model_behind = [](const ThumbnailLayout& layout) {
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").RawField(0x0110, kAscii, 14, layout.behind);
    return ifd0;
  };
  const auto exposure_behind = [&camera](const ThumbnailLayout& layout) {
    Ifd exif;
    exif.RawField(0x829A, kRational, 1, layout.behind);
    return camera(exif);
  };
  const auto exposure_in_thumbnail = [&camera](const ThumbnailLayout& layout) {
    Ifd exif;
    exif.RawField(0x829A, kRational, 1, layout.thumbnail + 100);
    return camera(exif);
  };
  const auto exif_directory_behind = [](const ThumbnailLayout& layout) {
    Ifd ifd0;
    ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").RawField(0x8769, kLong, 1, layout.behind);
    return ifd0;
  };
  const auto past_the_end = [&camera](const ThumbnailLayout& layout) {
    Ifd exif;
    exif.RawField(0x829A, kRational, 1, layout.behind + 2);
    return camera(exif);
  };
  const ByteOrder little = ByteOrder::kLittle;
  const ByteOrder big = ByteOrder::kBig;
  const std::vector<Case> cases = {
      {"nothing behind the thumbnail", testing::ExifWithThumbnail(plain, little, kThumbnail), PhotoTag::kExposureTime,
       "1/125"},
      {"the model behind the thumbnail",
       testing::ExifWithThumbnail(model_behind, big, kThumbnail, std::string("Canon EOS 5D\0\0", 14)), PhotoTag::kModel,
       "Canon EOS 5D"},
      {"an exposure behind the thumbnail",
       testing::ExifWithThumbnail(exposure_behind, little, kThumbnail, rational(little)), PhotoTag::kExposureTime,
       "1/250"},
      {"an exposure inside the thumbnail", testing::ExifWithThumbnail(exposure_in_thumbnail, big, kThumbnail),
       PhotoTag::kModel, "Canon EOS 40D"},
      {"the Exif directory behind the thumbnail",
       testing::ExifWithThumbnail(exif_directory_behind, little, kThumbnail, iso_directory(little)),
       PhotoTag::kIsoSpeedRatings, "400"},
      {"an exposure running past the end of the segment",
       testing::ExifWithThumbnail(past_the_end, little, kThumbnail, rational(little)), PhotoTag::kModel,
       "Canon EOS 40D"},
  };
  const testing::TempFolder temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = testing::BuildJpeg({{0xE1, c.payload, std::nullopt}});
    const PhotoTags full = FullRead(bytes, ".jpg");
    EXPECT_EQ(full.Text(c.tag), c.text);
    EXPECT_EQ(DifferenceBetweenReads(full, SelectiveRead(bytes, ".jpg")), "");
    const std::filesystem::path file = temp.path() / "photo.jpg";
    testing::WriteFileBytes(file, bytes);
    EXPECT_EQ(DifferenceBetweenReads(full, ReadPhotoTags(file.string())), "");
  }
}

}  // namespace
}  // namespace lumetra
