// The decoder of a directory entry's 12 bytes, shared by the Exif and maker-note walks: every field type in
// both byte orders, and the broken entries it refuses with their messages.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "metadata/DirectoryEntry.h"
#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

constexpr uint16_t kTag = 0x1234;

void AppendInOrder(std::string& bytes, uint32_t value, int size, bool big_endian) {
  for (int i = 0; i < size; ++i) {
    const int shift = 8 * (big_endian ? size - 1 - i : i);
    bytes += static_cast<char>((value >> shift) & 0xFF);
  }
}

// Two bytes before the entry and two after, so that the entry lies inside the buffer at position 3.
std::string EntryBytes(uint16_t type, uint32_t count, uint32_t offset, bool big_endian) {
  std::string bytes = "..";
  AppendInOrder(bytes, kTag, 2, big_endian);
  AppendInOrder(bytes, type, 2, big_endian);
  AppendInOrder(bytes, count, 4, big_endian);
  AppendInOrder(bytes, offset, 4, big_endian);
  return bytes + "..";
}

TEST(DecodeEntry, ReadsEveryFieldTypeInBothByteOrders) {
  for (const bool big_endian : {false, true}) {
    for (int type = 0; type <= tiff_type::kLastKnown; ++type) {
      for (const uint32_t count : {0U, 1U, 3U, 1000U}) {
        SCOPED_TRACE(std::to_string(big_endian) + " type " + std::to_string(type) + " count " + std::to_string(count));
        const std::string bytes = EntryBytes(static_cast<uint16_t>(type), count, 0x00102030, big_endian);
        tEndInd reader;
        reader.Buffer = bytes;
        reader.BigEndian = big_endian;
        const DirectoryEntry entry = DecodeEntry(reader, 3, EntryOwner::kExif);
        EXPECT_EQ(entry.tag, kTag);
        EXPECT_EQ(entry.type, type);
        EXPECT_EQ(entry.count, static_cast<int32_t>(count));
        EXPECT_EQ(entry.byte_count, int64_t{ElementSize(type)} * count);
        EXPECT_EQ(entry.offset, entry.byte_count <= 4 ? 0 : 0x00102030);
        DirectoryEntry tried;
        std::string failure;
        EXPECT_TRUE(TryDecodeEntry(reader, 3, EntryOwner::kMakerNote, tried, failure));
        EXPECT_EQ(tried.byte_count, entry.byte_count);
        EXPECT_EQ(tried.offset, entry.offset);
      }
    }
  }
}

TEST(DecodeEntry, RefusesBrokenEntriesWithTheirMessages) {
  const struct {
    const char* what;
    uint16_t type;
    uint32_t count;
    uint32_t offset;
    const char* message;
  } cases[] = {
      {"a type above the known ones", 13, 1, 0, "field type 13 in tag 4660"},
      {"a negative count", tiff_type::kShort, 0x80000000U, 0, "negative count -2147483648 in tag 4660"},
      {"a byte count past 32 bits", tiff_type::kDouble, 0x10000000U, 0, "byte count of tag 4660 overflows 32 bits"},
      {"a negative offset", tiff_type::kRational, 1, 0xFFFFFFFFU, "negative offset in tag 4660"},
  };
  for (const auto& c : cases) {
    for (const bool big_endian : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (big_endian ? " MM" : " II"));
      const std::string bytes = EntryBytes(c.type, c.count, c.offset, big_endian);
      tEndInd reader;
      reader.Buffer = bytes;
      reader.BigEndian = big_endian;
      try {
        static_cast<void>(DecodeEntry(reader, 3, EntryOwner::kExif));
        ADD_FAILURE() << "no failure";
      } catch (const ReaderError& error) {
        EXPECT_EQ(std::string(error.what()), c.message);
      }
      DirectoryEntry entry;
      std::string failure;
      EXPECT_FALSE(TryDecodeEntry(reader, 3, EntryOwner::kMakerNote, entry, failure));
      EXPECT_EQ(failure, std::string(c.message).replace(std::string(c.message).find("tag"), 3, "maker tag"));
    }
  }
}

}  // namespace
}  // namespace lumetra
