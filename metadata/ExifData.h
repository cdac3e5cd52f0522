#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/EndianReader.h"
#include "metadata/FileIdentity.h"
#include "metadata/ImageInfo.h"
#include "metadata/IptcData.h"
#include "metadata/ReaderContext.h"
#include "metadata/TagSelection.h"
#include "metadata/TagTables.h"

namespace lumetra {

class ByteSource;
class RandomAccessSource;
struct TiffHeader;
struct Cr3ExifBlocks;
struct ByteRange;

/// One stored segment: the two length bytes as in the file followed by the payload, the marker code,
/// and the length field's value (which counts the two length bytes).
struct tSection {
  std::string Data;
  int Marker = 0;
  int Size = 0;
};

/// The metadata reader's entry point for one photo file. Reads a JPEG's marker segments up to the image
/// data (keeping the Exif APP1, known by its "Exif\0" header among all of them, the first APP13, the last
/// COM and the last APP0) or a TIFF-like file's
/// first directory, and hands the Exif data to its `TImageInfo`. For the first APP13 it creates a
/// `TIPTCdata` without reading it: the datasets are read when `IptcInfo->ParseIptc` is given that
/// segment's `Data`. Never throws: outcomes are in `ErrorText`.
class TimgData : public tEndInd {
 public:
  explicit TimgData(int build_mode);
  /// A selective read (`BuildSelectedTags`): lists only `selection`'s names, which must outlive the reader,
  /// and keeps no segment but the Exif one.
  explicit TimgData(const TagSelection& selection);
  ~TimgData();
  TimgData(const TimgData&) = delete;
  TimgData& operator=(const TimgData&) = delete;

  /// Reads the file at `path`. A file named as a JPEG (".jpg", ".jpeg", ".jpe") is read as one; any other
  /// is known by its first bytes: JPEG, TIFF and the RAW formats built on it, Fujifilm RAF (its embedded
  /// JPEG), HEIF/HEIC/AVIF (the Exif item) or Canon CR3 (its Exif boxes). True when the read succeeded;
  /// the survey asks `HasExif` instead.
  bool ProcessFile(const std::string& path);
  /// The same read on a file's bytes held in memory, named by `extension` (".jpg", ".tif", ...).
  bool ProcessBytes(std::string_view bytes, std::string_view extension);

  /// True when an Exif segment was taken (even if its walk failed part-way).
  [[nodiscard]] bool HasExif() const { return ExifSection != 0; }
  [[nodiscard]] bool HasAnySegment() const { return ExifSection != 0 || IptcSection != 0 || CommentSection != 0; }
  /// Makes the reader as a new one is, keeping the room it made for bytes and tags (`ProcessFile` and
  /// `ProcessBytes` start with it), so that a reader kept from file to file allocates little.
  void Reset();

  int BuildMode;
  /// The names a selective read lists; none in the other build modes.
  const TagSelection* Selection = nullptr;
  /// Slots 1 to 21 (slot 0 is unused); the JPEG walk uses 1 to 20 for the first segments and the next one
  /// for an Exif segment met after them, a TIFF file slot 1. A selective read
  /// keeps the markers and sizes only: its Exif segment's bytes are in `Buffer`.
  std::array<tSection, 22> Sections{};
  int SectionCount = 0;
  /// Slot numbers of the kept segments; 0 when none.
  int ExifSection = 0;
  int IptcSection = 0;
  int CommentSection = 0;
  int HeaderSection = 0;
  bool IsTiff = false;
  /// "" (no such file), "Not an EXIF file", "<none>" (read), "Illegal Exif construction", or a text set by
  /// the Exif walk.
  std::string ErrorText;
  /// The system's reason the file of `ProcessFile` could not be opened ("Permission denied", "Is a
  /// directory", "No such file or directory"); empty when it was opened.
  std::string open_failure;
  std::unique_ptr<TImageInfo> ImageInfo;
  /// The IPTC reader of the `IptcSection` segment, not yet parsed; none when the file has no APP13.
  std::unique_ptr<TIPTCdata> IptcInfo;
  /// The per-read state of the directory and maker-note walks.
  ReaderContext Context;
  /// The file `ProcessFile` opened, as it was when opened; not found when none was opened.
  FileIdentity File;
  /// Asked once a selective read of a JPEG has listed its Exif tags and met no XMP packet before them: true
  /// when its walk is to look on for the packet in the APPn segments right after the Exif segment. Without
  /// it, or when it answers false, the walk ends at the Exif segment. Kept by `Reset`.
  std::function<bool(const TimgData&)> WantsXmp;
  /// The JPEG's first XMP packet (what follows the XMP header of its APP1, at most one segment's bytes):
  /// the full listing's wherever it lies; a selective read's when it lies before the Exif segment, or after
  /// it where `WantsXmp` sends the walk. Empty when none was met. Held by the reader until `Reset`. Both
  /// walks take it only before the Exif segment or among the APPn and comment segments right after it.
  std::string_view XmpPacket;
  /// The packet lies after the Exif segment.
  bool XmpAfterExif = false;

  /// Checks the Exif header and byte order of the Exif segment in `Buffer`, then walks its directories.
  void ProcessExifSegment();

 private:
  /// Reads the source `open` gives with the reader of its kind; never throws.
  bool ProcessKind(std::string_view extension, const std::function<RandomAccessSource&()>& open);
  /// Makes `ImageInfo` a new directory reader, its tag list made in the room the last one gave back.
  void StartImageInfo();
  /// Keeps the room of the tag list and texts of `info`, if any, for the next directory reader.
  void KeepRoomOf(std::unique_ptr<TImageInfo> info);
  bool ProcessJpeg(ByteSource& source);
  bool ReadSegments(ByteSource& source);
  bool ProcessRaf(RandomAccessSource& source);
  /// The JPEG walk over the `jpeg` range of `source` (a RAF's or an RW2's embedded picture).
  bool ProcessEmbeddedJpeg(RandomAccessSource& source, const ByteRange& jpeg);
  /// A Panasonic RW2: the JPEG it embeds, which carries the whole Exif; the TIFF structure without one.
  bool ProcessRw2(RandomAccessSource& source, const TiffHeader& header);
  bool ProcessIsoMedia(RandomAccessSource& source);
  bool ProcessCr3(RandomAccessSource& source);
  /// Walks TIFF structures found in a container as the Exif segments a JPEG would carry: IFD0 (with the
  /// directories it points to), then a separate Exif directory, a Canon maker note and a GPS directory,
  /// each from its own TIFF header; absent ones are empty.
  bool ProcessTiffBlocks(const Cr3ExifBlocks& blocks);
  /// Checks the Exif header and byte order of `segment` and walks its first directory as `kind`, within
  /// `limit` bytes; false when the header is wrong.
  bool WalkExifSegment(std::string_view segment, DirectoryKind kind, int64_t limit);
  /// What `ReadNextSegment` did with one segment.
  struct SegmentRead {
    /// The slot it takes; 0 when it was passed over without one.
    int slot = 0;
    /// An APP1 that starts with the Exif header (and no Exif segment was taken before).
    bool is_exif = false;
    /// Its length bytes and payload, when they were read.
    std::string_view bytes;
  };
  /// Reads or passes over the payload of the segment after `marker` and `length`; `slot_free` tells
  /// whether a slot is left for it.
  SegmentRead ReadNextSegment(ByteSource& source, uint8_t marker, int length, bool slot_free);
  /// The full listing's read of a segment into slot `slot`, whole, with the first XMP packet kept beside it.
  SegmentRead ReadSegmentIntoSlot(ByteSource& source, uint8_t marker, int length, int slot);
  /// Reads the Exif segment whose first payload bytes, `header`, are read already: a selective read's up to
  /// the thumbnail into storage kept from file to file, the full listing's whole into slot `slot`. Returns
  /// its length bytes and the payload read.
  std::string_view ReadExifSegment(ByteSource& source, int length, std::string_view header, int slot);
  /// Reads the next marker after any 0xFF fill bytes; false at the end of the data.
  [[nodiscard]] static bool ReadMarker(ByteSource& source, uint8_t& marker);
  /// Takes a segment given a slot as what its marker says (header, Exif, IPTC, comment); false when the
  /// walk ends with it (a selective read's Exif segment).
  bool TakeSegment(ByteSource& source, uint8_t marker, const SegmentRead& read);
  /// A selective read's look for the XMP packet after its Exif segment, of which `exif_rest` bytes are
  /// left in `source`: over the APPn and comment segments that follow it. Never throws.
  void FindXmpAfterExif(ByteSource& source, size_t exif_rest);
  /// For an APP1 of `payload` bytes whose first ones are `header_read`: reads it into `XmpPacket` when it
  /// is the first XMP packet met (true), else passes over it (false).
  bool ReadXmpOrSkip(ByteSource& source, size_t payload, std::string_view header_read);
  /// The full listing's copy of an XMP packet it read, when it is the first one met where packets are taken.
  void KeepXmp(std::string_view packet);
  /// Reads one segment's `length` - 2 payload bytes after its two length bytes into `destination`, whose
  /// first `payload_read` payload bytes are already there. Returns the payload bytes the file supplied
  /// (`payload_read` included); the rest of the `length` bytes read as zero.
  static size_t ReadSegment(ByteSource& source, char* destination, int length, size_t payload_read = 0);
  bool ProcessTiff(RandomAccessSource& source, const TiffHeader& header);
  /// A selective read's walk of its Exif segment, of which `head` is read (up to the thumbnail, or all):
  /// when the walk needs bytes past `head`, the rest is read from `source` and the segment walked again.
  /// Returns the bytes of the segment read from `source` in all.
  size_t WalkSelectedExif(ByteSource& source, std::string_view head);

  /// A selective read's Exif segment (`Sections` keeps no bytes then), in storage of `selected_exif_room_`
  /// bytes kept from file to file.
  std::unique_ptr<char[]> selected_exif_;
  size_t selected_exif_room_ = 0;
  /// The buffer `ProcessFile` lends its file, made once.
  std::unique_ptr<char[]> file_buffer_;
  /// The room an earlier directory reader gave back, for the next one to be made in.
  ReaderRoom reader_room_;
  /// What a selective read's walk of its Exif segment started from, for a second walk of the whole segment.
  std::string walk_start_error_text_;
  ReaderContext walk_start_context_;
  /// An XMP packet was met, and the bytes `XmpPacket` views.
  bool xmp_met_ = false;
  std::unique_ptr<char[]> xmp_bytes_;
  /// The walk has passed a segment after the Exif one that is no APPn or comment: no packet is taken now.
  bool xmp_closed_ = false;
};

/// The extension of a file name, from its last dot, in lower case (".jpg"); empty when there is none.
[[nodiscard]] std::string LowerExtension(std::string_view path);

}  // namespace lumetra
