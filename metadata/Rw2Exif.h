#pragma once

#include <optional>

#include "metadata/RafExif.h"

namespace lumetra {

class PositionedSource;
struct TiffHeader;

/// Where the JPEG a Panasonic RW2 file embeds in its first directory (tag 0x002E) lies. The RW2's own
/// directories hold only part of the Exif (no ISO speed, no maker note); the embedded JPEG carries all of
/// it and is read by the ordinary segment walk, through a `RangeSource`. Reads the first directory only.
/// None when there is no such entry; throws `ReaderError` when the directory or the JPEG lies outside the
/// file.
[[nodiscard]] std::optional<ByteRange> LocateRw2Jpeg(PositionedSource& source, const TiffHeader& header);

}  // namespace lumetra
