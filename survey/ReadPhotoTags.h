#pragma once

#include <string>

#include "survey/PhotoTags.h"

namespace lumetra {

class TimgData;

/// Reads the photo at `path` selectively with a reader of its own, destroyed before this returns. A file that cannot be
/// opened or read, or is not a JPEG/TIFF with Exif, gives `has_exif` false. The XMP packet is read only when the
/// Exif and maker note describe no lens. Never throws for a broken file.
[[nodiscard]] PhotoTags ReadPhotoTags(const std::string& path);

/// Adds to `tags`, read from the file at `path` by `data`, the lens properties of the XMP packet `data`'s walk
/// found, when nothing else in `tags` describes the lens. A packet that cannot be read adds nothing.
void AddXmpLens(const std::string& path, const TimgData& data, PhotoTags& tags);

}  // namespace lumetra
