#include "metadata/RafExif.h"

#include <string>

#include "metadata/ByteSource.h"
#include "metadata/EndianReader.h"
#include "metadata/ReaderError.h"

namespace lumetra {
namespace {

// The header holds, big-endian, the embedded JPEG's offset at byte 84 and its length at byte 88.
constexpr uint64_t kJpegOffsetField = 84;
constexpr size_t kHeaderBytes = 92;

uint64_t BigEndian32(std::string_view bytes, size_t pos) { return ReadUnsignedInOrder(bytes.substr(pos, 4), true); }

}  // namespace

std::optional<ByteRange> EmbeddedJpegRange(uint64_t offset, uint64_t length, uint64_t file_size) {
  if (length == 0) return std::nullopt;
  if (offset > file_size || length > file_size - offset) {
    throw ReaderError("the embedded JPEG at " + std::to_string(offset) + " (" + std::to_string(length) +
                      " bytes) lies outside the file of " + std::to_string(file_size) + " bytes");
  }
  return ByteRange{offset, length};
}

std::optional<ByteRange> LocateRafJpeg(PositionedSource& source) {
  const std::string header = ReadExactlyAt(source, 0, kHeaderBytes, "the RAF header");
  return EmbeddedJpegRange(BigEndian32(header, kJpegOffsetField), BigEndian32(header, kJpegOffsetField + 4),
                           source.Size());
}

}  // namespace lumetra
