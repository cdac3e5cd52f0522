#pragma once

#include <cstdint>
#include <string>

#include "metadata/EndianReader.h"

namespace lumetra {

/// The 12 bytes of one directory entry, decoded and checked: tag, field type, element count, the
/// value's byte count and, for a value longer than 4 bytes, the offset the entry stores.
struct DirectoryEntry {
  uint16_t tag = 0;
  int type = 0;
  int32_t count = 0;
  int64_t byte_count = 0;
  /// The stored offset of a value longer than 4 bytes; 0 when the value stands in the entry itself.
  int64_t offset = 0;

  /// The value's bytes stand in the entry's last 4 bytes.
  [[nodiscard]] bool ValueInEntry() const { return byte_count <= 4; }
};

/// Which walk an entry belongs to, for the failure messages.
enum class EntryOwner { kExif, kMakerNote };

/// Decodes the entry at 1-based `position` of `reader`'s buffer, shared by the Exif and the maker-note
/// walks. Throws `ReaderError` when the entry runs past the buffer, its count or its offset is negative,
/// its type is above the known ones, or its byte count overflows 32 bits.
[[nodiscard]] DirectoryEntry DecodeEntry(const tEndInd& reader, int64_t position, EntryOwner owner);

/// `DecodeEntry` for a walk that ends at a broken entry without throwing: fills `entry` and returns true, or
/// returns false with the message `DecodeEntry` would throw in `failure`. A broken maker note is common, and
/// a throw costs far more than the rest of its walk.
[[nodiscard]] bool TryDecodeEntry(const tEndInd& reader, int64_t position, EntryOwner owner, DirectoryEntry& entry,
                                  std::string& failure);

}  // namespace lumetra
