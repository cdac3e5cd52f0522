// Tests of the fixture writer: the TIFF layout byte by byte, the JPEG segments, real pictures through
// libjpeg, and the demo folder as exiftool reads it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "testing/DemoFolder.h"
#include "testing/ExifWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/ByteOrders.h"
#include "tests/support/Exiftool.h"

namespace lumetra::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// --- A small independent TIFF reader for checking layouts -------------------------------------------------

uint32_t GetUnsigned(const std::string& bytes, std::size_t pos, std::size_t size, ByteOrder order) {
  if (pos > bytes.size() || bytes.size() - pos < size) throw std::out_of_range("read past the end");
  uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const std::size_t at = order == ByteOrder::kBig ? pos + i : pos + size - 1 - i;
    value = (value << 8) | static_cast<uint8_t>(bytes[at]);
  }
  return value;
}
uint16_t Get16(const std::string& bytes, std::size_t pos, ByteOrder order) {
  return static_cast<uint16_t>(GetUnsigned(bytes, pos, 2, order));
}
uint32_t Get32(const std::string& bytes, std::size_t pos, ByteOrder order) { return GetUnsigned(bytes, pos, 4, order); }

struct DirEntry {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  std::size_t field_pos;  // position of the 4-byte value/offset field
};

struct Directory {
  std::size_t start;
  std::vector<DirEntry> entries;
  uint32_t next;
  std::size_t end() const { return start + 2 + 12 * entries.size() + 4; }
};

Directory ReadDirectory(const std::string& tiff, std::size_t start, ByteOrder order) {
  Directory dir{start, {}, 0};
  const uint16_t count = Get16(tiff, start, order);
  for (uint16_t i = 0; i < count; ++i) {
    const std::size_t p = start + 2 + 12u * i;
    dir.entries.push_back({Get16(tiff, p, order), Get16(tiff, p + 2, order), Get32(tiff, p + 4, order), p + 8});
  }
  dir.next = Get32(tiff, dir.end() - 4, order);
  return dir;
}

// The value bytes of an entry: inline when they fit in four bytes, otherwise at the offset in its field.
std::string ValueBytes(const std::string& tiff, const DirEntry& entry, ByteOrder order) {
  const std::size_t size = std::size_t{ElementSize(entry.type)} * entry.count;
  const std::size_t pos = size <= 4 ? entry.field_pos : Get32(tiff, entry.field_pos, order);
  if (pos > tiff.size() || tiff.size() - pos < size) throw std::out_of_range("value past the end");
  return tiff.substr(pos, size);
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

template <typename Exception>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return std::string("thrown: ") + error.what();
  }
  return "nothing thrown";
}

// --- ByteWriter ------------------------------------------------------------------------------------------

TEST(ByteWriter, PutsAndPatchesInItsByteOrder) {
  struct Case {
    ByteOrder order;
    std::string expected;
  };
  const Case cases[] = {
      {ByteOrder::kLittle, Bytes({0x01, 0xBB, 0xAA, 0x07, 0x06, 0x05, 0x04, 'x', 'y', 0x00})},
      {ByteOrder::kBig, Bytes({0x01, 0xAA, 0xBB, 0x04, 0x05, 0x06, 0x07, 'x', 'y', 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::ByteOrderName(c.order));
    ByteWriter out(c.order);
    out.Put8(1).Put16(0x0203).Put32(0x04050607).PutBytes("xy").AlignToWord();
    out.Patch16(1, 0xAABB);
    EXPECT_EQ(out.str(), c.expected);
    EXPECT_THAT(MessageOf<std::out_of_range>([&] { out.Patch32(7, 0); }), HasSubstr("past the end"));
    EXPECT_THAT(MessageOf<std::out_of_range>([&] { out.Patch16(9, 0); }), HasSubstr("past the end"));
  }
}

// --- BuildTiff -------------------------------------------------------------------------------------------

TEST(BuildTiff, HeaderNamesTheByteOrderAndPointsAtIfd0) {
  for (ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const std::string tiff = BuildTiff(Ifd().Short(0x0112, {1}), order);
    EXPECT_EQ(tiff.substr(0, 4), order == ByteOrder::kLittle ? std::string("II*\0", 4) : std::string("MM\0*", 4));
    EXPECT_EQ(Get32(tiff, 4, order), 8u);
    const Directory ifd0 = ReadDirectory(tiff, 8, order);
    ASSERT_EQ(ifd0.entries.size(), 1u);
    EXPECT_EQ(ifd0.next, 0u);
    EXPECT_EQ(tiff.size(), ifd0.end());  // nothing written after a directory without outside values
  }
}

TEST(BuildTiff, EncodesEachValueKindInBothByteOrders) {
  struct Case {
    const char* name;
    Ifd ifd;
    uint16_t type;
    uint32_t count;
    std::string little;  // expected value bytes
    std::string big;
  };
  const std::string text_10 = std::string("NIKON D70\0", 10);
  const Case cases[] = {
      {"one SHORT inline", Ifd().Short(0x0112, {6}), 3, 1, Bytes({6, 0}), Bytes({0, 6})},
      {"three SHORTs outside", Ifd().Short(0x0102, {8, 8, 8}), 3, 3, Bytes({8, 0, 8, 0, 8, 0}),
       Bytes({0, 8, 0, 8, 0, 8})},
      {"LONG", Ifd().Long(0xA002, {0x01020304}), 4, 1, Bytes({4, 3, 2, 1}), Bytes({1, 2, 3, 4})},
      {"SSHORT negative", Ifd().SShort(0x9999, {-2}), 8, 1, Bytes({0xFE, 0xFF}), Bytes({0xFF, 0xFE})},
      {"SLONG negative", Ifd().SLong(0x9999, {-2}), 9, 1, Bytes({0xFE, 0xFF, 0xFF, 0xFF}),
       Bytes({0xFF, 0xFF, 0xFF, 0xFE})},
      {"BYTEs", Ifd().Byte(0x0000, {2, 2, 0, 0}), 1, 4, Bytes({2, 2, 0, 0}), Bytes({2, 2, 0, 0})},
      {"RATIONAL", Ifd().Rationals(0x829D, {{28, 10}}), 5, 1, Bytes({28, 0, 0, 0, 10, 0, 0, 0}),
       Bytes({0, 0, 0, 28, 0, 0, 0, 10})},
      {"SRATIONAL negative", Ifd().SRationals(0x9204, {{-1, 3}}), 10, 1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0}),
       Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 3})},
      {"ASCII gets its terminator", Ifd().Ascii(0x0110, "NIKON D70"), 2, 10, text_10, text_10},
      {"empty ASCII is one zero byte", Ifd().Ascii(0x0131, ""), 2, 1, Bytes({0}), Bytes({0})},
      {"ASCII exact has no terminator", Ifd().AsciiExact(0x010F, "SONY"), 2, 4, "SONY", "SONY"},
      {"UNDEFINED", Ifd().Undefined(0x9000, "0221"), 7, 4, "0221", "0221"},
      {"raw bytes are not swapped", Ifd().Raw(0x829A, 5, 1, Bytes({0, 0, 0, 1, 0, 0, 0, 125})), 5, 1,
       Bytes({0, 0, 0, 1, 0, 0, 0, 125}), Bytes({0, 0, 0, 1, 0, 0, 0, 125})},
  };
  for (const Case& c : cases) {
    for (ByteOrder order : testing::kBothByteOrders) {
      SCOPED_TRACE(std::string(c.name) + " " + testing::ByteOrderName(order));
      const std::string tiff = BuildTiff(c.ifd, order);
      const Directory ifd0 = ReadDirectory(tiff, 8, order);
      ASSERT_EQ(ifd0.entries.size(), 1u);
      const DirEntry& entry = ifd0.entries[0];
      EXPECT_EQ(entry.type, c.type);
      EXPECT_EQ(entry.count, c.count);
      const std::string& expected = order == ByteOrder::kLittle ? c.little : c.big;
      EXPECT_EQ(ValueBytes(tiff, entry, order), expected);
      if (expected.size() <= 4) {
        // Inline values are left-justified and zero-padded.
        EXPECT_EQ(tiff.substr(entry.field_pos, 4), expected + std::string(4 - expected.size(), '\0'));
      } else {
        EXPECT_GE(Get32(tiff, entry.field_pos, order), ifd0.end()) << "value overlaps its directory";
      }
    }
  }
}

TEST(BuildTiff, RawEntriesKeepTypeAndCountThatDisagreeWithTheirBytes) {
  for (ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const std::string tiff = BuildTiff(Ifd()
                                           .Raw(0x0110, 13, 3, "abcde")                  // unknown type 13
                                           .Raw(0x829A, field_type::kRational, 2, "xy")  // 16 bytes claimed, 2 given
                                           .RawField(0x8769, field_type::kLong, 1, 0xFFFFFFF0)
                                           .RawField(0x010F, field_type::kAscii, 100000, 0x10),
                                       order);
    const Directory ifd0 = ReadDirectory(tiff, 8, order);
    ASSERT_EQ(ifd0.entries.size(), 4u);
    EXPECT_EQ(ifd0.entries[0].type, 13);
    EXPECT_EQ(ifd0.entries[0].count, 3u);
    EXPECT_EQ(tiff.substr(Get32(tiff, ifd0.entries[0].field_pos, order), 5), "abcde");
    EXPECT_EQ(ifd0.entries[1].count, 2u);
    EXPECT_EQ(tiff.substr(ifd0.entries[1].field_pos, 4), std::string("xy\0\0", 4));
    EXPECT_EQ(Get32(tiff, ifd0.entries[2].field_pos, order), 0xFFFFFFF0u);
    EXPECT_EQ(ifd0.entries[3].count, 100000u);
    EXPECT_EQ(Get32(tiff, ifd0.entries[3].field_pos, order), 0x10u);
    // Only "abcde" went outside the directory: raw fields add no data.
    EXPECT_EQ(tiff.size(), ifd0.end() + 5);
  }
}

TEST(BuildTiff, OutsideValuesStartOnEvenOffsetsWithoutOverlapping) {
  Ifd ifd;
  ifd.Ascii(0x010F, "SONY")  // 5 bytes
      .Ascii(0x0110, "E-510")
      .Rationals(0x011A, {{72, 1}})
      .AsciiExact(0x0131, "odd")  // 3 bytes, inline
      .Undefined(0x927C, "seven!!")
      .Short(0x0102, {8, 8, 8})
      .Ascii(0x0132, "2012:05:12 09:14:03");
  for (ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const std::string tiff = BuildTiff(ifd, order);
    const Directory ifd0 = ReadDirectory(tiff, 8, order);
    ASSERT_EQ(ifd0.entries.size(), ifd.size());
    std::vector<std::pair<uint32_t, uint32_t>> spans;  // offset, size
    for (const DirEntry& entry : ifd0.entries) {
      const uint32_t size = ElementSize(entry.type) * entry.count;
      if (size <= 4) continue;
      const uint32_t offset = Get32(tiff, entry.field_pos, order);
      SCOPED_TRACE("tag " + std::to_string(entry.tag));
      EXPECT_EQ(offset % 2, 0u);
      EXPECT_GE(offset, ifd0.end());
      EXPECT_LE(std::size_t{offset} + size, tiff.size());
      spans.emplace_back(offset, size);
    }
    ASSERT_EQ(spans.size(), 6u);
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) EXPECT_LE(spans[i - 1].first + spans[i - 1].second, spans[i].first);
  }
}

TEST(BuildTiff, SubDirectoriesAndNextDirectoryAreLinkedAtEvenOffsets) {
  Ifd interop;
  interop.Ascii(0x0001, "R98").Undefined(0x0002, "0100");
  Ifd exif;
  exif.Rationals(0x829A, {{1, 125}}).Ascii(0x9003, "2012:05:12 09:14:03").Sub(0xA005, interop);
  Ifd gps;
  gps.Ascii(0x0001, "N");
  Ifd ifd1;
  ifd1.Short(0x0103, {6});
  Ifd ifd0;
  ifd0.Ascii(0x010F, "Canon").Sub(0x8769, exif).Sub(0x8825, gps).Next(ifd1);

  for (ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    const std::string tiff = BuildTiff(ifd0, order);
    const Directory dir0 = ReadDirectory(tiff, 8, order);
    ASSERT_EQ(dir0.entries.size(), 3u);

    auto follow = [&](const DirEntry& pointer, std::size_t expected_entries) {
      EXPECT_EQ(pointer.type, field_type::kLong);
      EXPECT_EQ(pointer.count, 1u);
      const uint32_t offset = Get32(tiff, pointer.field_pos, order);
      EXPECT_EQ(offset % 2, 0u);
      const Directory dir = ReadDirectory(tiff, offset, order);
      EXPECT_EQ(dir.entries.size(), expected_entries);
      return dir;
    };
    const Directory exif_dir = follow(dir0.entries[1], 3);
    EXPECT_EQ(exif_dir.entries[0].tag, 0x829A);
    EXPECT_EQ(ValueBytes(tiff, exif_dir.entries[1], order), std::string("2012:05:12 09:14:03\0", 20));
    const Directory interop_dir = follow(exif_dir.entries[2], 2);
    EXPECT_EQ(ValueBytes(tiff, interop_dir.entries[0], order), std::string("R98\0", 4));
    const Directory gps_dir = follow(dir0.entries[2], 1);
    EXPECT_EQ(gps_dir.entries[0].tag, 0x0001);

    EXPECT_EQ(exif_dir.next, 0u);
    EXPECT_EQ(gps_dir.next, 0u);
    ASSERT_NE(dir0.next, 0u);
    EXPECT_EQ(dir0.next % 2, 0u);
    const Directory dir1 = ReadDirectory(tiff, dir0.next, order);
    ASSERT_EQ(dir1.entries.size(), 1u);
    EXPECT_EQ(Get16(tiff, dir1.entries[0].field_pos, order), 6);
    EXPECT_EQ(dir1.end(), tiff.size());  // the next directory comes last
  }
}

TEST(BuildTiff, RefusesMoreEntriesThanACountCanHold) {
  Ifd ifd;
  for (int i = 0; i < 65536; ++i) ifd.Short(static_cast<uint16_t>(i), {0});
  EXPECT_THAT(MessageOf<std::length_error>([&] { (void)BuildTiff(ifd, ByteOrder::kLittle); }),
              HasSubstr("65535 entries"));
}

// --- JPEG ------------------------------------------------------------------------------------------------

struct Marker {
  uint8_t marker;
  uint16_t length;
  std::string payload;
};

// The marker segments between SOI and SOS, read by their length fields.
std::vector<Marker> ReadMarkers(const std::string& jpeg) {
  std::vector<Marker> markers;
  if (jpeg.compare(0, 2, "\xFF\xD8") != 0) throw std::runtime_error("no SOI");
  std::size_t pos = 2;
  while (pos + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[pos]) == 0xFF) {
    const auto marker = static_cast<uint8_t>(jpeg[pos + 1]);
    const uint16_t length = Get16(jpeg, pos + 2, ByteOrder::kBig);
    if (length < 2 || pos + 2 + length > jpeg.size()) throw std::runtime_error("segment past the end");
    markers.push_back({marker, length, jpeg.substr(pos + 4, length - 2u)});
    pos += 2 + length;
    if (marker == 0xDA) break;
  }
  return markers;
}

struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  std::string error;
};

struct DecodeJob {
  jpeg_decompress_struct info{};
  struct {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
  } error{};
  std::string bytes;
  Decoded result;
  ~DecodeJob() { jpeg_destroy_decompress(&info); }
};

[[noreturn]] void OnDecodeError(j_common_ptr info) {
  auto* error = reinterpret_cast<decltype(DecodeJob::error)*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

bool RunDecode(DecodeJob& job) {
  job.info.err = jpeg_std_error(&job.error.pub);
  job.error.pub.error_exit = OnDecodeError;
  if (setjmp(job.error.jump) != 0) return false;
  jpeg_create_decompress(&job.info);
  jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(job.bytes.data()),
               static_cast<unsigned long>(job.bytes.size()));
  jpeg_read_header(&job.info, TRUE);
  job.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&job.info);
  job.result.width = static_cast<int>(job.info.output_width);
  job.result.height = static_cast<int>(job.info.output_height);
  job.result.pixels.resize(std::size_t{job.info.output_width} * job.info.output_height * 3);
  while (job.info.output_scanline < job.info.output_height) {
    JSAMPROW row = job.result.pixels.data() + std::size_t{job.info.output_scanline} * job.info.output_width * 3;
    jpeg_read_scanlines(&job.info, &row, 1);
  }
  jpeg_finish_decompress(&job.info);
  // libjpeg reports corrupt data as warnings and goes on; a fixture must have none.
  return job.error.pub.num_warnings == 0;
}

Decoded Decode(const std::string& bytes) {
  auto job = std::make_unique<DecodeJob>();
  job->bytes = bytes;
  job->result.ok = RunDecode(*job);
  if (!job->result.ok) job->result.error = job->error.message;
  return std::move(job->result);
}

TEST(BuildJpeg, WritesSegmentsAsGivenBetweenSoiAndScan) {
  const std::vector<Segment> segments = {
      {0xE0, "JFIF", {}},
      {0xE1, std::string("Exif\0\0II", 8), {}},
      {0xFE, "", {}},
      {0xED, "lies about its length", uint16_t{7}},
  };
  const std::string with_scan = BuildJpeg(segments);
  EXPECT_EQ(with_scan.substr(with_scan.size() - 2), "\xFF\xD9");

  const std::string bare = BuildJpeg(segments, false);
  std::string expected = "\xFF\xD8";
  expected += Bytes({0xFF, 0xE0, 0, 6}) + "JFIF";
  expected += Bytes({0xFF, 0xE1, 0, 10}) + std::string("Exif\0\0II", 8);
  expected += Bytes({0xFF, 0xFE, 0, 2});
  expected += Bytes({0xFF, 0xED, 0, 7}) + "lies about its length";
  EXPECT_EQ(bare, expected);
  EXPECT_EQ(with_scan.substr(0, bare.size()), bare);

  const std::vector<Marker> markers = ReadMarkers(BuildJpeg({segments[0], segments[1]}));
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(markers[2].marker, 0xDA);
}

TEST(BuildJpeg, RefusesAPayloadTooLongForTheLengthField) {
  EXPECT_NO_THROW((void)BuildJpeg({{0xE1, std::string(65533, 'x'), {}}}));
  EXPECT_THAT(MessageOf<std::length_error>([] {
                (void)BuildJpeg({{0xE1, std::string(65534, 'x'), {}}});
              }),
              HasSubstr("65534 bytes"));
  // An explicit length lets a broken file carry any payload.
  EXPECT_NO_THROW((void)BuildJpeg({{0xE1, std::string(70000, 'x'), uint16_t{2}}}));
}

TEST(EncodeJpeg, DecodesAtTheRequestedSizeWithAppSegmentsRightAfterSoi) {
  const std::string exif = BuildExifPayload(Ifd().Ascii(0x010F, "Canon"), ByteOrder::kBig);
  const std::string photoshop = std::string("Photoshop 3.0\0", 14);
  struct Case {
    int width;
    int height;
  };
  for (const Case c : {Case{160, 120}, Case{1, 1}, Case{17, 33}, Case{640, 8}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const std::string jpeg = EncodeJpeg(c.width, c.height, 7, {{0xE1, exif, {}}, {0xED, photoshop, {}}});
    const std::vector<Marker> markers = ReadMarkers(jpeg);
    ASSERT_GE(markers.size(), 3u);
    EXPECT_EQ(markers[0].marker, 0xE1);
    EXPECT_EQ(markers[0].payload, exif);
    EXPECT_EQ(markers[1].marker, 0xED);
    EXPECT_EQ(markers[1].payload, photoshop);
    for (const Marker& m : markers) EXPECT_NE(m.marker, 0xE0) << "no JFIF header was asked for";
    const Decoded decoded = Decode(jpeg);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.width, c.width);
    EXPECT_EQ(decoded.height, c.height);
  }
}

TEST(EncodeJpeg, SameSeedGivesSameBytesAndAnotherSeedAnotherPicture) {
  const std::string first = EncodeJpeg(64, 48, 3, {});
  EXPECT_EQ(EncodeJpeg(64, 48, 3, {}), first);
  const Decoded a = Decode(first);
  const Decoded b = Decode(EncodeJpeg(64, 48, 4, {}));
  ASSERT_TRUE(a.ok && b.ok);
  EXPECT_NE(a.pixels, b.pixels);
  // Not one flat colour: the picture has a sky and a ground.
  EXPECT_GT(std::set<uint8_t>(a.pixels.begin(), a.pixels.end()).size(), 20u);
}

TEST(EncodeJpeg, RefusesBadArgumentsWithAReason) {
  struct Case {
    int width;
    int height;
    int quality;
    std::vector<Segment> segments;
    const char* message;
  };
  const Case cases[] = {
      {0, 10, 85, {}, "0x10"},
      {10, -1, 85, {}, "10x-1"},
      {70000, 10, 85, {}, "outside 1..65500"},
      {10, 10, 0, {}, "quality 0"},
      {10, 10, 101, {}, "quality 101"},
      {10, 10, 85, {{0xE1, "x", uint16_t{3}}}, "use BuildJpeg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THAT(
        MessageOf<std::invalid_argument>([&] { (void)EncodeJpeg(c.width, c.height, 1, c.segments, c.quality); }),
        HasSubstr(c.message));
  }
  // libjpeg's own refusal comes back as an exception, not as an exit of the process.
  EXPECT_THAT(MessageOf<std::runtime_error>([] {
                (void)EncodeJpeg(8, 8, 1, {{0xE1, std::string(65534, 'x'), {}}});
              }),
              HasSubstr("JPEG encoder"));
}

// --- Files -----------------------------------------------------------------------------------------------

class WithTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() /
            ("lumetra-fixtures-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  fs::path root_;
};

using WriteFileBytesTest = WithTempFolder;

TEST_F(WriteFileBytesTest, CreatesParentFoldersAndReplacesTheFile) {
  const fs::path path = root_ / "a" / "b" / "photo.jpg";
  const std::string bytes("\xFF\xD8\0\0\xFF\xD9", 6);
  WriteFileBytes(path, "an older, longer content");
  WriteFileBytes(path, bytes);
  EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(WriteFileBytesTest, ReportsThePathAndTheReason) {
  WriteFileBytes(root_ / "file", "x");
  struct Case {
    fs::path path;
    const char* reason;
  };
  const Case cases[] = {
      {root_ / "file" / "inside.jpg", "cannot create folder"},  // the parent is a file
      {root_, "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.string());
    const std::string message = MessageOf<std::runtime_error>([&] { WriteFileBytes(c.path, "x"); });
    EXPECT_THAT(message, HasSubstr(c.reason));
    EXPECT_THAT(message, HasSubstr(c.path.parent_path().string()));
  }
}

// --- exiftool as the reference reader --------------------------------------------------------------------

using testing::Exiftool;
using testing::HaveExiftool;

std::string Text(const nlohmann::json& file, const std::string& key) {
  if (!file.contains(key)) return "<absent>";
  const nlohmann::json& value = file.at(key);
  return value.is_string() ? value.get<std::string>() : value.dump();
}

double Number(const nlohmann::json& file, const std::string& key) {
  if (!file.contains(key) || !file.at(key).is_number()) return std::nan("");
  return file.at(key).get<double>();
}

double Value(Rational r) { return static_cast<double>(r.num) / static_cast<double>(r.den); }

double Degrees(const std::array<Rational, 3>& dms) { return Value(dms[0]) + Value(dms[1]) / 60 + Value(dms[2]) / 3600; }

void ExpectNear(const nlohmann::json& file, const std::string& key, double expected) {
  EXPECT_NEAR(Number(file, key), expected, std::abs(expected) * 1e-6) << key;
}

using ExifWriterByExiftool = WithTempFolder;

TEST_F(ExifWriterByExiftool, ReadsHandBuiltDirectoriesInBothByteOrders) {
  if (!HaveExiftool()) GTEST_SKIP() << "exiftool is not on PATH";
  for (ByteOrder order : testing::kBothByteOrders) {
    SCOPED_TRACE(testing::ByteOrderName(order));
    Ifd exif;
    exif.Rationals(0x829A, {{10, 1250}})
        .SRationals(0x9204, {{-1, 3}})
        .Short(0x8827, {1600})
        .Undefined(0x9000, "0230")
        .Sub(0xA005, Ifd().Ascii(0x0001, "R98"));
    Ifd gps;
    gps.Byte(0x0000, {2, 3, 0, 0})
        .Ascii(0x0001, "S")
        .Rationals(0x0002, {{33, 1}, {5210, 100}, {0, 1}})
        .Rationals(0x0007, {{14, 1}, {5, 1}, {9, 1}});
    Ifd ifd0;
    ifd0.Ascii(0x010F, "PENTAX Corporation")
        .AsciiExact(0x0110, "K-5")
        .Short(0x0112, {8})
        .Rationals(0x011A, {{300, 1}})
        .Long(0x8298 + 1, {7})  // an unknown LONG tag between known ones
        .Sub(0x8769, exif)
        .Sub(0x8825, gps)
        .Next(Ifd().Short(0x0103, {6}).Long(0x0201, {0}).Long(0x0202, {0}));
    const fs::path file = root_ / (std::string(testing::ByteOrderName(order)) + ".jpg");
    WriteFileBytes(file, BuildJpeg({ExifSegment(ifd0, order)}));

    const nlohmann::json tags = Exiftool(root_, file).at(file.filename().string());
    EXPECT_EQ(Text(tags, "File:ExifByteOrder"), testing::ByteOrderName(order));
    EXPECT_EQ(Text(tags, "IFD0:Make"), "PENTAX Corporation");
    EXPECT_EQ(Text(tags, "IFD0:Model"), "K-5");
    EXPECT_EQ(Number(tags, "IFD0:Orientation"), 8);
    EXPECT_EQ(Number(tags, "IFD0:XResolution"), 300);
    ExpectNear(tags, "ExifIFD:ExposureTime", 0.008);
    ExpectNear(tags, "ExifIFD:ExposureCompensation", -1.0 / 3);
    EXPECT_EQ(Number(tags, "ExifIFD:ISO"), 1600);
    EXPECT_EQ(Text(tags, "ExifIFD:ExifVersion"), "0230");
    EXPECT_EQ(Text(tags, "InteropIFD:InteropIndex"), "R98");
    EXPECT_EQ(Text(tags, "GPS:GPSVersionID"), "2 3 0 0");
    EXPECT_EQ(Text(tags, "GPS:GPSLatitudeRef"), "S");
    ExpectNear(tags, "GPS:GPSLatitude", 33 + 52.1 / 60);
    EXPECT_EQ(Text(tags, "GPS:GPSTimeStamp"), "14:05:09");
    EXPECT_EQ(Number(tags, "IFD1:Compression"), 6);
    EXPECT_FALSE(tags.contains("ExifTool:Warning")) << Text(tags, "ExifTool:Warning");
  }
}

using DemoFolderTest = WithTempFolder;

TEST_F(DemoFolderTest, WritesEveryListedPhotoAndNothingElse) {
  const std::vector<DemoPhoto> photos = DemoPhotos();
  EXPECT_EQ(WriteDemoFolder(root_), photos.size());
  std::set<std::string> listed;
  for (const DemoPhoto& photo : photos) listed.insert(photo.path);
  EXPECT_EQ(listed.size(), photos.size()) << "two photos share a path";
  std::set<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (entry.is_regular_file()) found.insert(fs::relative(entry.path(), root_).generic_string());
  }
  EXPECT_EQ(found, listed);
}

TEST_F(DemoFolderTest, EveryPhotoDecodesAsAPicture) {
  ASSERT_GT(WriteDemoFolder(root_), 0u);
  for (const DemoPhoto& photo : DemoPhotos()) {
    SCOPED_TRACE(photo.path);
    const Decoded decoded = Decode(ReadFile(root_ / photo.path));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.width, kDemoWidth);
    EXPECT_EQ(decoded.height, kDemoHeight);
  }
}

TEST_F(DemoFolderTest, ExiftoolReadsTheValuesOfTheTable) {
  if (!HaveExiftool()) GTEST_SKIP() << "exiftool is not on PATH";
  ASSERT_GT(WriteDemoFolder(root_), 0u);
  const std::map<std::string, nlohmann::json> files = Exiftool(root_, root_);
  const std::vector<DemoPhoto> photos = DemoPhotos();
  ASSERT_EQ(files.size(), photos.size());
  for (const DemoPhoto& photo : photos) {
    SCOPED_TRACE(photo.path);
    ASSERT_EQ(files.count(photo.path), 1u);
    const nlohmann::json& tags = files.at(photo.path);
    EXPECT_FALSE(tags.contains("ExifTool:Warning")) << Text(tags, "ExifTool:Warning");
    EXPECT_EQ(Number(tags, "File:ImageWidth"), kDemoWidth);
    if (!photo.has_exif) {
      EXPECT_FALSE(tags.contains("File:ExifByteOrder"));
      EXPECT_FALSE(tags.contains("IFD0:Make"));
      EXPECT_EQ(Text(tags, "JFIF:JFIFVersion"), "1 1");
      continue;
    }
    EXPECT_FALSE(tags.contains("JFIF:JFIFVersion"));
    EXPECT_EQ(Text(tags, "File:ExifByteOrder"), testing::ByteOrderName(photo.order));
    EXPECT_EQ(Text(tags, "IFD0:Make"), photo.make);
    EXPECT_EQ(Text(tags, "IFD0:Model"), photo.model);
    EXPECT_EQ(Text(tags, "IFD0:Software"), photo.software);
    EXPECT_EQ(Number(tags, "IFD0:Orientation"), photo.orientation);
    EXPECT_EQ(Text(tags, "ExifIFD:DateTimeOriginal"), photo.date_time);
    EXPECT_EQ(Text(tags, "ExifIFD:ExifVersion"), photo.exif_version);
    ExpectNear(tags, "ExifIFD:ExposureTime", Value(photo.exposure));
    ExpectNear(tags, "ExifIFD:FNumber", Value(photo.f_number));
    ExpectNear(tags, "ExifIFD:FocalLength", Value(photo.focal_length));
    EXPECT_EQ(Number(tags, "ExifIFD:ISO"), photo.iso);
    EXPECT_EQ(Number(tags, "ExifIFD:ExposureProgram"), photo.program);
    EXPECT_EQ(Number(tags, "ExifIFD:MeteringMode"), photo.metering);
    EXPECT_EQ(Number(tags, "ExifIFD:Flash"), photo.flash);
    EXPECT_EQ(Text(tags, "ExifIFD:ComponentsConfiguration"), "1 2 3 0");
    if (photo.focal_35mm != 0) {
      EXPECT_EQ(Number(tags, "ExifIFD:FocalLengthIn35mmFormat"), photo.focal_35mm);
    } else {
      EXPECT_FALSE(tags.contains("ExifIFD:FocalLengthIn35mmFormat"));
    }
    if (photo.focal_plane_x.den != 0) {
      ExpectNear(tags, "ExifIFD:FocalPlaneXResolution", Value(photo.focal_plane_x));
      ExpectNear(tags, "ExifIFD:FocalPlaneYResolution", Value(photo.focal_plane_y));
      EXPECT_EQ(Number(tags, "ExifIFD:FocalPlaneResolutionUnit"), 2);
    } else {
      EXPECT_FALSE(tags.contains("ExifIFD:FocalPlaneXResolution"));
    }
    EXPECT_EQ(Text(tags, "ExifIFD:LensModel"), photo.lens.empty() ? "<absent>" : photo.lens);
    EXPECT_EQ(Text(tags, "InteropIFD:InteropIndex"), photo.interop ? "R98" : "<absent>");
    if (photo.gps) {
      EXPECT_EQ(Text(tags, "GPS:GPSLatitudeRef"), std::string(1, photo.gps->latitude_ref));
      ExpectNear(tags, "GPS:GPSLatitude", Degrees(photo.gps->latitude));
      EXPECT_EQ(Text(tags, "GPS:GPSLongitudeRef"), std::string(1, photo.gps->longitude_ref));
      ExpectNear(tags, "GPS:GPSLongitude", Degrees(photo.gps->longitude));
    } else {
      EXPECT_FALSE(tags.contains("GPS:GPSLatitude"));
    }
  }
}

}  // namespace
}  // namespace lumetra::testing
