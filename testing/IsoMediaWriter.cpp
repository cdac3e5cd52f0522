#include "testing/IsoMediaWriter.h"

#include <algorithm>
#include <stdexcept>

namespace lumetra::testing {
namespace {

// Filler that ends up between the extents of a split Exif item, so that joining them is tested.
constexpr std::string_view kFiller = "-filler-";
constexpr std::string_view kPicture = "picture bytes of the primary image";

std::string BigEndian(uint64_t value, size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[size - 1 - i] = static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

std::string InfeBox(uint32_t id, std::string_view type) {
  const bool wide = id > 0xFFFF;
  return IsoFullBox("infe", wide ? 3 : 2, BigEndian(id, wide ? 4 : 2) + BigEndian(0, 2) + std::string(type) + '\0');
}

struct Extent {
  uint64_t offset;
  uint64_t length;
};

std::string IlocEntry(const HeifLayout& layout, uint32_t id, uint64_t base, const std::vector<Extent>& extents) {
  std::string entry = BigEndian(id, layout.iloc_version < 2 ? 2 : 4);
  if (layout.iloc_version != 0) entry += BigEndian(layout.in_idat && id == layout.exif_item_id ? 1 : 0, 2);
  entry += BigEndian(0, 2) + BigEndian(base, layout.base_offset_size) + BigEndian(extents.size(), 2);
  for (const Extent& extent : extents) {
    entry += BigEndian(1, layout.index_size) + BigEndian(extent.offset, layout.offset_size) +
             BigEndian(extent.length, layout.length_size);
  }
  return entry;
}

}  // namespace

std::string IsoBox(std::string_view type, std::string_view payload) {
  if (type.size() != 4) throw std::invalid_argument("a box type has four characters");
  return BigEndian(8 + payload.size(), 4) + std::string(type) + std::string(payload);
}

std::string IsoLargeBox(std::string_view type, std::string_view payload) {
  return BigEndian(1, 4) + std::string(type) + BigEndian(16 + payload.size(), 8) + std::string(payload);
}

std::string IsoFullBox(std::string_view type, uint8_t version, std::string_view payload) {
  return IsoBox(type, std::string(1, static_cast<char>(version)) + std::string(3, '\0') + std::string(payload));
}

std::string IsoUuidBox(std::string_view user_type, std::string_view payload) {
  if (user_type.size() != 16) throw std::invalid_argument("a user type has 16 bytes");
  return IsoBox("uuid", std::string(user_type) + std::string(payload));
}

std::string FtypBox(std::string_view major_brand, const std::vector<std::string>& compatible_brands) {
  std::string payload = std::string(major_brand) + BigEndian(0, 4);
  for (const std::string& brand : compatible_brands) payload += brand;
  return IsoBox("ftyp", payload);
}

std::string BuildHeif(const std::optional<std::string>& tiff, const HeifLayout& layout) {
  const std::string ftyp = FtypBox(layout.major_brand, {"mif1", layout.major_brand});
  std::string item;
  if (tiff) item = BigEndian(layout.exif_prefix.size(), 4) + layout.exif_prefix + *tiff;

  // The item's parts, in the order they are written, each after a filler.
  std::vector<std::string> parts;
  const size_t count = static_cast<size_t>(std::max(layout.extents, 1));
  for (size_t i = 0, pos = 0; i < count; ++i) {
    const size_t length = i + 1 == count ? item.size() - pos : item.size() / count;
    parts.push_back(item.substr(pos, length));
    pos += length;
  }

  // The meta box's size does not depend on the offsets it holds, so it is built twice: once to learn
  // where mdat's payload starts, once with the true offsets.
  auto meta_with = [&](uint64_t data_start) {
    std::string infos = BigEndian(tiff ? 2 : 1, 2) + InfeBox(1, "hvc1");
    if (tiff) infos += InfeBox(layout.exif_item_id, "Exif");
    const bool has_base = layout.base_offset_size != 0;
    std::string locations = std::string(1, static_cast<char>(layout.offset_size << 4 | layout.length_size)) +
                            std::string(1, static_cast<char>(layout.base_offset_size << 4 | layout.index_size)) +
                            BigEndian(tiff ? 2 : 1, layout.iloc_version < 2 ? 2 : 4);
    locations += IlocEntry(layout, 1, has_base ? data_start : 0,
                           {{has_base ? 0 : data_start, static_cast<uint64_t>(kPicture.size())}});
    std::string idat;
    if (tiff) {
      // Exif parts follow the picture in mdat, or fill idat, each after a filler.
      const uint64_t item_region_start = layout.in_idat ? 0 : data_start + kPicture.size();
      // Without extent offsets the base offset alone must point at the item's one extent.
      const uint64_t base = has_base ? item_region_start + (layout.offset_size == 0 ? kFiller.size() : 0) : 0;
      std::vector<Extent> extents;
      uint64_t pos = item_region_start;
      for (const std::string& part : parts) {
        pos += kFiller.size();
        extents.push_back({pos - base, part.size()});
        pos += part.size();
        idat += std::string(kFiller) + part;
      }
      locations += IlocEntry(layout, layout.exif_item_id, base, extents);
    }
    std::string children = IsoFullBox("hdlr", 0, std::string(4, '\0') + "pict" + std::string(13, '\0')) +
                           IsoFullBox("pitm", 0, BigEndian(1, 2)) + IsoFullBox("iinf", 0, infos) +
                           IsoFullBox("iloc", layout.iloc_version, locations);
    if (layout.in_idat && tiff) children += IsoBox("idat", idat);
    return IsoFullBox("meta", 0, children);
  };
  const uint64_t data_start = ftyp.size() + meta_with(0).size() + 8;
  std::string mdat(kPicture);
  if (tiff && !layout.in_idat) {
    for (const std::string& part : parts) mdat += std::string(kFiller) + part;
  }
  return ftyp + meta_with(data_start) + IsoBox("mdat", mdat);
}

std::string CanonUuid() { return std::string("\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48", 16); }

std::string BuildCr3(const std::vector<std::pair<std::string, std::string>>& canon_boxes) {
  std::string canon = IsoBox("CNCV", "CanonCR3_001/00.09.00/00.00.00");
  for (const auto& [type, payload] : canon_boxes) canon += IsoBox(type, payload);
  return FtypBox("crx ", {"crx ", "isom"}) + IsoBox("moov", IsoUuidBox(CanonUuid(), canon)) +
         IsoBox("mdat", "raw picture data");
}

std::string BuildRaf(std::string_view jpeg, std::optional<uint32_t> jpeg_offset) {
  std::string header = "FUJIFILMCCD-RAW 0201FF383501";
  header.resize(84, '\0');
  const size_t true_offset = 148;
  header += BigEndian(jpeg_offset.value_or(true_offset), 4) + BigEndian(jpeg.size(), 4);
  header.resize(true_offset, '\0');
  return header + std::string(jpeg);
}

}  // namespace lumetra::testing
