#include "metadata/IsoMediaExif.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/EndianReader.h"
#include "metadata/RafExif.h"
#include "metadata/ReaderError.h"

namespace lumetra {
namespace {

using namespace std::string_view_literals;
namespace limits = iso_media_limits;

// The user type of the `uuid` box in which Canon keeps a CR3 file's metadata boxes.
constexpr std::string_view kCanonUuid = "\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48"sv;

// Boxes that hold only boxes: searched through for Canon's `uuid` box.
constexpr std::array kContainerTypes{"moov"sv, "trak"sv, "mdia"sv, "minf"sv, "stbl"sv, "udta"sv, "edts"sv, "dinf"sv};

struct Box {
  std::string type;
  // The 16-byte user type of a `uuid` box; empty for other boxes.
  std::string user_type;
  uint64_t start = 0;
  // The first byte after the header.
  uint64_t payload = 0;
  uint64_t end = 0;
};

// One item's place in the `iloc` table.
struct ItemLocation {
  uint32_t construction_method = 0;
  uint32_t data_reference_index = 0;
  uint64_t base_offset = 0;
  std::vector<ByteRange> extents;
};

std::string Printable(std::string_view type) {
  std::string text(type);
  for (char& c : text) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return text;
}

std::string Decimal(uint64_t value) { return std::to_string(value); }

uint64_t BigEndianValue(std::string_view bytes) { return ReadUnsignedInOrder(bytes, true); }

// Big-endian fields of a box read into memory, front to back.
class FieldCursor {
 public:
  FieldCursor(std::string_view bytes, std::string_view what) : bytes_(bytes), what_(what) {}

  // An unsigned field of `size` bytes (0 to 8); a field of size 0 reads as 0.
  [[nodiscard]] uint64_t Read(size_t size) { return BigEndianValue(Take(size)); }
  void Skip(uint64_t count) {
    if (count > bytes_.size() - position_) throw Short();
    position_ += static_cast<size_t>(count);
  }
  [[nodiscard]] size_t position() const { return position_; }

 private:
  std::string_view Take(size_t count) {
    if (count > bytes_.size() - position_) throw Short();
    const std::string_view taken = bytes_.substr(position_, count);
    position_ += count;
    return taken;
  }
  [[nodiscard]] ReaderError Short() const { return ReaderError(std::string(what_) + " ends inside a field"); }

  std::string_view bytes_;
  std::string_view what_;
  size_t position_ = 0;
};

// The header of the box at `pos`, checked to lie within its parent, which ends at `end`.
Box ReadBoxHeader(PositionedSource& source, uint64_t pos, uint64_t end) {
  Box box;
  const std::string header = ReadExactlyAt(source, pos, 8, "a box header");
  box.type = header.substr(4, 4);
  box.start = pos;
  uint64_t size = BigEndianValue(std::string_view(header).substr(0, 4));
  uint64_t header_size = 8;
  if (size == 1) {
    if (end - pos < 16) throw ReaderError("the box '" + Printable(box.type) + "' at " + Decimal(pos) + " is cut short");
    size = BigEndianValue(ReadExactlyAt(source, pos + 8, 8, "a box size"));
    header_size = 16;
  } else if (size == 0) {
    size = end - pos;  // the last box of its parent, running to the parent's end
  }
  if (size < header_size) {
    throw ReaderError("the box '" + Printable(box.type) + "' at " + Decimal(pos) + " declares " + Decimal(size) +
                      " bytes, fewer than its header");
  }
  if (size > end - pos) {
    throw ReaderError("the box '" + Printable(box.type) + "' at " + Decimal(pos) + " (" + Decimal(size) +
                      " bytes) runs past its parent, which ends at " + Decimal(end));
  }
  if (box.type == "uuid"sv) {
    if (size - header_size < 16)
      throw ReaderError("the uuid box at " + Decimal(pos) + " has no room for its user type");
    box.user_type = ReadExactlyAt(source, pos + header_size, 16, "a box's user type");
    header_size += 16;
  }
  box.payload = pos + header_size;
  box.end = pos + size;
  return box;
}

// Walks the boxes of [begin, end) in file order until `stop` accepts one, and returns that one. Fewer
// than 8 bytes left over at the end (padding, a file cut inside a header) end the walk.
std::optional<Box> WalkChildren(PositionedSource& source, uint64_t begin, uint64_t end,
                                const std::function<bool(const Box&)>& stop) {
  size_t count = 0;
  for (uint64_t pos = begin; pos < end && end - pos >= 8;) {
    if (++count > limits::kMaxBoxesPerLevel) {
      throw ReaderError("more than " + Decimal(limits::kMaxBoxesPerLevel) + " boxes in one parent");
    }
    Box box = ReadBoxHeader(source, pos, end);
    if (stop(box)) return box;
    pos = box.end;
  }
  return std::nullopt;
}

bool IsContainer(std::string_view type) {
  for (const std::string_view container : kContainerTypes) {
    if (type == container) return true;
  }
  return false;
}

// The first box in file order, searched depth-first through the container boxes, that `wanted` accepts.
std::optional<Box> FindBox(PositionedSource& source, uint64_t begin, uint64_t end, int depth,
                           const std::function<bool(const Box&)>& wanted) {
  if (depth > limits::kMaxDepth) {
    throw ReaderError("boxes are nested deeper than " + Decimal(limits::kMaxDepth) + " levels");
  }
  std::optional<Box> found;
  static_cast<void>(WalkChildren(source, begin, end, [&](const Box& box) {
    if (wanted(box)) {
      found = box;
    } else if (IsContainer(box.type)) {
      found = FindBox(source, box.payload, box.end, depth + 1, wanted);
    }
    return found.has_value();
  }));
  return found;
}

// The payload of a box that is read whole.
std::string ReadPayload(PositionedSource& source, const Box& box, uint64_t limit) {
  const uint64_t size = box.end - box.payload;
  if (size > limit) {
    throw ReaderError("the box '" + Printable(box.type) + "' at " + Decimal(box.start) + " holds " + Decimal(size) +
                      " bytes, more than the " + Decimal(limit) + " read");
  }
  return ReadExactlyAt(source, box.payload, static_cast<size_t>(size), "a box");
}

// The item ID of the first item of type "Exif" in the `iinf` box's payload. Item info entries of
// versions 0 and 1 carry no type and are passed over.
std::optional<uint32_t> FindExifItem(const std::string& iinf) {
  FieldCursor fields(iinf, "the iinf box");
  const uint64_t version = fields.Read(1);
  fields.Skip(3);
  const uint64_t count = fields.Read(version == 0 ? 2 : 4);
  if (count > limits::kMaxItems) throw ReaderError("the iinf box lists " + Decimal(count) + " items");
  MemorySource entries(iinf);
  std::optional<uint32_t> item;
  static_cast<void>(WalkChildren(entries, fields.position(), iinf.size(), [&](const Box& box) {
    if (box.type != "infe"sv) return false;
    // Version, flags, item ID (2 bytes, 4 from version 3), protection index, item type.
    const std::string entry =
        ReadExactlyAt(entries, box.payload, std::min<uint64_t>(box.end - box.payload, 14), "an infe box");
    FieldCursor entry_fields(entry, "an infe box");
    const uint64_t entry_version = entry_fields.Read(1);
    if (entry_version < 2) return false;
    entry_fields.Skip(3);
    const uint64_t id = entry_fields.Read(entry_version == 2 ? 2 : 4);
    entry_fields.Skip(2);
    if (entry.substr(entry_fields.position()).substr(0, 4) != "Exif"sv) return false;
    item = static_cast<uint32_t>(id);
    return true;
  }));
  return item;
}

// The location of item `wanted` in the `iloc` box's payload (versions 0 to 2); none when it is not listed.
std::optional<ItemLocation> FindItemLocation(const std::string& iloc, uint32_t wanted) {
  FieldCursor fields(iloc, "the iloc box");
  const uint64_t version = fields.Read(1);
  if (version > 2) throw ReaderError("the iloc box has version " + Decimal(version));
  fields.Skip(3);
  const uint64_t sizes = fields.Read(1);
  const uint64_t more_sizes = fields.Read(1);
  const size_t offset_size = sizes >> 4;
  const size_t length_size = sizes & 0x0F;
  const size_t base_offset_size = more_sizes >> 4;
  const size_t index_size = version == 0 ? 0 : more_sizes & 0x0F;
  for (const size_t size : {offset_size, length_size, base_offset_size, index_size}) {
    if (size != 0 && size != 4 && size != 8)
      throw ReaderError("the iloc box has a field of " + Decimal(size) + " bytes");
  }
  const uint64_t count = fields.Read(version < 2 ? 2 : 4);
  if (count > limits::kMaxItems) throw ReaderError("the iloc box lists " + Decimal(count) + " items");
  for (uint64_t i = 0; i < count; ++i) {
    ItemLocation location;
    const uint64_t id = fields.Read(version < 2 ? 2 : 4);
    if (version != 0) location.construction_method = static_cast<uint32_t>(fields.Read(2) & 0x0F);
    location.data_reference_index = static_cast<uint32_t>(fields.Read(2));
    location.base_offset = fields.Read(base_offset_size);
    const uint64_t extent_count = fields.Read(2);
    if (id != wanted) {
      fields.Skip(extent_count * (index_size + offset_size + length_size));
      continue;
    }
    if (extent_count > limits::kMaxExtents) {
      throw ReaderError("the Exif item has " + Decimal(extent_count) + " extents");
    }
    for (uint64_t e = 0; e < extent_count; ++e) {
      fields.Skip(index_size);
      const uint64_t offset = fields.Read(offset_size);
      location.extents.push_back({offset, fields.Read(length_size)});
    }
    return location;
  }
  return std::nullopt;
}

// The item's bytes, its extents joined in order. `region` is where its offsets count from: the file
// (construction method 0) or the `idat` box's payload (method 1).
std::string ReadItem(PositionedSource& source, const ItemLocation& location, const ByteRange& region) {
  std::string item;
  for (const ByteRange& extent : location.extents) {
    if (extent.offset > std::numeric_limits<uint64_t>::max() - location.base_offset) {
      throw ReaderError("an extent of the Exif item has an offset beyond 64 bits");
    }
    const uint64_t offset = location.base_offset + extent.offset;
    if (offset > region.length) {
      throw ReaderError("an extent of the Exif item starts at " + Decimal(offset) + ", past the end of its data (" +
                        Decimal(region.length) + " bytes)");
    }
    // Length 0 stands for the rest of the data.
    const uint64_t length = extent.length == 0 ? region.length - offset : extent.length;
    if (length > region.length - offset) {
      throw ReaderError("an extent of the Exif item at " + Decimal(offset) + " (" + Decimal(length) +
                        " bytes) runs past the end of its data (" + Decimal(region.length) + " bytes)");
    }
    if (length > limits::kMaxExifBytes - item.size()) {
      throw ReaderError("the Exif item holds more than " + Decimal(limits::kMaxExifBytes) + " bytes");
    }
    item += ReadExactlyAt(source, region.offset + offset, static_cast<size_t>(length), "the Exif item");
  }
  return item;
}

// The TIFF structure of an Exif item: its first four bytes give, big-endian, how many bytes to skip after
// them to reach the TIFF header (usually those of "Exif\0\0").
std::string TiffOfExifItem(std::string item) {
  if (item.size() < 4) throw ReaderError("the Exif item has " + Decimal(item.size()) + " bytes, no header offset");
  const uint64_t skip = BigEndianValue(std::string_view(item).substr(0, 4));
  if (skip > item.size() - 4) {
    throw ReaderError("the Exif item's TIFF header offset " + Decimal(skip) + " lies past its " + Decimal(item.size()) +
                      " bytes");
  }
  item.erase(0, 4 + static_cast<size_t>(skip));
  // Some writers give offset 0 and still put "Exif\0\0" before the header, as in a JPEG segment.
  if (!ParseTiffHeader(item) && std::string_view(item).substr(0, 6) == "Exif\0\0"sv) item.erase(0, 6);
  return item;
}

}  // namespace

std::optional<std::string> ReadIsoMediaExif(PositionedSource& source) {
  // The Exif item belongs to the file-level meta box; a meta box inside moov (QuickTime's, without a
  // version) describes a track.
  const std::optional<Box> meta =
      WalkChildren(source, 0, source.Size(), [](const Box& box) { return box.type == "meta"sv; });
  if (!meta) return std::nullopt;
  std::optional<Box> iinf;
  std::optional<Box> iloc;
  std::optional<Box> idat;
  // `meta` is a full box: a version and flags come before its children.
  if (meta->end - meta->payload < 4) return std::nullopt;
  static_cast<void>(WalkChildren(source, meta->payload + 4, meta->end, [&](const Box& box) {
    for (auto [type, found] : {std::pair{"iinf"sv, &iinf}, std::pair{"iloc"sv, &iloc}, std::pair{"idat"sv, &idat}}) {
      if (box.type == type && !*found) *found = box;
    }
    return false;
  }));
  if (!iinf) return std::nullopt;
  const std::optional<uint32_t> item = FindExifItem(ReadPayload(source, *iinf, limits::kMaxTableBytes));
  if (!item) return std::nullopt;
  if (!iloc) throw ReaderError("the meta box has an Exif item but no iloc box");
  const std::optional<ItemLocation> location =
      FindItemLocation(ReadPayload(source, *iloc, limits::kMaxTableBytes), *item);
  if (!location) throw ReaderError("the iloc box does not locate the Exif item " + Decimal(*item));
  // An item kept in another file cannot be read from this one.
  if (location->data_reference_index != 0) return std::nullopt;
  ByteRange region{0, source.Size()};
  if (location->construction_method == 1) {
    if (!idat) throw ReaderError("the Exif item lies in an idat box the meta box lacks");
    region = {idat->payload, idat->end - idat->payload};
  } else if (location->construction_method != 0) {
    throw ReaderError("the Exif item is built by construction method " + Decimal(location->construction_method));
  }
  return TiffOfExifItem(ReadItem(source, *location, region));
}

std::optional<Cr3ExifBlocks> ReadCr3Exif(PositionedSource& source) {
  const std::optional<Box> canon = FindBox(
      source, 0, source.Size(), 1, [](const Box& box) { return box.type == "uuid"sv && box.user_type == kCanonUuid; });
  if (!canon) return std::nullopt;
  Cr3ExifBlocks blocks;
  const std::array kBlocks{std::pair{"CMT1"sv, &Cr3ExifBlocks::ifd0}, std::pair{"CMT2"sv, &Cr3ExifBlocks::exif},
                           std::pair{"CMT3"sv, &Cr3ExifBlocks::maker_note}, std::pair{"CMT4"sv, &Cr3ExifBlocks::gps}};
  static_cast<void>(WalkChildren(source, canon->payload, canon->end, [&](const Box& box) {
    for (const auto& [type, member] : kBlocks) {
      if (box.type == type && (blocks.*member).empty())
        blocks.*member = ReadPayload(source, box, limits::kMaxExifBytes);
    }
    return false;
  }));
  return blocks;
}

}  // namespace lumetra
