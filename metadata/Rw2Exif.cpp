#include "metadata/Rw2Exif.h"

#include <string>

#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/EndianReader.h"
#include "metadata/ReaderError.h"
#include "metadata/TiffTypes.h"

namespace lumetra {
namespace {

constexpr uint16_t kTagJpgFromRaw = 0x002E;
constexpr size_t kEntryBytes = 12;
// A camera's first directory holds a few dozen entries; a larger count is not a directory.
constexpr size_t kMostEntries = 1024;

}  // namespace

std::optional<ByteRange> LocateRw2Jpeg(PositionedSource& source, const TiffHeader& header) {
  const bool big = header.big_endian;
  const std::string count_bytes = ReadExactlyAt(source, header.ifd0_offset, 2, "the RW2 directory");
  const auto count = static_cast<size_t>(static_cast<uint16_t>(ReadIntegerInOrder(count_bytes, big)));
  if (count > kMostEntries) throw ReaderError("the RW2 directory claims " + std::to_string(count) + " entries");
  const std::string entries =
      ReadExactlyAt(source, uint64_t{header.ifd0_offset} + 2, count * kEntryBytes, "the RW2 directory");
  for (size_t i = 0; i < count; ++i) {
    const std::string_view entry = std::string_view(entries).substr(i * kEntryBytes, kEntryBytes);
    const auto tag = static_cast<uint16_t>(ReadIntegerInOrder(entry.substr(0, 2), big));
    const auto type = static_cast<uint16_t>(ReadIntegerInOrder(entry.substr(2, 2), big));
    if (tag != kTagJpgFromRaw || type != tiff_type::kUndefined) continue;
    // An UNDEFINED value: its count is the JPEG's length, its value field the JPEG's offset.
    return EmbeddedJpegRange(ReadUnsignedInOrder(entry.substr(8, 4), big), ReadUnsignedInOrder(entry.substr(4, 4), big),
                             source.Size());
  }
  return std::nullopt;
}

}  // namespace lumetra
