// The JPEG marker walk and the per-file entry point: which segments are kept, where the walk stops, and
// what a broken or odd file gives.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/ExifData.h"
#include "metadata/TagSelection.h"
#include "metadata/XmpPacket.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::BuildJpeg;
using testing::ByteOrder;
using testing::ExifSegment;
using testing::Ifd;
using testing::JfifSegment;
using testing::Segment;

constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kApp13 = 0xED;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kQuantization = 0xDB;
constexpr uint8_t kHuffman = 0xC4;
constexpr uint8_t kApp2 = 0xE2;
constexpr uint8_t kStartOfScan = 0xDA;

Ifd CameraIfd() {
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Rationals(0x829D, {{28, 10}});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 40D").Sub(0x8769, exif);
  return ifd0;
}

Segment Exif() { return ExifSegment(CameraIfd(), ByteOrder::kLittle); }
Segment Other(uint8_t marker) { return {marker, "data", std::nullopt}; }
Segment WithLength(uint8_t marker, uint16_t length) { return {marker, "", length}; }
// An XMP packet in an APP1 segment, as Adobe's programs write it.
Segment Xmp() { return {kApp1, std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 41), std::nullopt}; }
std::vector<Segment> TwentyFiveCommentsThen(const Segment& last) {
  std::vector<Segment> segments(25, Other(kComment));
  segments.push_back(last);
  return segments;
}

std::unique_ptr<TimgData> Read(const std::string& bytes, const char* extension = ".jpg") {
  auto data = std::make_unique<TimgData>(BuildAll);
  data->ProcessBytes(bytes, extension);
  return data;
}

TEST(ReadSegments, KeepsTheSegmentsTheSurveyNeeds) {
  struct Case {
    const char* what;
    std::vector<Segment> segments;
    bool read;
    int exif;
    int iptc;
    int comment;
    int header;
  };
  const Case cases[] = {
      {"Exif first", {Exif()}, true, 1, 0, 0, 0},
      {"JFIF then Exif", {JfifSegment(), Exif()}, true, 2, 0, 0, 1},
      {"Exif as the fifth segment without IPTC or comment before it",
       {JfifSegment(), Other(kQuantization), Other(kQuantization), Other(kHuffman), Exif()},
       true,
       5,
       0,
       0,
       1},
      {"Exif as the fifth segment after an IPTC segment",
       {JfifSegment(), Other(kApp13), Other(kQuantization), Other(kQuantization), Exif()},
       true,
       5,
       2,
       0,
       1},
      {"Exif after five other segments",
       {Other(kComment), Other(kQuantization), Other(kQuantization), Other(kHuffman), Other(kHuffman), Exif()},
       true,
       6,
       0,
       1,
       0},
      {"Exif after four APP2 segments",
       {Other(kApp2), Other(kApp2), Other(kApp2), Other(kApp2), Exif()},
       true,
       5,
       0,
       0,
       0},
      {"Exif after five comments",
       {Other(kComment), Other(kComment), Other(kComment), Other(kComment), Other(kComment), Exif()},
       true,
       6,
       0,
       5,
       0},
      {"Exif after five APP13 segments",
       {Other(kApp13), Other(kApp13), Other(kApp13), Other(kApp13), Other(kApp13), Exif()},
       true,
       6,
       1,
       0,
       0},
      {"an XMP APP1 before the Exif is not taken for it", {JfifSegment(), Xmp(), Exif()}, true, 2, 0, 0, 1},
      {"an XMP APP1 alone is no Exif", {JfifSegment(), Xmp()}, false, 0, 0, 0, 1},
      {"an APP1 shorter than the Exif header is no Exif", {Segment{kApp1, "Exi", std::nullopt}}, false, 0, 0, 0, 0},
      {"Exif after the twenty slots takes the one behind them", TwentyFiveCommentsThen(Exif()), true, 21, 0, 20, 0},
      {"Exif after the image data is not looked for", {Other(kComment), Other(kStartOfScan), Exif()}, true, 0, 0, 1, 0},
      {"a later IPTC segment is ignored", {Other(kApp13), Other(kApp13)}, true, 0, 1, 0, 0},
      {"the last comment and the last APP0 count",
       {Other(kApp0), Other(kComment), Other(kApp0), Other(kComment)},
       true,
       0,
       0,
       4,
       3},
      {"comment without Exif", {Other(kComment)}, true, 0, 0, 1, 0},
      {"a comment of length 2 is stored but not kept", {WithLength(kComment, 2)}, false, 0, 0, 0, 0},
      {"no segment the survey needs", {JfifSegment(), Other(kQuantization)}, false, 0, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TimgData data(BuildAll);
    EXPECT_EQ(data.ProcessBytes(BuildJpeg(c.segments), ".jpg"), c.read);
    EXPECT_EQ(data.ErrorText, c.read ? "<none>" : "Not an EXIF file");
    EXPECT_EQ(data.ExifSection, c.exif);
    EXPECT_EQ(data.HasExif(), c.exif != 0);
    EXPECT_EQ(data.IptcSection, c.iptc);
    EXPECT_EQ(data.CommentSection, c.comment);
    EXPECT_EQ(data.HeaderSection, c.header);
  }
}

TEST(ReadSegments, ASecondApp1IsDroppedAndItsSlotReused) {
  const auto data = Read(BuildJpeg({Exif(), Other(kApp1), Other(kComment)}));
  EXPECT_EQ(data->ExifSection, 1);
  EXPECT_EQ(data->CommentSection, 2);
  EXPECT_EQ(data->Sections[2].Marker, kComment);
  EXPECT_EQ(data->ImageInfo->TagText("Model"), "Canon EOS 40D");
}

TEST(ReadSegments, StoresTheLengthBytesAndThePayload) {
  const auto data = Read(BuildJpeg({Segment{kComment, "hello", std::nullopt}}));
  const tSection& comment = data->Sections[static_cast<size_t>(data->CommentSection)];
  EXPECT_EQ(comment.Size, 7);
  EXPECT_EQ(comment.Data, std::string("\x00\x07hello", 7));
}

TEST(ReadSegments, StopsAfterTwentySegments) {
  const std::vector<Segment> comments(25, Other(kComment));
  const auto data = Read(BuildJpeg(comments, /*with_scan=*/false));
  EXPECT_EQ(data->SectionCount, 20);
  EXPECT_EQ(data->CommentSection, 20);
}

TEST(ReadSegments, SkipsFillBytesBeforeAMarker) {
  const std::string plain = BuildJpeg({Exif()});
  const std::string filled = plain.substr(0, 2) + std::string(7, '\xFF') + plain.substr(2);
  const auto data = Read(filled);
  EXPECT_TRUE(data->HasExif());
  EXPECT_EQ(data->ImageInfo->TagText("Make"), "Canon");
}

TEST(ReadSegments, RefusesAFileThatDoesNotStartWithStartOfImage) {
  const std::string jpeg = BuildJpeg({Exif()});
  for (const std::string& bytes : {std::string(), std::string("\xFF"), "\xFF\xD9" + jpeg.substr(2), jpeg.substr(1)}) {
    const auto data = Read(bytes);
    EXPECT_FALSE(data->HasExif());
    EXPECT_EQ(data->ErrorText, "Not an EXIF file");
  }
}

TEST(ReadSegments, AFileEndingInsideTheWalkEndsItAsAnEndOfImage) {
  const std::string jpeg = BuildJpeg({Exif()}, /*with_scan=*/false);
  const std::string cases[] = {
      jpeg,                                   // right after the Exif segment
      jpeg + "\xFF\xFF",                      // inside fill bytes
      jpeg + "\xFF\xFE",                      // after a marker
      jpeg + std::string("\xFF\xFE\x00", 3),  // inside a length
      jpeg + std::string("\xFF\xFE\x01\x00"
                         "abc",
                         7),  // inside a payload: the rest reads as zero
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    const auto data = Read(bytes);
    EXPECT_EQ(data->ErrorText, "<none>");
    EXPECT_EQ(data->ImageInfo->TagText("Model"), "Canon EOS 40D");
  }
}

TEST(ReadSegments, AnExifSegmentCutShortIsReadWithZeroFill) {
  std::string jpeg = BuildJpeg({Exif()}, /*with_scan=*/false);
  // Declare 100 more bytes than the file has.
  const int length = (static_cast<uint8_t>(jpeg[4]) << 8 | static_cast<uint8_t>(jpeg[5])) + 100;
  jpeg[4] = static_cast<char>(length >> 8);
  jpeg[5] = static_cast<char>(length & 0xFF);
  const auto data = Read(jpeg);
  EXPECT_EQ(data->ErrorText, "<none>");
  EXPECT_EQ(data->Sections[1].Size, length);
  EXPECT_EQ(data->Sections[1].Data.size(), static_cast<size_t>(length));
  EXPECT_EQ(data->ImageInfo->TagText("ExposureTime"), "1/125");
}

// A segment is known by the header its file holds, in the full listing as in a selective read: the zero
// fill of a file that ends inside the header never completes it.
TEST(ReadSegments, AFileEndingInsideASegmentHeaderIsKnownByTheBytesItHolds) {
  constexpr std::array<std::string_view, 1> kNames = {"ExposureTime"};
  const TagSelection selection(kNames);
  const std::string exif = BuildJpeg({Exif()}, /*with_scan=*/false);
  const std::string xmp = BuildJpeg({Xmp()}, /*with_scan=*/false);
  constexpr size_t kPayloadStart = 6;  // FF D8, the marker and the two length bytes
  constexpr size_t kXmpHeaderSize = kXmpHeader.size();
  struct Case {
    const char* what;
    std::string bytes;
    bool has_exif;
    std::string_view xmp_packet;
  };
  const Case cases[] = {
      {"cut before the Exif header", exif.substr(0, kPayloadStart), false, ""},
      {"cut inside \"Exif\"", exif.substr(0, kPayloadStart + 3), false, ""},
      {"cut right after \"Exif\"", exif.substr(0, kPayloadStart + 4), false, ""},
      {"cut right after the whole Exif header", exif.substr(0, kPayloadStart + 5), true, ""},
      {"cut right before the XMP header's last byte", xmp.substr(0, kPayloadStart + kXmpHeaderSize - 1), false, ""},
      {"cut inside the XMP packet", xmp.substr(0, kPayloadStart + kXmpHeaderSize + 5), false, "<x:xm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TimgData full(BuildAll);
    TimgData selective(selection);
    for (TimgData* data : {&full, &selective}) {
      SCOPED_TRACE(data == &full ? "full listing" : "selective read");
      EXPECT_EQ(data->ProcessBytes(c.bytes, ".jpg"), c.has_exif);
      EXPECT_EQ(data->HasExif(), c.has_exif);
      EXPECT_EQ(data->ErrorText, c.has_exif ? "<none>" : "Not an EXIF file");
      EXPECT_EQ(data->XmpPacket, c.xmp_packet);
    }
  }
}

TEST(ReadSegments, ALengthBelowTwoEndsTheWalkButKeepsTheTagsRead) {
  for (const uint16_t length : {0, 1}) {
    SCOPED_TRACE(length);
    const auto data = Read(BuildJpeg({Exif(), WithLength(kComment, length), Other(kComment)}));
    EXPECT_EQ(data->ErrorText, "Not an EXIF file");
    EXPECT_TRUE(data->HasExif());
    EXPECT_EQ(data->CommentSection, 0);
    EXPECT_EQ(data->ImageInfo->TagText("FNumber"), "2.8");
  }
}

TEST(ReadSegments, StopsAtStartOfScanAndEndOfImage) {
  // Nothing after the scan is looked at: a comment there is not kept.
  EXPECT_EQ(Read(BuildJpeg({Exif()}) + std::string("\xFF\xFE\x00\x04hi", 6))->CommentSection, 0);
  const auto ended = Read(BuildJpeg({Other(kComment), WithLength(0xD9, 2), Other(kApp13)}, false));
  EXPECT_EQ(ended->IptcSection, 3);  // a length-2 end marker is only stored
  const auto stopped = Read(BuildJpeg({Other(kComment), Other(0xD9), Other(kApp13)}, false));
  EXPECT_EQ(stopped->IptcSection, 0);
}

class ProcessFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = folder_.path() / name;
    testing::WriteFileBytes(path, bytes);
    return path.string();
  }

  testing::TempFolder folder_;
};

// A file named as a JPEG is read as one, as it always was; any other file is known by its bytes.
TEST_F(ProcessFileTest, JpegNamesAreReadAsJpegAndOtherFilesByTheirBytes) {
  const std::string jpeg = BuildJpeg({Exif()});
  const std::string tiff = testing::BuildTiff(CameraIfd(), ByteOrder::kBig);
  const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  struct Case {
    const char* name;
    const std::string& bytes;
    bool read;
    const char* error;
  };
  const Case cases[] = {
      {"IMG_0001.JPG", jpeg, true, "<none>"},
      {"a.jpeg", jpeg, true, "<none>"},
      {"a.Jpe", jpeg, true, "<none>"},
      {"a.tif", tiff, true, "<none>"},
      {"a.TIFF", tiff, true, "<none>"},
      {"a.nef", tiff, true, "<none>"},
      {"a.CR2", tiff, true, "<none>"},
      {"jpeg-named.nef", jpeg, true, "<none>"},
      {"jpeg-named.tif", jpeg, true, "<none>"},
      {"no-extension", jpeg, true, "<none>"},
      {"tiff-named.jpg", tiff, false, "Not an EXIF file"},
      {"a.png", png, false, "Not an EXIF file"},
      {"png-named.nef", png, false, "Not an EXIF file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TimgData data(BuildAll);
    EXPECT_EQ(data.ProcessFile(Write(c.name, c.bytes)), c.read);
    EXPECT_EQ(data.ErrorText, c.error);
    EXPECT_EQ(data.HasExif(), c.read);
    if (c.read) {
      EXPECT_EQ(data.ImageInfo->TagText("Make"), "Canon");
    }
  }
}

TEST_F(ProcessFileTest, AMissingFileGivesNoText) {
  TimgData data(BuildAll);
  EXPECT_FALSE(data.ProcessFile((folder_.path() / "missing.jpg").string()));
  EXPECT_EQ(data.ErrorText, "");
  std::filesystem::create_directory(folder_.path() / "folder.jpg");
  EXPECT_FALSE(data.ProcessFile((folder_.path() / "folder.jpg").string()));
  EXPECT_EQ(data.ErrorText, "");
}

TEST_F(ProcessFileTest, AFileThatCannotBeReadIsAnIllegalConstruction) {
  // A FIFO would block a plain read for ever; it is refused at once.
  const std::filesystem::path fifo = folder_.path() / "x.jpg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TimgData data(BuildAll);
  EXPECT_FALSE(data.ProcessFile(fifo.string()));
  EXPECT_EQ(data.ErrorText, "Illegal Exif construction");
  EXPECT_FALSE(data.HasExif());
}

TEST_F(ProcessFileTest, EachReadStartsAfresh) {
  TimgData data(BuildAll);
  ASSERT_TRUE(data.ProcessFile(Write("a.jpg", BuildJpeg({Exif()}))));
  EXPECT_FALSE(data.ProcessFile(Write("b.jpg", BuildJpeg({JfifSegment()}))));
  EXPECT_FALSE(data.HasExif());
  EXPECT_EQ(data.ImageInfo, nullptr);
  EXPECT_EQ(data.HeaderSection, 1);
}

}  // namespace
}  // namespace lumetra
