#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumetra::testing {

/// An ISO base media box: a 32-bit big-endian size, the four-character type, the payload.
[[nodiscard]] std::string IsoBox(std::string_view type, std::string_view payload);
/// A box whose size is written as 1 followed by a 64-bit size.
[[nodiscard]] std::string IsoLargeBox(std::string_view type, std::string_view payload);
/// A full box: the payload preceded by a version byte and three flag bytes.
[[nodiscard]] std::string IsoFullBox(std::string_view type, uint8_t version, std::string_view payload);
/// A `uuid` box with its 16-byte user type.
[[nodiscard]] std::string IsoUuidBox(std::string_view user_type, std::string_view payload);
/// An `ftyp` box: the major brand, minor version 0, the compatible brands.
[[nodiscard]] std::string FtypBox(std::string_view major_brand, const std::vector<std::string>& compatible_brands);

/// How `BuildHeif` lays out a HEIF file's Exif item.
struct HeifLayout {
  std::string major_brand = "heic";
  /// `iloc` version 0, 1 or 2; the field sizes of its entries (0, 4 or 8 bytes). Offsets of size 0 need
  /// a base offset and one extent.
  uint8_t iloc_version = 1;
  uint8_t offset_size = 4;
  uint8_t length_size = 4;
  uint8_t base_offset_size = 0;
  uint8_t index_size = 0;
  /// The Exif item's ID (a 32-bit one needs `iloc_version` 2).
  uint32_t exif_item_id = 2;
  /// The Exif item is cut into this many extents, written in `mdat` with filler bytes between them.
  int extents = 1;
  /// Construction method 1: the Exif item in an `idat` box of `meta` instead of in `mdat`.
  bool in_idat = false;
  /// What the item holds between its 4-byte header offset and the TIFF header.
  std::string exif_prefix = std::string("Exif\0\0", 6);
};

/// A HEIF file: `ftyp`, `meta` (`hdlr`, `pitm`, `iinf` with an image item 1 and the Exif item, `iloc`),
/// then `mdat` holding some picture bytes and, last in the file, the Exif item: the 4-byte offset of the
/// TIFF header, `exif_prefix`, `tiff`. Without `tiff` the file has no Exif item.
[[nodiscard]] std::string BuildHeif(const std::optional<std::string>& tiff, const HeifLayout& layout = {});

/// A Canon CR3 file: `ftyp` "crx ", `moov` holding Canon's `uuid` box with the given (type, payload)
/// boxes ("CMT1" ... "CMT4"), then `mdat`.
[[nodiscard]] std::string BuildCr3(const std::vector<std::pair<std::string, std::string>>& canon_boxes);

/// Canon's user type of the `uuid` box that holds a CR3 file's metadata.
[[nodiscard]] std::string CanonUuid();

/// A Fujifilm RAF file: its header, whose big-endian fields at bytes 84 and 88 give the offset and length
/// of the embedded `jpeg` that follows (or `jpeg_offset` instead of the true offset), then the JPEG.
[[nodiscard]] std::string BuildRaf(std::string_view jpeg, std::optional<uint32_t> jpeg_offset = std::nullopt);

}  // namespace lumetra::testing
