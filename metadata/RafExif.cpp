#include "metadata/RafExif.h"

#include <string>

#include "metadata/ByteSource.h"
#include "metadata/ReaderError.h"

namespace lumetra {
namespace {

// The header holds, big-endian, the embedded JPEG's offset at byte 84 and its length at byte 88.
constexpr uint64_t kJpegOffsetField = 84;
constexpr size_t kHeaderBytes = 92;

uint32_t BigEndian32(const std::string& bytes, size_t pos) {
  uint32_t value = 0;
  for (size_t i = pos; i < pos + 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[i]);
  return value;
}

}  // namespace

std::optional<ByteRange> LocateRafJpeg(PositionedSource& source) {
  const std::string header = ReadExactlyAt(source, 0, kHeaderBytes, "the RAF header");
  const ByteRange jpeg{BigEndian32(header, kJpegOffsetField), BigEndian32(header, kJpegOffsetField + 4)};
  if (jpeg.length == 0) return std::nullopt;
  const uint64_t size = source.Size();
  if (jpeg.offset > size || jpeg.length > size - jpeg.offset) {
    throw ReaderError("the embedded JPEG at " + std::to_string(jpeg.offset) + " (" + std::to_string(jpeg.length) +
                      " bytes) lies outside the file of " + std::to_string(size) + " bytes");
  }
  return jpeg;
}

}  // namespace lumetra
