// The Exif of HEIF/AVIF and CR3 files found through their boxes, and box structures that break the file's
// bounds or the reader's limits refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metadata/ByteSource.h"
#include "metadata/IsoMediaExif.h"
#include "metadata/ReaderError.h"
#include "testing/ExifWriter.h"
#include "testing/IsoMediaWriter.h"
#include "tests/support/ExpectThrow.h"

namespace lumetra {
namespace {

using testing::BuildCr3;
using testing::BuildHeif;
using testing::ByteOrder;
using testing::ExpectThrowWithMessage;
using testing::HeifLayout;
using testing::IsoBox;

std::string CameraTiff(ByteOrder order = ByteOrder::kBig) {
  testing::Ifd ifd0;
  ifd0.Ascii(0x010F, "Apple").Ascii(0x0110, "iPhone 7");
  return testing::BuildTiff(ifd0, order);
}

std::optional<std::string> ExifOf(std::string_view file) {
  MemorySource source(file);
  return ReadIsoMediaExif(source);
}

void PutBigEndian32(std::string& bytes, size_t pos, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[pos + i] = static_cast<char>(value >> (24 - 8 * i) & 0xFF);
}

struct LayoutCase {
  const char* name;
  HeifLayout layout;
};

TEST(ReadIsoMediaExif, FindsTheExifItemInEveryLocationLayout) {
  const LayoutCase cases[] = {
      {"iloc version 1, 4-byte offsets", {}},
      {"iloc version 0", {.iloc_version = 0}},
      {"iloc version 2, 8-byte offsets and lengths, 32-bit item IDs",
       {.iloc_version = 2, .offset_size = 8, .length_size = 8, .exif_item_id = 70000}},
      {"8-byte base offset, 4-byte extent index", {.offset_size = 4, .base_offset_size = 8, .index_size = 4}},
      {"base offset without extent offsets", {.offset_size = 0, .base_offset_size = 4}},
      {"an item in two extents", {.extents = 2}},
      {"an item in five extents, 8-byte offsets", {.iloc_version = 2, .offset_size = 8, .extents = 5}},
      {"the item in idat (construction method 1)", {.in_idat = true}},
      {"idat, two extents, base offset", {.base_offset_size = 4, .extents = 2, .in_idat = true}},
      {"AVIF", {.major_brand = "avif"}},
      {"no prefix before the TIFF header", {.exif_prefix = ""}},
  };
  const std::string tiff = CameraTiff();
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExifOf(BuildHeif(tiff, c.layout)), tiff);
  }
}

TEST(ReadIsoMediaExif, FindsAnItemThatEndsTheFile) {
  const std::string tiff = CameraTiff(ByteOrder::kLittle);
  const std::string file = BuildHeif(tiff);
  ASSERT_EQ(file.substr(file.size() - tiff.size()), tiff);
  EXPECT_EQ(ExifOf(file), tiff);
}

TEST(ReadIsoMediaExif, SkipsAnExifPrefixTheHeaderOffsetLeftOut) {
  // Offset 0, yet "Exif\0\0" before the TIFF header, as some writers do.
  const std::string tiff = CameraTiff();
  EXPECT_EQ(ExifOf(BuildHeif(std::string("Exif\0\0", 6) + tiff, {.exif_prefix = ""})), tiff);
}

TEST(ReadIsoMediaExif, FindsNoneInAFileWithoutAnExifItem) {
  EXPECT_EQ(ExifOf(BuildHeif(std::nullopt)), std::nullopt);
  EXPECT_EQ(ExifOf(testing::FtypBox("heic", {"mif1"}) + IsoBox("mdat", "pixels")), std::nullopt);
  EXPECT_EQ(ExifOf(""), std::nullopt);
}

TEST(ReadIsoMediaExif, TakesTheFileLevelMetaBoxOnly) {
  // A track's meta box in moov describes the track, not the image.
  const std::string file = BuildHeif(CameraTiff(), {.in_idat = true});
  const size_t meta = file.find("meta") - 4;
  const size_t mdat = file.rfind("mdat") - 4;
  EXPECT_EQ(ExifOf(file.substr(0, meta) + IsoBox("moov", file.substr(meta, mdat - meta))), std::nullopt);
}

TEST(ReadIsoMediaExif, ReadsLargeSizesAndABoxRunningToTheEnd) {
  // Offsets into idat do not move with the boxes before meta.
  const std::string tiff = CameraTiff();
  const std::string file = BuildHeif(tiff, {.in_idat = true});
  const size_t meta = file.find("meta") - 4;
  const size_t mdat = file.rfind("mdat") - 4;
  const std::string ftyp = file.substr(0, meta);
  const std::string meta_box = file.substr(meta, mdat - meta);
  EXPECT_EQ(ExifOf(ftyp + testing::IsoLargeBox("free", "padding") + meta_box), tiff);

  std::string to_the_end = ftyp + meta_box;
  PutBigEndian32(to_the_end, meta, 0);
  EXPECT_EQ(ExifOf(to_the_end), tiff);
}

TEST(ReadIsoMediaExif, RefusesABoxRunningPastTheEndOfTheFile) {
  std::string file = BuildHeif(CameraTiff());
  const size_t meta = file.find("meta") - 4;
  PutBigEndian32(file, meta, static_cast<uint32_t>(file.size()));
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(ExifOf(file)); },
                                      "the box 'meta' at " + std::to_string(meta) + " (" + std::to_string(file.size()) +
                                          " bytes) runs past its parent, which ends at " + std::to_string(file.size()));
}

TEST(ReadIsoMediaExif, RefusesABoxSmallerThanItsHeader) {
  std::string file = BuildHeif(CameraTiff());
  const size_t meta = file.find("meta") - 4;
  PutBigEndian32(file, meta, 4);
  ExpectThrowWithMessage<ReaderError>(
      [&] { static_cast<void>(ExifOf(file)); },
      "the box 'meta' at " + std::to_string(meta) + " declares 4 bytes, fewer than its header");
}

TEST(ReadIsoMediaExif, RefusesAnItemCutOffByTheEndOfTheFile) {
  const std::string tiff = CameraTiff();
  const std::string whole = BuildHeif(tiff);
  const std::string cut = whole.substr(0, whole.size() - 10);
  const size_t item_start = whole.size() - tiff.size() - 10;  // the header offset and "Exif\0\0"
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(ExifOf(cut)); },
                                      "an extent of the Exif item at " + std::to_string(item_start) + " (" +
                                          std::to_string(tiff.size() + 10) + " bytes) runs past the end of its data (" +
                                          std::to_string(cut.size()) + " bytes)");
}

TEST(ReadIsoMediaExif, RefusesIlocFieldsOfOtherSizes) {
  ExpectThrowWithMessage<ReaderError>([] { static_cast<void>(ExifOf(BuildHeif(CameraTiff(), {.offset_size = 2}))); },
                                      "the iloc box has a field of 2 bytes");
}

TEST(ReadIsoMediaExif, RefusesAnExifItemBeyondTheLimit) {
  const std::string huge(iso_media_limits::kMaxExifBytes, 'x');
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(ExifOf(BuildHeif(huge))); },
                                      "the Exif item holds more than 4194304 bytes");
}

TEST(ReadIsoMediaExif, RefusesMoreBoxesSideBySideThanTheLimit) {
  // The ftyp box and the free boxes make as many boxes as the limit allows.
  std::string file = testing::FtypBox("heic", {"mif1"});
  for (size_t i = 1; i < iso_media_limits::kMaxBoxesPerLevel; ++i) file += IsoBox("free", "");
  EXPECT_EQ(ExifOf(file), std::nullopt);
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(ExifOf(file + IsoBox("free", ""))); },
                                      "more than 4096 boxes in one parent");
}

// CR3: the four TIFF blocks in Canon's uuid box.
std::optional<Cr3ExifBlocks> BlocksOf(std::string_view file) {
  MemorySource source(file);
  return ReadCr3Exif(source);
}

TEST(ReadCr3Exif, ReadsEachTiffBlockWhole) {
  const auto blocks = BlocksOf(BuildCr3({{"CMT1", "ifd0 tiff"},
                                         {"CMT2", "exif tiff"},
                                         {"CMT3", "maker note tiff"},
                                         {"CMT4", "gps tiff"},
                                         {"THMB", "thumbnail"}}));
  ASSERT_TRUE(blocks);
  EXPECT_EQ(blocks->ifd0, "ifd0 tiff");
  EXPECT_EQ(blocks->exif, "exif tiff");
  EXPECT_EQ(blocks->maker_note, "maker note tiff");
  EXPECT_EQ(blocks->gps, "gps tiff");
}

TEST(ReadCr3Exif, LeavesAMissingBlockEmpty) {
  const auto blocks = BlocksOf(BuildCr3({{"CMT1", "ifd0"}, {"CMT2", "exif"}, {"CMT4", "gps"}}));
  ASSERT_TRUE(blocks);
  EXPECT_EQ(blocks->ifd0, "ifd0");
  EXPECT_EQ(blocks->exif, "exif");
  EXPECT_EQ(blocks->maker_note, "");
  EXPECT_EQ(blocks->gps, "gps");
}

TEST(ReadCr3Exif, FindsNoneWithoutCanonsBox) {
  const std::string other_uuid(16, '\x11');
  EXPECT_EQ(BlocksOf(testing::FtypBox("crx ", {"crx "}) +
                     IsoBox("moov", testing::IsoUuidBox(other_uuid, IsoBox("CMT1", "ifd0")))),
            std::nullopt);
}

// Canon's box wrapped in `levels` moov boxes.
std::string NestedCr3(int levels) {
  std::string box = testing::IsoUuidBox(testing::CanonUuid(), IsoBox("CMT1", "ifd0"));
  for (int i = 0; i < levels; ++i) box = IsoBox("moov", box);
  return testing::FtypBox("crx ", {"crx "}) + box;
}

TEST(ReadCr3Exif, RefusesBoxesNestedBeyondTheLimit) {
  const int deepest = iso_media_limits::kMaxDepth;
  const auto blocks = BlocksOf(NestedCr3(deepest - 1));
  ASSERT_TRUE(blocks);
  EXPECT_EQ(blocks->ifd0, "ifd0");
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(BlocksOf(NestedCr3(deepest))); },
                                      "boxes are nested deeper than 8 levels");
}

TEST(ReadCr3Exif, RefusesABlockRunningPastCanonsBox) {
  std::string file = BuildCr3({{"CMT1", "ifd0"}});
  const size_t cmt1 = file.find("CMT1") - 4;
  PutBigEndian32(file, cmt1, 100);
  const size_t canon_end = file.find("mdat") - 4;
  ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(BlocksOf(file)); },
                                      "the box 'CMT1' at " + std::to_string(cmt1) +
                                          " (100 bytes) runs past its parent, which ends at " +
                                          std::to_string(canon_end));
}

}  // namespace
}  // namespace lumetra
