#include "metadata/DirectoryEntry.h"

#include <limits>
#include <string>
#include <utility>

#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"
#include "metadata/ValueRendering.h"

namespace lumetra {
namespace {

// Messages are built only on failure: every entry of every photo passes through the decoder.
std::string Failure(const std::string& before, const DirectoryEntry& entry, EntryOwner owner,
                    const std::string& after = {}) {
  const char* what = owner == EntryOwner::kExif ? "tag " : "maker tag ";
  return before + what + std::to_string(entry.tag) + after;
}

// The decoder of both doors: `fail` is given the message of a broken entry and throws or keeps it. A read
// outside the buffer throws in `reader`, unless `kCheckReads` has it failed through `fail` first.
template <bool kCheckReads, typename Fail>
bool Decode(const tEndInd& reader, int64_t position, EntryOwner owner, DirectoryEntry& entry, const Fail& fail) {
  const auto outside = [&reader](int64_t at, int64_t count) { return kCheckReads && !reader.Holds(at, count); };
  if (outside(position, 2)) return fail(reader.OutsideMessage(position, 2));
  entry.tag = reader.ReadWord(position);
  if (outside(position + 2, 2)) return fail(reader.OutsideMessage(position + 2, 2));
  entry.type = reader.ReadWord(position + 2);
  if (outside(position + 4, 4)) return fail(reader.OutsideMessage(position + 4, 4));
  entry.count = reader.ReadLong(position + 4);
  if (entry.count < 0) return fail(Failure("negative count " + std::to_string(entry.count) + " in ", entry, owner));
  if (entry.type > tiff_type::kLastKnown) {
    return fail(Failure("field type " + std::to_string(entry.type) + " in ", entry, owner));
  }
  entry.byte_count = static_cast<int64_t>(ElementSize(entry.type)) * entry.count;
  if (entry.byte_count > std::numeric_limits<int32_t>::max()) {
    return fail(Failure("byte count of ", entry, owner, " overflows 32 bits"));
  }
  if (!entry.ValueInEntry()) {
    if (outside(position + 8, 4)) return fail(reader.OutsideMessage(position + 8, 4));
    entry.offset = reader.ReadLong(position + 8);
    if (entry.offset < 0) return fail(Failure("negative offset in ", entry, owner));
  }
  return true;
}

}  // namespace

DirectoryEntry DecodeEntry(const tEndInd& reader, int64_t position, EntryOwner owner) {
  DirectoryEntry entry;
  Decode<false>(reader, position, owner, entry, [](const std::string& failure) -> bool { throw ReaderError(failure); });
  return entry;
}

bool TryDecodeEntry(const tEndInd& reader, int64_t position, EntryOwner owner, DirectoryEntry& entry,
                    std::string& failure) {
  entry = {};
  return Decode<true>(reader, position, owner, entry, [&failure](std::string message) {
    failure = std::move(message);
    return false;
  });
}

}  // namespace lumetra
