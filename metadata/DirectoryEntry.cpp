#include "metadata/DirectoryEntry.h"

#include <limits>
#include <string>

#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

// Messages are built only on failure: every entry of every photo passes through the decoder.
[[noreturn]] void Fail(const std::string& before, const DirectoryEntry& entry, EntryOwner owner,
                       const std::string& after = {}) {
  const char* what = owner == EntryOwner::kExif ? "tag " : "maker tag ";
  throw ReaderError(before + what + std::to_string(entry.tag) + after);
}

}  // namespace

DirectoryEntry DecodeEntry(const tEndInd& reader, int64_t position, EntryOwner owner) {
  DirectoryEntry entry;
  entry.tag = reader.ReadWord(position);
  entry.type = reader.ReadWord(position + 2);
  entry.count = reader.ReadLong(position + 4);
  if (entry.count < 0) Fail("negative count " + std::to_string(entry.count) + " in ", entry, owner);
  if (entry.type > tiff_type::kLastKnown) Fail("field type " + std::to_string(entry.type) + " in ", entry, owner);
  entry.byte_count = static_cast<int64_t>(ElementSize(entry.type)) * entry.count;
  if (entry.byte_count > std::numeric_limits<int32_t>::max())
    Fail("byte count of ", entry, owner, " overflows 32 bits");
  if (!entry.ValueInEntry()) {
    entry.offset = reader.ReadLong(position + 8);
    if (entry.offset < 0) Fail("negative offset in ", entry, owner);
  }
  return entry;
}

}  // namespace lumetra
