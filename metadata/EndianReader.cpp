#include "metadata/EndianReader.h"

#include <string>

#include "metadata/ReaderError.h"

namespace lumetra {

void tEndInd::ThrowOutside(int64_t position, int64_t count) const {
  throw ReaderError(OutsideMessage(position, count));
}

std::string tEndInd::OutsideMessage(int64_t position, int64_t count) const {
  return "read of " + std::to_string(count) + " bytes at position " + std::to_string(position) + " is outside the " +
         std::to_string(Buffer.size()) + "-byte buffer";
}

int32_t tEndInd::ReadInteger(std::string_view bytes) const { return ReadIntegerInOrder(bytes, BigEndian); }

uint64_t ReadUnsignedInOrder(std::string_view bytes, bool big_endian) {
  // Accumulating more than eight bytes would overflow 64 bits: the value of the first eight, taken from
  // the most significant end, stands.
  const size_t n = bytes.size() < 8 ? bytes.size() : 8;
  uint64_t value = 0;
  for (size_t k = 0; k < n; ++k) {
    const size_t index = big_endian ? k : bytes.size() - 1 - k;
    value = (value << 8) | static_cast<uint8_t>(bytes[index]);
  }
  return value;
}

int32_t ReadIntegerInOrder(std::string_view bytes, bool big_endian) {
  return static_cast<int32_t>(static_cast<uint32_t>(ReadUnsignedInOrder(bytes, big_endian) & 0xFFFFFFFFu));
}

}  // namespace lumetra
