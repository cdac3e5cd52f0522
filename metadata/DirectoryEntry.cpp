#include "metadata/DirectoryEntry.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"

namespace lumetra {
namespace {

// Messages are built only on failure: every entry of every photo passes through the decoder.
std::string Failure(const std::string& before, const DirectoryEntry& entry, EntryOwner owner,
                    const std::string& after = {}) {
  const char* what = owner == EntryOwner::kExif ? "tag " : "maker tag ";
  return before + what + std::to_string(entry.tag) + after;
}

// An entry's 12 bytes, all inside the buffer (nearly every entry): read at once and put in the buffer's
// byte order, without a check each.
class WholeEntry {
 public:
  WholeEntry(const tEndInd& reader, int64_t position) {
    const char* bytes = reader.Buffer.data() + (position - 1);
    std::memcpy(&tag_, bytes, sizeof tag_);
    std::memcpy(&type_, bytes + 2, sizeof type_);
    std::memcpy(&count_, bytes + 4, sizeof count_);
    std::memcpy(&offset_, bytes + 8, sizeof offset_);
    if (reader.BigEndian != (std::endian::native == std::endian::big)) {
      tag_ = __builtin_bswap16(tag_);
      type_ = __builtin_bswap16(type_);
      count_ = __builtin_bswap32(count_);
      offset_ = __builtin_bswap32(offset_);
    }
  }
  // `at` is the field's place in the entry: 0 the tag, 2 the type, 4 the count, 8 the offset.
  [[nodiscard]] uint16_t Word(int64_t at) const { return at == 0 ? tag_ : type_; }
  [[nodiscard]] int32_t Long(int64_t at) const { return static_cast<int32_t>(at == 4 ? count_ : offset_); }
  [[nodiscard]] static bool Outside(int64_t /*at*/, int64_t /*count*/) { return false; }
  [[nodiscard]] static std::string OutsideMessage(int64_t /*at*/, int64_t /*count*/) { return {}; }

 private:
  uint16_t tag_ = 0;
  uint16_t type_ = 0;
  uint32_t count_ = 0;
  uint32_t offset_ = 0;
};

// The bytes of one element of each known field type (0 to kLastKnown), as ElementSize gives them: looked up
// inline, every entry of every photo asks.
constexpr std::array<uint8_t, tiff_type::kLastKnown + 1> kElementSizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

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
  entry.byte_count = static_cast<int64_t>(kElementSizes[static_cast<size_t>(entry.type)]) * entry.count;
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
