// Files told apart by their first bytes, whatever their names say, and read at absolute offsets.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/ReaderError.h"
#include "testing/ExifWriter.h"
#include "testing/IsoMediaWriter.h"
#include "testing/JpegWriter.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/TempFolder.h"

namespace lumetra {
namespace {

using testing::BuildJpeg;
using testing::FtypBox;

struct SniffCase {
  const char* name;
  std::string head;
  ContainerKind kind;
  TiffHeader tiff;
};

TEST(SniffContainer, TellsEachKindByItsFirstBytes) {
  const std::string heic_tail(64, '\0');
  const SniffCase cases[] = {
      {"JPEG", std::string("\xFF\xD8\xFF\xE1\x00\x10", 6), ContainerKind::kJpeg, {}},
      {"TIFF II", std::string("II*\0\x08\0\0\0", 8), ContainerKind::kTiff, {false, TiffMagic::kStandard, 8}},
      {"TIFF MM", std::string("MM\0*\0\0\0\x08", 8), ContainerKind::kTiff, {true, TiffMagic::kStandard, 8}},
      {"CR2, IFD0 at 16",
       std::string("II*\0\x10\0\0\0CR\x02\0", 12),
       ContainerKind::kTiff,
       {false, TiffMagic::kStandard, 16}},
      {"ORF IIRO", std::string("IIRO\x08\0\0\0", 8), ContainerKind::kTiff, {false, TiffMagic::kOlympus, 8}},
      {"ORF IIRS", std::string("IIRS\x08\0\0\0", 8), ContainerKind::kTiff, {false, TiffMagic::kOlympus, 8}},
      {"ORF MMOR", std::string("MMOR\0\0\x01\x02", 8), ContainerKind::kTiff, {true, TiffMagic::kOlympus, 0x102}},
      {"RW2", std::string("IIU\0\x18\0\0\0", 8), ContainerKind::kTiff, {false, TiffMagic::kPanasonic, 0x18}},
      {"RAF", "FUJIFILMCCD-RAW 0201", ContainerKind::kRaf, {}},
      {"HEIC", FtypBox("heic", {"mif1", "heic"}), ContainerKind::kIsoMediaImage, {}},
      {"HEIF by a compatible brand", FtypBox("mif1", {"mif1", "heic"}) + heic_tail, ContainerKind::kIsoMediaImage, {}},
      {"AVIF", FtypBox("avif", {"avif", "mif1", "miaf"}), ContainerKind::kIsoMediaImage, {}},
      {"CR3", FtypBox("crx ", {"crx ", "isom"}), ContainerKind::kCr3, {}},
      {"MP4 video", FtypBox("isom", {"isom", "mp42"}), ContainerKind::kUnknown, {}},
      {"ftyp too short for its brand",
       std::string("\0\0\0\x0C"
                   "ftypheic",
                   12),
       ContainerKind::kUnknown,
       {}},
      {"PNG", "\x89PNG\r\n\x1A\n", ContainerKind::kUnknown, {}},
      {"TIFF header cut short", "II*\0", ContainerKind::kUnknown, {}},
      {"one byte", "\xFF", ContainerKind::kUnknown, {}},
      {"empty", "", ContainerKind::kUnknown, {}},
  };
  for (const SniffCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Container container = SniffContainer(c.head);
    EXPECT_EQ(container.kind, c.kind);
    if (c.kind != ContainerKind::kTiff) continue;
    EXPECT_EQ(container.tiff.big_endian, c.tiff.big_endian);
    EXPECT_EQ(container.tiff.magic, c.tiff.magic);
    EXPECT_EQ(container.tiff.ifd0_offset, c.tiff.ifd0_offset);
  }
}

TEST(SniffContainer, ReadsABrandListedBeyondTheFirstFewBytes) {
  std::vector<std::string> brands(20, "isom");
  brands.push_back("heix");
  EXPECT_EQ(SniffContainer(FtypBox("isom", brands)).kind, ContainerKind::kIsoMediaImage);
}

TEST(SniffContainer, NefFileHoldingAJpegIsAJpeg) {
  testing::TempFolder folder;
  const std::filesystem::path path = folder.path() / "DSC_0001.NEF";
  testing::WriteFileBytes(path, BuildJpeg({testing::JfifSegment()}));
  FileSource file(path.string());
  EXPECT_EQ(SniffContainer(file).kind, ContainerKind::kJpeg);
}

// Positioned reads, the same over a file and over memory.
TEST(PositionedSource, ReadsAtOffsetsAndStopsAtTheEnd) {
  const std::string bytes = "0123456789abcdef";
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "bytes", bytes);
  FileSource file((folder.path() / "bytes").string());
  MemorySource memory(bytes);
  for (PositionedSource* source : {static_cast<PositionedSource*>(&file), static_cast<PositionedSource*>(&memory)}) {
    EXPECT_EQ(source->Size(), bytes.size());
    char out[8] = {};
    ASSERT_EQ(source->ReadAt(10, out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), "abcd");
    EXPECT_EQ(source->ReadAt(14, out, 8), 2u);
    EXPECT_EQ(std::string(out, 2), "ef");
    EXPECT_EQ(source->ReadAt(16, out, 8), 0u);
    EXPECT_EQ(source->ReadAt(UINT64_MAX, out, 8), 0u);
    EXPECT_EQ(ReadExactlyAt(*source, 0, 3, "a header"), "012");
    testing::ExpectThrowWithMessage<ReaderError>([&] { static_cast<void>(ReadExactlyAt(*source, 12, 5, "a box")); },
                                                 "a box at 12 runs past the end of the file");
  }
}

TEST(PositionedSource, LeavesTheFrontToBackPositionAlone) {
  const std::string bytes = "0123456789";
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "bytes", bytes);
  FileSource file((folder.path() / "bytes").string());
  MemorySource memory(bytes);
  for (RandomAccessSource* source :
       {static_cast<RandomAccessSource*>(&file), static_cast<RandomAccessSource*>(&memory)}) {
    char out[4] = {};
    ASSERT_EQ(source->Read(out, 2), 2u);
    ASSERT_EQ(source->ReadAt(8, out, 2), 2u);
    ASSERT_EQ(source->Read(out, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "23");
  }
}

// Passing over bytes within the buffer, beyond it and past the end, the same over a file and over memory.
TEST(ByteSource, SkipsWithinAndBeyondTheBufferAndPastTheEnd) {
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "bytes", bytes);
  FileSource file((folder.path() / "bytes").string());
  MemorySource memory(bytes);
  for (ByteSource* source : {static_cast<ByteSource*>(&file), static_cast<ByteSource*>(&memory)}) {
    char out[4] = {};
    size_t position = 0;
    // Each step: bytes passed over, then bytes read.
    for (const size_t skip : {size_t{10}, size_t{100}, size_t{3000}, size_t{2044}, size_t{0}, size_t{4800}}) {
      SCOPED_TRACE(position + skip);
      source->Skip(skip);
      position += skip;
      ASSERT_EQ(source->Read(out, 4), 4u);
      EXPECT_EQ(std::string(out, 4), bytes.substr(position, 4));
      position += 4;
    }
    source->Skip(bytes.size());
    EXPECT_EQ(source->Read(out, 4), 0u);
  }
}

// A read that takes the bytes after it along, and reads that ask for little ahead, hand out the bytes a plain
// read does, wherever the next read or pass over starts and wherever the file ends.
TEST(ByteSource, ReadsWithNextBytesAndShortReadAheadGiveTheSameBytes) {
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i * 7 % 26);
  enum class Step { kRead, kReadWithNextBytes, kSkip, kLimitReadAhead };
  struct Case {
    const char* what;
    std::vector<std::pair<Step, size_t>> steps;
  };
  const Case cases[] = {
      {"a large read, then the bytes right after it",
       {{Step::kReadWithNextBytes, 3000}, {Step::kRead, 4}, {Step::kRead, 100}, {Step::kRead, 3000}}},
      {"a large read, then bytes past those it took along",
       {{Step::kReadWithNextBytes, 2500}, {Step::kSkip, 40}, {Step::kRead, 60}, {Step::kSkip, 1000}, {Step::kRead, 2}}},
      {"a small read, served by the buffer", {{Step::kReadWithNextBytes, 10}, {Step::kRead, 5000}}},
      {"a large read that ends at the end of the file", {{Step::kSkip, 5000}, {Step::kReadWithNextBytes, 5000}}},
      {"a large read that the file ends inside of", {{Step::kSkip, 6000}, {Step::kReadWithNextBytes, 5000}}},
      {"a large read that ends a few bytes before the end of the file",
       {{Step::kSkip, 6980}, {Step::kReadWithNextBytes, 3000}, {Step::kRead, 30}}},
      {"short reads ahead, as the look for a packet makes them",
       {{Step::kRead, 2},
        {Step::kLimitReadAhead, 64},
        {Step::kSkip, 4000},
        {Step::kRead, 4},
        {Step::kRead, 29},
        {Step::kRead, 300},
        {Step::kSkip, 100},
        {Step::kRead, 1},
        {Step::kReadWithNextBytes, 640},
        {Step::kRead, 70}}},
  };
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "bytes", bytes);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FileSource file((folder.path() / "bytes").string());
    MemorySource memory(bytes);
    for (ByteSource* source : {static_cast<ByteSource*>(&file), static_cast<ByteSource*>(&memory)}) {
      size_t position = 0;
      for (const auto& [step, count] : c.steps) {
        SCOPED_TRACE(position);
        std::string out(count, '\0');
        size_t got = 0;
        switch (step) {
          case Step::kRead:
            got = source->Read(out.data(), count);
            break;
          case Step::kReadWithNextBytes:
            got = source->ReadWithNextBytes(out.data(), count);
            break;
          case Step::kSkip:
            source->Skip(count);
            position = std::min(position + count, bytes.size());
            continue;
          case Step::kLimitReadAhead:
            source->LimitReadAhead(count);
            continue;
        }
        const std::string expected = bytes.substr(std::min(position, bytes.size()), count);
        ASSERT_EQ(got, expected.size());
        EXPECT_EQ(out.substr(0, got), expected);
        position += got;
      }
    }
  }
}

TEST(RangeSource, ReadsItsRangeFrontToBack) {
  MemorySource memory("headerJPEGBYTEStrailer");
  RangeSource range(memory, 6, 9);
  std::string out(20, '\0');
  EXPECT_EQ(range.Read(out.data(), 4), 4u);
  EXPECT_EQ(range.Read(out.data() + 4, 20), 5u);
  EXPECT_EQ(out.substr(0, 9), "JPEGBYTES");
  EXPECT_EQ(range.Read(out.data(), 1), 0u);
}

TEST(RangeSource, EndsWhereTheDataEnds) {
  MemorySource memory("0123456789");
  RangeSource range(memory, 6, 100);
  std::string out(20, '\0');
  EXPECT_EQ(range.Read(out.data(), 20), 4u);
  EXPECT_EQ(range.Read(out.data(), 20), 0u);
}

}  // namespace
}  // namespace lumetra
