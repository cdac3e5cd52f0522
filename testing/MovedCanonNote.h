#pragma once

#include <cstdint>
#include <string>

#include "testing/ExifWriter.h"

namespace lumetra::testing {

/// The trailer at the end of a Canon maker note: the note's byte-order mark and the TIFF offset it was
/// written at.
enum class CanonTrailer {
  /// No trailer, as older cameras write their notes.
  kNone,
  /// A trailer in the note's byte order.
  kSameOrder,
  /// A trailer in the other byte order, not the note's own, naming a place 16 bytes after where the note
  /// was written.
  kOtherOrder,
};

/// A photo from a Canon camera whose maker note an editor may have moved, and what its camera settings
/// record.
struct MovedCanonPhoto {
  ByteOrder order = ByteOrder::kLittle;
  CanonTrailer trailer = CanonTrailer::kSameOrder;
  /// How many bytes later (negative: earlier) the note sits than where it was written. Its offsets, and
  /// its trailer, name the place it was written.
  int32_t moved_by = 0;
  uint16_t drive_mode = 1;  // continuous
  uint16_t focus_mode = 3;  // manual focus
  uint16_t short_focal = 18;
  uint16_t long_focal = 55;
};

/// A small structural JPEG (324 bytes) holding one Exif segment: IFD0 with Make "Canon", Model
/// "Canon EOS 40D" and the Exif offset; an Exif directory with ExposureTime 1/60 s, FNumber 5.6, the
/// MakerNote, MeteringMode 5 (pattern), Flash 16 (off) and FocalLength 35 mm. The note lists the camera
/// settings (element 5 drive mode, 7 focus mode, 23/24 long/short focal, 25 focal units 1) and ImageType
/// "IMG:EOS 40D JPEG", both stored by offset, then the trailer. Throws std::invalid_argument when the
/// note would have been written before the TIFF header.
[[nodiscard]] std::string BuildMovedCanonPhoto(const MovedCanonPhoto& photo);

/// The Exif APP1 payload of BuildMovedCanonPhoto: "Exif\0\0" and the TIFF structure, whose part after the
/// first 6 bytes is a TIFF-like file with the same note. Throws like BuildMovedCanonPhoto.
[[nodiscard]] std::string BuildMovedCanonExif(const MovedCanonPhoto& photo);

/// The TIFF offset at which the maker note of BuildMovedCanonPhoto(photo) sits.
[[nodiscard]] uint32_t MovedCanonNoteOffset(const MovedCanonPhoto& photo);

}  // namespace lumetra::testing
