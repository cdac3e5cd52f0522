#pragma once

#include <string>
#include <string_view>

#include "survey/PhotoTags.h"

namespace lumetra {

class TimgData;

/// Reads the photo at `path` selectively with the calling thread's reader, which keeps the room it made from photo to
/// photo and nothing of what it read. A file that cannot be opened or read, or is not a JPEG/TIFF with Exif, gives
/// `has_exif` false. The XMP packet's lens is taken only when
/// the Exif and maker note describe no lens. Never throws for a broken file.
[[nodiscard]] PhotoTags ReadPhotoTags(const std::string& path);
/// The same read into `tags`, cleared first: a reading thread that keeps its PhotoTags from photo to photo
/// keeps their texts' storage too.
void ReadPhotoTagsInto(const std::string& path, PhotoTags& tags);

/// The same read of a photo's bytes held in memory, named by `extension` (".jpg", ...).
[[nodiscard]] PhotoTags ReadPhotoTagsOfBytes(std::string_view bytes, std::string_view extension);

/// Adds to `tags`, read by `data`, the lens properties of the XMP packet `data` holds, when nothing else in
/// `tags` describes the lens; a packet after the Exif segment only for a photo saved again after it was taken
/// (its DateTime a real moment other than its DateTimeOriginal), as the survey's read looks for it.
void AddXmpLens(const TimgData& data, PhotoTags& tags);

}  // namespace lumetra
