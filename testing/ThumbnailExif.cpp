#include "testing/ThumbnailExif.h"

namespace lumetra::testing {
namespace {

constexpr uint16_t kThumbnailOffset = 0x0201;
constexpr uint16_t kThumbnailLength = 0x0202;
constexpr uint16_t kTypeLong = 4;

std::string Tiff(const std::function<Ifd(const ThumbnailLayout&)>& ifd0, ByteOrder order, const ThumbnailLayout& layout,
                 uint32_t thumbnail_size) {
  Ifd ifd1;
  ifd1.Short(0x0103, {6})
      .RawField(kThumbnailOffset, kTypeLong, 1, layout.thumbnail)
      .RawField(kThumbnailLength, kTypeLong, 1, thumbnail_size);
  Ifd first = ifd0(layout);
  first.Next(ifd1);
  return BuildTiff(first, order);
}

}  // namespace

std::string ExifWithThumbnail(const std::function<Ifd(const ThumbnailLayout&)>& ifd0, ByteOrder order,
                              uint32_t thumbnail_size, const std::string& behind) {
  // The offsets are fields of fixed size, so a first build with any offsets gives the structure's size.
  const auto size = static_cast<uint32_t>(Tiff(ifd0, order, {}, thumbnail_size).size());
  const ThumbnailLayout layout{size, size + thumbnail_size};
  std::string thumbnail(thumbnail_size, '\xAB');
  if (thumbnail_size >= 4) thumbnail.replace(0, 2, "\xFF\xD8").replace(thumbnail_size - 2, 2, "\xFF\xD9");
  return std::string("Exif\0\0", 6) + Tiff(ifd0, order, layout, thumbnail_size) + thumbnail + behind;
}

}  // namespace lumetra::testing
