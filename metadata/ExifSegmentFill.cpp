#include "metadata/ExifSegmentFill.h"

#include <algorithm>
#include <string_view>

#include "metadata/ByteSource.h"

namespace lumetra {
namespace {

// The TIFF structure starts after the two length bytes and "Exif\0\0"; its offsets count from there.
constexpr size_t kTiffStart = 8;
constexpr size_t kEntrySize = 12;
constexpr uint16_t kTagThumbnailOffset = 0x0201;
constexpr uint16_t kTypeShort = 3;
// IFD1 is read with room for this many entries in one go (a camera writes six to eight), so that its
// count and its entries take one read.
constexpr size_t kIfd1EntriesRead = 10;

}  // namespace

size_t ExifSegmentFill::ReadToThumbnail() {
  const size_t thumbnail = ThumbnailStart();
  if (thumbnail == 0) {
    ReadRest();
  } else {
    // IFD1 is read with room to spare, which may already reach into the thumbnail.
    static_cast<void>(ReadTo(std::max(thumbnail, stored_)));
  }
  return stored_;
}

size_t ExifSegmentFill::ThumbnailStart() {
  if (!ReadTo(kTiffStart + 8)) return 0;
  const std::string_view order(segment_ + kTiffStart, 2);
  if (order != "II" && order != "MM") return 0;
  big_endian_ = order == "MM";
  const size_t ifd0 = kTiffStart + Long(kTiffStart + 4);
  if (!ReadTo(ifd0 + 2)) return 0;
  const size_t link = ifd0 + 2 + kEntrySize * Word(ifd0);
  if (!ReadTo(link + 4)) return 0;
  const uint32_t ifd1_offset = Long(link);
  if (ifd1_offset == 0) return 0;
  const size_t ifd1 = kTiffStart + ifd1_offset;
  if (ifd1 + 2 > length_) return 0;
  static_cast<void>(ReadTo(std::min(length_, ifd1 + 2 + kEntrySize * kIfd1EntriesRead)));
  const size_t count = Word(ifd1);
  if (!ReadTo(ifd1 + 2 + kEntrySize * count)) return 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = ifd1 + 2 + kEntrySize * i;
    if (Word(entry) != kTagThumbnailOffset) continue;
    const uint32_t offset = Word(entry + 2) == kTypeShort ? Word(entry + 8) : Long(entry + 8);
    return offset == 0 || offset >= length_ - kTiffStart ? 0 : kTiffStart + offset;
  }
  return 0;
}

void ExifSegmentFill::ReadRest() {
  if (stored_ >= length_) return;
  const size_t count = length_ - stored_;
  const size_t got = source_.ReadWithNextBytes(segment_ + stored_, count);
  // Bytes a short file does not supply read as zero.
  std::fill(segment_ + stored_ + got, segment_ + length_, '\0');
  stored_ = length_;
}

bool ExifSegmentFill::ReadTo(size_t end) {
  if (end > length_) return false;
  if (end <= stored_) return true;
  const size_t got = source_.Read(segment_ + stored_, end - stored_);
  if (got < end - stored_) {
    // The file ends inside the segment: nothing more can be read, and the rest reads as zero.
    std::fill(segment_ + stored_ + got, segment_ + length_, '\0');
    stored_ = length_;
    return true;
  }
  stored_ = end;
  return true;
}

uint32_t ExifSegmentFill::Word(size_t index) const {
  const auto* b = reinterpret_cast<const uint8_t*>(segment_ + index);
  return big_endian_ ? uint32_t{b[0]} << 8 | b[1] : uint32_t{b[1]} << 8 | b[0];
}

uint32_t ExifSegmentFill::Long(size_t index) const {
  const auto* b = reinterpret_cast<const uint8_t*>(segment_ + index);
  return big_endian_ ? uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]
                     : uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

}  // namespace lumetra
