#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "metadata/MakerTables.h"
#include "metadata/ReaderContext.h"

namespace lumetra {

/// Where offsets stored in a maker note count from.
enum class MakerOffsetRule {
  /// The TIFF header of the data the maker note came from.
  kTiffHeader,
  /// The maker note's own TIFF header at its byte 10 (Nikon's third layout).
  kOwnTiffHeader,
  /// The maker note's first byte (Fujifilm).
  kMakerNoteStart,
};

/// How one maker lays out its note: the table, the byte the directory starts at, the offset rule, and
/// the base for values that lie outside the note.
struct MakerLayout {
  std::span<const MakerRow> table;
  int64_t start = 0;
  MakerOffsetRule offset_rule = MakerOffsetRule::kTiffHeader;
  int64_t fallback_base = 0;
  /// Fujifilm writes its note little-endian whatever the Exif byte order.
  bool little_endian = false;
  /// Canon ends its note with a trailer: its byte-order mark ("II*\0" or "MM\0*") and the 32-bit TIFF
  /// offset it was written at. When that offset differs from where the note now sits (an editor moved
  /// it), the note's offsets count from where it was written. No trailer, or one in the other byte
  /// order, leaves the offsets as they are.
  bool origin_trailer = false;
  /// The note says its own byte order ("II" or "MM" after Olympus' header): big-endian when set.
  bool big_endian = false;
  /// An entry with this tag (when not 0) points to a directory of the note laid out by the same rule, read
  /// with `sub_table` (Olympus' equipment).
  uint16_t sub_directory_tag = 0;
  std::span<const MakerRow> sub_table{};
  /// The 18th entry may be the lens text; not so in a sub-directory.
  bool lens_entry = true;
};

/// What the maker-note step reads of the directory reader that met the MakerNote tag, and the walk it
/// hands the note to. `TImageInfo` is one; the maker-note code needs nothing else of it.
class MakerNoteHost : public NamedTagSink {
 public:
  /// The data is a TIFF-like file's rather than a JPEG's Exif segment.
  bool IsTiff = false;
  /// Make and Model texts, cut to 32 and 40 characters.
  std::string CameraMake;
  std::string CameraModel;
  /// The first 6 bytes of the ExifVersion value ("0220").
  std::string VersionText;
  /// The MakerNote value's bytes, inside the Exif data (which outlives the reader), and their 1-based
  /// position there.
  std::string_view MakerNoteRaw;
  int64_t MakerNotePos = 0;

  /// Walks a maker note's directory (`bytes`, laid out as `layout` says; `maker_offset` places TIFF
  /// offsets in the note) and lists its entries.
  virtual void ProcessMakerDirectory(std::string_view bytes, const MakerLayout& layout, int64_t maker_offset) = 0;
  [[nodiscard]] virtual ReaderContext& Context() const = 0;

 protected:
  ~MakerNoteHost() = default;
};

/// Reads the maker note of one MakerNote tag: recognises the maker from the Make text, picks its table and
/// layout, and lists the note's entries in the reader's tag list. Lives while that tag is handled.
class TmsInfo {
 public:
  TmsInfo(bool is_tiff, MakerNoteHost& image_info);

  /// Runs the maker's rule; true when the maker was recognised (even if its note then proved broken).
  bool ProcessMakerNote();

  bool IsTiff;
  MakerNoteHost& ImageInfo;
  /// The maker note's 1-based position in the buffer, plus 16 for a TIFF-like file, so that a TIFF
  /// offset X lies at maker-note position X + 10 - MakerOffset in both cases.
  int64_t MakerOffset;
};

}  // namespace lumetra
