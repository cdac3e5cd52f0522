#pragma once

#include <cstddef>
#include <cstdint>

namespace lumetra {

class ByteSource;

/// Reads an Exif segment front to back into its storage, in as few reads as it can, and only as far as a
/// selective read needs: up to the thumbnail picture that IFD1 points to, which the directory walk never
/// reads and which is most of a camera's Exif segment. The segment is its two length bytes, then the
/// payload ("Exif\0\0" and the TIFF structure). Bytes a short file does not supply read as zero.
class ExifSegmentFill {
 public:
  /// `segment` holds `length` bytes, of which the first `stored` are already read.
  ExifSegmentFill(ByteSource& source, char* segment, size_t length, size_t stored)
      : source_(source), segment_(segment), length_(length), stored_(stored) {}

  /// Reads up to the thumbnail (or a little into it), or the whole segment when no thumbnail is found.
  /// Returns the bytes stored.
  size_t ReadToThumbnail();
  /// Reads the rest of the segment, and where the source buffers, the walk's next marker after it.
  void ReadRest();
  [[nodiscard]] size_t Stored() const { return stored_; }

 private:
  /// Where the thumbnail starts in the segment; 0 when it cannot be found.
  size_t ThumbnailStart();
  /// Makes the first `end` bytes stored; false when the segment is shorter.
  bool ReadTo(size_t end);
  [[nodiscard]] uint32_t Word(size_t index) const;
  [[nodiscard]] uint32_t Long(size_t index) const;

  ByteSource& source_;
  char* segment_;
  size_t length_;
  size_t stored_;
  bool big_endian_ = false;
};

}  // namespace lumetra
