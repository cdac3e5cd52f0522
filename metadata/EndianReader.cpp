#include "metadata/EndianReader.h"

#include <string>

#include "metadata/ReaderError.h"

namespace lumetra {

std::string_view tEndInd::Bytes(int64_t position, int64_t count) const {
  // Position p (1-based) is index p - 1; check the start first, then the length against what is left.
  const int64_t size = static_cast<int64_t>(Buffer.size());
  if (position < 1 || position - 1 > size || count > size - (position - 1)) {
    throw ReaderError("read of " + std::to_string(count) + " bytes at position " + std::to_string(position) +
                      " is outside the " + std::to_string(size) + "-byte buffer");
  }
  return Buffer.substr(static_cast<size_t>(position - 1), static_cast<size_t>(count));
}

uint16_t tEndInd::ReadWord(int64_t position) const {
  return static_cast<uint16_t>(ReadIntegerInOrder(Bytes(position, 2), BigEndian));
}

int32_t tEndInd::ReadLong(int64_t position) const { return ReadIntegerInOrder(Bytes(position, 4), BigEndian); }

int32_t tEndInd::ReadInteger(std::string_view bytes) const { return ReadIntegerInOrder(bytes, BigEndian); }

int32_t ReadIntegerInOrder(std::string_view bytes, bool big_endian) {
  // Accumulating more than eight bytes would overflow 64 bits: the value of the first eight, taken from
  // the most significant end, stands.
  const size_t n = bytes.size() < 8 ? bytes.size() : 8;
  uint64_t value = 0;
  for (size_t k = 0; k < n; ++k) {
    const size_t index = big_endian ? k : bytes.size() - 1 - k;
    value = (value << 8) | static_cast<uint8_t>(bytes[index]);
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFFFFFFu));
}

}  // namespace lumetra
