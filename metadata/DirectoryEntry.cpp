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

// An entry's 12 bytes, all inside the buffer (nearly every entry): read without a check each, in the
// buffer's byte order decided once.
class WholeEntry {
 public:
  WholeEntry(const tEndInd& reader, int64_t position)
      : bytes_(reinterpret_cast<const uint8_t*>(reader.Buffer.data()) + (position - 1)),
        big_endian_(reader.BigEndian) {}
  [[nodiscard]] uint16_t Word(int64_t at) const {
    const uint8_t* b = bytes_ + at;
    return static_cast<uint16_t>(big_endian_ ? b[0] << 8 | b[1] : b[1] << 8 | b[0]);
  }
  [[nodiscard]] int32_t Long(int64_t at) const {
    const uint8_t* b = bytes_ + at;
    const uint32_t value = big_endian_ ? uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3]
                                       : uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
    return static_cast<int32_t>(value);
  }
  [[nodiscard]] static bool Outside(int64_t /*at*/, int64_t /*count*/) { return false; }
  [[nodiscard]] static std::string OutsideMessage(int64_t /*at*/, int64_t /*count*/) { return {}; }

 private:
  const uint8_t* bytes_;
  bool big_endian_;
};

// An entry that may run past the buffer: each read goes through `reader`, which throws outside it, unless
// `kCheckReads` has it found outside first, so that the decoder fails without a throw.
template <bool kCheckReads>
class CheckedEntry {
 public:
  CheckedEntry(const tEndInd& reader, int64_t position) : reader_(reader), position_(position) {}
  [[nodiscard]] uint16_t Word(int64_t at) const { return reader_.ReadWord(position_ + at); }
  [[nodiscard]] int32_t Long(int64_t at) const { return reader_.ReadLong(position_ + at); }
  [[nodiscard]] bool Outside(int64_t at, int64_t count) const {
    return kCheckReads && !reader_.Holds(position_ + at, count);
  }
  [[nodiscard]] std::string OutsideMessage(int64_t at, int64_t count) const {
    return reader_.OutsideMessage(position_ + at, count);
  }

 private:
  const tEndInd& reader_;
  int64_t position_;
};

// The decoder of both doors over the entry's bytes: `fail` is given the message of a broken entry and
// throws or keeps it.
template <typename Bytes, typename Fail>
bool DecodeFrom(const Bytes& bytes, EntryOwner owner, DirectoryEntry& entry, const Fail& fail) {
  if (bytes.Outside(0, 2)) return fail(bytes.OutsideMessage(0, 2));
  entry.tag = bytes.Word(0);
  if (bytes.Outside(2, 2)) return fail(bytes.OutsideMessage(2, 2));
  entry.type = bytes.Word(2);
  if (bytes.Outside(4, 4)) return fail(bytes.OutsideMessage(4, 4));
  entry.count = bytes.Long(4);
  if (entry.count < 0) return fail(Failure("negative count " + std::to_string(entry.count) + " in ", entry, owner));
  if (entry.type > tiff_type::kLastKnown) {
    return fail(Failure("field type " + std::to_string(entry.type) + " in ", entry, owner));
  }
  entry.byte_count = static_cast<int64_t>(ElementSize(entry.type)) * entry.count;
  if (entry.byte_count > std::numeric_limits<int32_t>::max()) {
    return fail(Failure("byte count of ", entry, owner, " overflows 32 bits"));
  }
  if (!entry.ValueInEntry()) {
    if (bytes.Outside(8, 4)) return fail(bytes.OutsideMessage(8, 4));
    entry.offset = bytes.Long(8);
    if (entry.offset < 0) return fail(Failure("negative offset in ", entry, owner));
  }
  return true;
}

template <bool kCheckReads, typename Fail>
bool Decode(const tEndInd& reader, int64_t position, EntryOwner owner, DirectoryEntry& entry, const Fail& fail) {
  constexpr int64_t kEntrySize = 12;
  if (reader.Inside(position, kEntrySize)) [[likely]] {
    return DecodeFrom(WholeEntry(reader, position), owner, entry, fail);
  }
  return DecodeFrom(CheckedEntry<kCheckReads>(reader, position), owner, entry, fail);
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
