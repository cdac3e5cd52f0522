#pragma once

#include <cstdint>
#include <span>

#include "metadata/TagEntry.h"

namespace lumetra {

/// The Exif and TIFF tags in ascending tag order (255 rows), the last one "Unknown" with tag 0. Rows
/// without a description get one made from the name. Built once per process, safe from any thread.
[[nodiscard]] std::span<const TTagEntry> MainTagTable();
/// The GPS tags 0x00 to 0x1E (31 rows).
[[nodiscard]] std::span<const TTagEntry> GpsTagTable();
/// An all-empty entry: what a lookup returns when it finds nothing.
[[nodiscard]] const TTagEntry& EmptyEntry();

/// The table row for `tag` in the table of `kind`; with several rows for one tag the last one; the
/// main table's final "Unknown" row never matches. `EmptyEntry` when there is none.
[[nodiscard]] const TTagEntry& FindTableRow(uint16_t tag, DirectoryKind kind);

/// A description made from a tag name: a blank before each capital letter A-Z, unless the character
/// before it is a capital or the first one ("ExposureTime" -> "Exposure Time", "FNumber" unchanged).
[[nodiscard]] std::string BuildDescription(const std::string& name);

}  // namespace lumetra
