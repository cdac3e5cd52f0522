#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// Where the parts of an Exif payload made by `ExifWithThumbnail` stand, as TIFF offsets.
struct ThumbnailLayout {
  /// The first byte of the thumbnail picture, right after the TIFF structure.
  uint32_t thumbnail = 0;
  /// The first byte after the thumbnail, where the `behind` bytes stand.
  uint32_t behind = 0;
};

/// An Exif APP1 payload ("Exif\0\0", then the TIFF structure) as cameras write it: IFD0 and its
/// sub-directories, IFD1 pointing to a thumbnail picture of `thumbnail_size` bytes that follows them, then
/// `behind` (bytes a broken or unusual file keeps after the thumbnail). `ifd0` makes IFD0 from the layout,
/// so that its entries can point at the thumbnail or at the bytes behind it.
[[nodiscard]] std::string ExifWithThumbnail(const std::function<Ifd(const ThumbnailLayout&)>& ifd0, ByteOrder order,
                                            uint32_t thumbnail_size, const std::string& behind = {});

}  // namespace lumetra::testing
