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
  AddXmpLens(path.string(), data, tags);
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

}  // namespace
}  // namespace lumetra
