#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lumetra {

class PositionedSource;

/// Limits on what an ISO base media file may make the reader do. Files beyond them are refused
/// (`ReaderError`), so a hostile file costs neither deep recursion, long loops nor large allocations.
namespace iso_media_limits {
/// Boxes inside boxes, searched for Canon's box: it sits on level two in every CR3 file met.
inline constexpr int kMaxDepth = 8;
/// Boxes side by side in one parent: phones write a few dozen items per level.
inline constexpr size_t kMaxBoxesPerLevel = 4096;
/// Items of one `iinf` or `iloc` box: image grids of many tiles stay far below.
inline constexpr uint32_t kMaxItems = 65536;
/// Extents of the Exif item: writers use one, rarely two.
inline constexpr uint32_t kMaxExtents = 64;
/// The Exif data, and each of Canon's TIFF boxes: real ones are tens of kilobytes.
inline constexpr uint64_t kMaxExifBytes = 4 * 1024 * 1024;
/// A table box read whole (`iinf`, `iloc`): a few kilobytes in real files.
inline constexpr uint64_t kMaxTableBytes = 4 * 1024 * 1024;
}  // namespace iso_media_limits

/// The Exif of a HEIC, HEIF or AVIF file: the bytes of the `meta` box's Exif item from its TIFF header on
/// (a TIFF structure whose offsets count from its first byte). Reads box headers, the `iinf` and `iloc`
/// tables and the item itself, nothing of the pictures. None when the file has no Exif item (or keeps it
/// in another file); throws `ReaderError` for a box structure that breaks the file's bounds or the limits.
[[nodiscard]] std::optional<std::string> ReadIsoMediaExif(PositionedSource& source);

/// Canon CR3 Exif: four whole TIFF structures, each with offsets from its own header.
struct Cr3ExifBlocks {
  /// CMT1: IFD0.
  std::string ifd0;
  /// CMT2: the Exif directory.
  std::string exif;
  /// CMT3: Canon's maker note directory.
  std::string maker_note;
  /// CMT4: the GPS directory.
  std::string gps;
};

/// The TIFF blocks of a CR3 file, from the boxes CMT1 to CMT4 of Canon's `uuid` box in `moov`; a block the
/// file lacks is empty. None when the file has no such `uuid` box; throws `ReaderError` like
/// `ReadIsoMediaExif`.
[[nodiscard]] std::optional<Cr3ExifBlocks> ReadCr3Exif(PositionedSource& source);

}  // namespace lumetra
