#include "metadata/ExifData.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <functional>
#include <system_error>

#include "metadata/ByteSource.h"
#include "metadata/ContainerKind.h"
#include "metadata/ExifSegmentFill.h"
#include "metadata/IsoMediaExif.h"
#include "metadata/RafExif.h"
#include "metadata/ReaderError.h"
#include "metadata/Rw2Exif.h"
#include "metadata/XmpPacket.h"
#include "text/TextEncoding.h"

namespace lumetra {
namespace {

constexpr int kMaxJpegSections = 20;
// A segment's marker with a fill byte or two, its length and an APP1's namespace (the XMP one is 29 bytes).
constexpr size_t kXmpLookReadAhead = 64;
// TIFF-like files: the first directory and its values are looked for in this many bytes after the header.
constexpr size_t kTiffBufferSize = 256000;

constexpr uint8_t kMarkerApp0 = 0xE0;
constexpr uint8_t kMarkerApp1 = 0xE1;
constexpr uint8_t kMarkerApp13 = 0xED;
constexpr uint8_t kMarkerAppLast = 0xEF;
constexpr uint8_t kMarkerComment = 0xFE;
constexpr uint8_t kMarkerEndOfImage = 0xD9;
constexpr uint8_t kMarkerStartOfScan = 0xDA;
// An Exif APP1's payload starts with these bytes.
constexpr std::string_view kExifHeader{"Exif\0", 5};

bool IsAppOrComment(uint8_t marker) {
  return (marker >= kMarkerApp0 && marker <= kMarkerAppLast) || marker == kMarkerComment;
}

bool IsJpegName(std::string_view extension) {
  return extension == ".jpg" || extension == ".jpeg" || extension == ".jpe";
}

// A TIFF structure found inside a container, as the Exif segment of a JPEG would hold it: two length bytes
// (never read), "Exif\0\0", then the structure, so that one walk and one set of offset rules serve both.
std::string AsExifSegment(std::string_view tiff) {
  std::string segment(
      "\xFF\xFF"
      "Exif\0\0",
      8);
  segment.append(tiff);
  return segment;
}

bool IsExistingFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Why `path` cannot be opened for reading, asked after the open failed so that a read pays nothing for it.
std::string OpenFailure(const std::string& path) {
  const auto reason = [](int error) { return std::generic_category().message(error); };
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return reason(errno);
  if (S_ISDIR(info.st_mode)) return reason(EISDIR);
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return reason(errno);
  ::close(fd);
  return "cannot be opened";
}

}  // namespace

std::string LowerExtension(std::string_view path) {
  const size_t name_start = path.find_last_of('/');
  const std::string_view name = name_start == std::string_view::npos ? path : path.substr(name_start + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  return LowerAscii(name.substr(dot));
}

TimgData::TimgData(int build_mode) : BuildMode(build_mode) { Reset(); }

TimgData::TimgData(const TagSelection& selection) : BuildMode(BuildSelectedTags), Selection(&selection) { Reset(); }

TimgData::~TimgData() = default;

void TimgData::Reset() {
  // A reader kept from file to file starts each as a new one would, but keeps the room it made: the Exif
  // segment's storage, the file buffer, the directories' list and the tag list's entries.
  for (tSection& section : Sections) {
    section.Data.clear();
    section.Marker = 0;
    section.Size = 0;
  }
  SectionCount = 0;
  ExifSection = 0;
  IptcSection = 0;
  CommentSection = 0;
  HeaderSection = 0;
  ErrorText.clear();
  File = {};
  open_failure.clear();
  KeepRoomOf(std::move(ImageInfo));
  IptcInfo.reset();
  std::vector<std::pair<int64_t, int64_t>> visited = std::move(Context.VisitedDirectories);
  visited.clear();
  Context = ReaderContext{};
  Context.VisitedDirectories = std::move(visited);
  IsTiff = false;
  BigEndian = false;
  Buffer = {};
  ReadPastEnd = false;
  XmpPacket = {};
  XmpAfterExif = false;
  xmp_bytes_.reset();
  xmp_met_ = false;
  xmp_closed_ = false;
}

bool TimgData::ProcessFile(const std::string& path) {
  Reset();
  // The open is also the test that the file exists, so a survey pays no stat per photo; only a failed
  // open asks whether anything is there. A file that is there but cannot be read fails in ProcessKind.
  if (!file_buffer_) file_buffer_ = std::make_unique_for_overwrite<char[]>(FileSource::kBufferSize);
  std::optional<FileSource> file;
  std::exception_ptr open_error;
  try {
    File = file.emplace(path, file_buffer_.get()).Identity();
  } catch (const ReaderError&) {
    open_failure = OpenFailure(path);
    if (!IsExistingFile(path)) return false;
    open_error = std::current_exception();
  }
  return ProcessKind(LowerExtension(path), [&file, &open_error]() -> RandomAccessSource& {
    if (open_error) std::rethrow_exception(open_error);
    return *file;
  });
}

bool TimgData::ProcessBytes(std::string_view bytes, std::string_view extension) {
  Reset();
  MemorySource source(bytes);
  return ProcessKind(LowerExtension(extension), [&source]() -> RandomAccessSource& { return source; });
}

bool TimgData::ProcessKind(std::string_view extension, const std::function<RandomAccessSource&()>& open) {
  ErrorText = "Not an EXIF file";
  try {
    RandomAccessSource* const source = &open();
    // A file named as a JPEG is read as one, as it always was; any other is known by its first bytes, so a
    // RAW file that holds a JPEG is read as the JPEG it is.
    const Container container = IsJpegName(extension) ? Container{ContainerKind::kJpeg, {}} : SniffContainer(*source);
    bool read = false;
    switch (container.kind) {
      case ContainerKind::kJpeg:
        read = ProcessJpeg(*source);
        break;
      case ContainerKind::kTiff:
        read = container.tiff.magic == TiffMagic::kPanasonic ? ProcessRw2(*source, container.tiff)
                                                             : ProcessTiff(*source, container.tiff);
        break;
      case ContainerKind::kRaf:
        read = ProcessRaf(*source);
        break;
      case ContainerKind::kIsoMediaImage:
        read = ProcessIsoMedia(*source);
        break;
      case ContainerKind::kCr3:
        read = ProcessCr3(*source);
        break;
      case ContainerKind::kUnknown:
        break;
    }
    if (read) ErrorText = "<none>";
    return read;
  } catch (const std::exception&) {
    ErrorText = "Illegal Exif construction";
    return false;
  }
}

bool TimgData::ProcessRaf(RandomAccessSource& source) {
  std::optional<ByteRange> jpeg;
  try {
    jpeg = LocateRafJpeg(source);
  } catch (const ReaderError&) {
    return false;  // a header that points outside the file
  }
  return jpeg && ProcessEmbeddedJpeg(source, *jpeg);
}

bool TimgData::ProcessEmbeddedJpeg(RandomAccessSource& source, const ByteRange& jpeg) {
  RangeSource embedded(source, jpeg.offset, jpeg.length);
  return ProcessJpeg(embedded);
}

bool TimgData::ProcessRw2(RandomAccessSource& source, const TiffHeader& header) {
  std::optional<ByteRange> jpeg;
  try {
    jpeg = LocateRw2Jpeg(source, header);
  } catch (const ReaderError&) {
    return false;
  }
  // Without its embedded JPEG, an RW2 is read as the TIFF structure it is.
  return jpeg ? ProcessEmbeddedJpeg(source, *jpeg) : ProcessTiff(source, header);
}

bool TimgData::ProcessIsoMedia(RandomAccessSource& source) {
  Cr3ExifBlocks blocks;
  try {
    std::optional<std::string> tiff = ReadIsoMediaExif(source);
    if (!tiff) return false;
    blocks.ifd0 = std::move(*tiff);
  } catch (const ReaderError&) {
    return false;  // boxes that break the rules
  }
  return ProcessTiffBlocks(blocks);
}

bool TimgData::ProcessCr3(RandomAccessSource& source) {
  std::optional<Cr3ExifBlocks> blocks;
  try {
    blocks = ReadCr3Exif(source);
  } catch (const ReaderError&) {
    return false;
  }
  return blocks && ProcessTiffBlocks(*blocks);
}

bool TimgData::ProcessTiffBlocks(const Cr3ExifBlocks& blocks) {
  IsTiff = false;
  struct Block {
    const std::string* tiff;
    DirectoryKind kind;
  };
  const Block order[] = {{&blocks.ifd0, DirectoryKind::kMain},
                         {&blocks.exif, DirectoryKind::kMain},
                         {&blocks.maker_note, DirectoryKind::kMain},
                         {&blocks.gps, DirectoryKind::kGps}};
  for (const Block& block : order) {
    if (block.tiff->empty()) continue;
    ++SectionCount;
    tSection& section = Sections[static_cast<size_t>(SectionCount)];
    section.Data = AsExifSegment(*block.tiff);
    section.Marker = kMarkerApp1;
    section.Size = static_cast<int>(section.Data.size());
    if (ExifSection == 0) {
      ExifSection = SectionCount;
      StartImageInfo();
    }
    // Each structure has offsets of its own: pointers back into another one mean nothing here.
    Context.VisitedDirectories.clear();
    try {
      if (block.tiff == &blocks.maker_note) {
        Buffer = section.Data;
        BigEndian = block.tiff->starts_with("MM");
        ImageInfo->Buffer = Buffer;
        ImageInfo->BigEndian = BigEndian;
        // The note's directory stands where its own TIFF header says, as a MakerNote value would.
        ImageInfo->ProcessMakerNoteAt(static_cast<int64_t>(static_cast<uint32_t>(ReadLong(13))) + 9);
      } else {
        WalkExifSegment(section.Data, block.kind, section.Size - 6);
      }
    } catch (const ReaderError&) {
      // A broken structure loses its own entries only, as a broken sub-directory does.
    }
  }
  if (!ImageInfo) return false;
  try {
    ImageInfo->CalcFocalLength35();
  } catch (const ReaderError&) {
    return false;
  }
  return true;
}

bool TimgData::ProcessJpeg(ByteSource& source) {
  IsTiff = false;
  try {
    return ReadSegments(source);
  } catch (const ReaderError&) {
    // What was read before the failure stays: slots, sections and the tags already listed.
    return false;
  }
}

size_t TimgData::ReadSegment(ByteSource& source, char* destination, int length, size_t payload_read) {
  destination[0] = static_cast<char>(length >> 8);
  destination[1] = static_cast<char>(length & 0xFF);
  const size_t payload = static_cast<size_t>(length) - 2;
  // Bytes a short file does not supply read as zero.
  const size_t got = payload_read + source.Read(destination + 2 + payload_read, payload - payload_read);
  std::fill(destination + 2 + got, destination + 2 + payload, '\0');
  return got;
}

bool TimgData::ReadSegments(ByteSource& source) {
  uint8_t first = 0;
  uint8_t second = 0;
  if (!source.ReadByte(first) || !source.ReadByte(second) || first != 0xFF || second != 0xD8) return false;

  SectionCount = 0;
  // Every segment before the image data is looked at, however many come first: the slots keep the first
  // kMaxJpegSections, and an Exif segment met after them takes the slot behind them.
  for (;;) {
    if (SectionCount >= kMaxJpegSections && ExifSection != 0) break;
    // A file that ends inside the walk ends it as an end-of-image marker would.
    uint8_t marker = 0;
    if (!ReadMarker(source, marker)) return HasAnySegment();
    // A packet is taken where a selective read looks for it: before the Exif segment or among the APPn and
    // comment segments right after it.
    if (ExifSection != 0 && !IsAppOrComment(marker)) xmp_closed_ = true;
    const bool slot_free = SectionCount < kMaxJpegSections;
    if (!slot_free && (marker == kMarkerEndOfImage || marker == kMarkerStartOfScan)) break;
    uint8_t length_high = 0;
    uint8_t length_low = 0;
    if (!source.ReadByte(length_high) || !source.ReadByte(length_low)) {
      if (slot_free) ++SectionCount;
      return HasAnySegment();
    }
    const int length = length_high << 8 | length_low;
    if (length < 2) {
      if (slot_free) Sections[static_cast<size_t>(++SectionCount)] = {{}, marker, length};
      throw ReaderError("segment length " + std::to_string(length) + " is below 2");
    }
    const SegmentRead read = ReadNextSegment(source, marker, length, slot_free);
    if (read.slot == 0) continue;  // passed over: no slot left and not the Exif segment
    SectionCount = read.slot;
    tSection& section = Sections[static_cast<size_t>(read.slot)];
    section.Marker = marker;
    section.Size = length;
    if (length == 2) continue;
    if (marker == kMarkerEndOfImage || marker == kMarkerStartOfScan) break;
    if (!TakeSegment(source, marker, read)) return true;
  }
  return HasAnySegment();
}

bool TimgData::ReadMarker(ByteSource& source, uint8_t& marker) {
  // Any number of 0xFF fill bytes precede a marker.
  marker = 0xFF;
  while (marker == 0xFF) {
    if (!source.ReadByte(marker)) return false;
  }
  return true;
}

bool TimgData::TakeSegment(ByteSource& source, uint8_t marker, const SegmentRead& read) {
  switch (marker) {
    case kMarkerApp0:
      HeaderSection = SectionCount;
      break;
    case kMarkerApp1:
      if (!read.is_exif || ExifSection != 0) {
        --SectionCount;  // not the Exif segment (XMP, a second Exif): the next segment reuses the slot
      } else {
        ExifSection = SectionCount;
        if (BuildMode == BuildSelectedTags) {
          // Nothing after the Exif segment changes what a selective read lists, so its walk ends here, but
          // for the XMP packet its caller may want.
          const size_t stored = WalkSelectedExif(source, read.bytes);
          const auto length = static_cast<size_t>(Sections[static_cast<size_t>(ExifSection)].Size);
          if (!xmp_met_ && WantsXmp && WantsXmp(*this)) FindXmpAfterExif(source, length - std::min(stored, length));
          return false;
        }
        StartImageInfo();
        Buffer = read.bytes;
        ProcessExifSegment();
      }
      break;
    case kMarkerApp13:
      // Only the first APP13 is kept; a later one stays in its slot.
      if (IptcSection == 0) {
        IptcSection = SectionCount;
        IptcInfo = std::make_unique<TIPTCdata>(*this);
      }
      break;
    case kMarkerComment:
      CommentSection = SectionCount;
      break;
    default:
      break;
  }
  return true;
}

void TimgData::FindXmpAfterExif(ByteSource& source, size_t exif_rest) {
  try {
    // The look reads each segment's marker, length and namespace, and a packet's bytes as they are needed:
    // what it reads past them would only be passed over.
    source.LimitReadAhead(kXmpLookReadAhead);
    source.Skip(exif_rest);
    // Editors write their segments (IPTC, ICC profile, XMP) between the Exif segment and the tables of the
    // picture: the look ends at the first segment that is not an APPn or a comment, so that a photo
    // without XMP costs one look at the segment after its Exif.
    for (;;) {
      uint8_t marker = 0;
      uint8_t length_high = 0;
      uint8_t length_low = 0;
      if (!ReadMarker(source, marker)) return;
      if (!IsAppOrComment(marker) || !source.ReadByte(length_high) || !source.ReadByte(length_low)) return;
      const size_t length = static_cast<size_t>(length_high << 8 | length_low);
      if (length < 2) return;
      if (marker != kMarkerApp1) {
        source.Skip(length - 2);
      } else if (ReadXmpOrSkip(source, length - 2, {})) {
        return;
      }
    }
  } catch (const ReaderError&) {
    // A file that cannot be read past its Exif segment keeps what the Exif gave.
    XmpPacket = {};
  }
}

bool TimgData::ReadXmpOrSkip(ByteSource& source, size_t payload, std::string_view header_read) {
  char header[kXmpHeader.size()];
  size_t got = header_read.size();
  const bool wanted_packet = !xmp_met_ && !xmp_closed_;
  if (wanted_packet) {
    std::copy(header_read.begin(), header_read.end(), header);
    const size_t wanted = std::min(payload, kXmpHeader.size());
    if (got < wanted) got += source.Read(header + got, wanted - got);
  }
  if (!wanted_packet || std::string_view(header, got) != kXmpHeader) {
    source.Skip(payload - got);
    return false;
  }
  // A packet the file ends inside of is kept as far as it goes; its properties are then found unterminated.
  xmp_met_ = true;
  XmpAfterExif = ExifSection != 0;
  xmp_bytes_ = std::make_unique_for_overwrite<char[]>(payload - got);
  XmpPacket = std::string_view(xmp_bytes_.get(), source.Read(xmp_bytes_.get(), payload - got));
  return true;
}

void TimgData::KeepXmp(std::string_view packet) {
  if (xmp_met_ || xmp_closed_) return;
  xmp_met_ = true;
  XmpAfterExif = ExifSection != 0;
  xmp_bytes_ = std::make_unique_for_overwrite<char[]>(packet.size());
  std::copy(packet.begin(), packet.end(), xmp_bytes_.get());
  XmpPacket = std::string_view(xmp_bytes_.get(), packet.size());
}

TimgData::SegmentRead TimgData::ReadNextSegment(ByteSource& source, uint8_t marker, int length, bool slot_free) {
  const size_t payload = static_cast<size_t>(length) - 2;
  const int next_slot = SectionCount + 1;
  if (BuildMode != BuildSelectedTags && slot_free) return ReadSegmentIntoSlot(source, marker, length, next_slot);
  if (slot_free) Sections[static_cast<size_t>(next_slot)].Data.clear();
  // Only an APP1 can be the Exif segment, known by its header; every other segment is passed over unread,
  // with a seek where the source allows one, but for an XMP packet before the Exif segment, which a
  // selective read keeps in case nothing else describes the lens.
  SegmentRead read;
  char header[kExifHeader.size()];
  size_t header_read = 0;
  if (marker == kMarkerApp1 && ExifSection == 0) {
    header_read = source.Read(header, std::min(payload, kExifHeader.size()));
    read.is_exif = std::string_view(header, header_read) == kExifHeader;
  }
  if (!read.is_exif) {
    if (marker == kMarkerApp1) {
      static_cast<void>(ReadXmpOrSkip(source, payload, std::string_view(header, header_read)));
    } else {
      source.Skip(payload - header_read);
    }
    read.slot = slot_free ? next_slot : 0;
    return read;
  }
  read.bytes = ReadExifSegment(source, length, std::string_view(header, header_read), next_slot);
  read.slot = next_slot;
  return read;
}

TimgData::SegmentRead TimgData::ReadSegmentIntoSlot(ByteSource& source, uint8_t marker, int length, int slot) {
  // The full listing keeps every segment's bytes in its slot, and the first XMP packet beside them.
  std::string& data = Sections[static_cast<size_t>(slot)].Data;
  data.resize(static_cast<size_t>(length));
  SegmentRead read;
  read.bytes = data;
  // A segment is known by the header its file holds, as the selective read knows it: an APP1 cut right
  // after "Exif" is no Exif segment though its zero fill would complete the header.
  const std::string_view held = read.bytes.substr(2, ReadSegment(source, data.data(), length));
  read.is_exif = marker == kMarkerApp1 && held.starts_with(kExifHeader);
  if (marker == kMarkerApp1 && held.starts_with(kXmpHeader)) KeepXmp(held.substr(kXmpHeader.size()));
  read.slot = slot;
  return read;
}

std::string_view TimgData::ReadExifSegment(ByteSource& source, int length, std::string_view header, int slot) {
  // A selective read keeps the Exif segment's bytes apart from `Sections`, in storage that is not first
  // zero-filled; the full listing keeps an Exif segment met after the slots in the slot behind them.
  char* destination = nullptr;
  if (BuildMode == BuildSelectedTags) {
    // The storage is kept from file to file, made larger when a segment needs it.
    if (selected_exif_room_ < static_cast<size_t>(length)) {
      selected_exif_ = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(length));
      selected_exif_room_ = static_cast<size_t>(length);
    }
    destination = selected_exif_.get();
  } else {
    std::string& data = Sections[static_cast<size_t>(slot)].Data;
    data.resize(static_cast<size_t>(length));
    destination = data.data();
  }
  std::copy(header.begin(), header.end(), destination + 2);
  if (BuildMode == BuildSelectedTags) {
    destination[0] = static_cast<char>(length >> 8);
    destination[1] = static_cast<char>(length & 0xFF);
    ExifSegmentFill fill(source, destination, static_cast<size_t>(length), 2 + header.size());
    return {destination, fill.ReadToThumbnail()};
  }
  static_cast<void>(ReadSegment(source, destination, length, header.size()));
  return {destination, static_cast<size_t>(length)};
}

size_t TimgData::WalkSelectedExif(ByteSource& source, std::string_view head) {
  const auto length = static_cast<size_t>(Sections[static_cast<size_t>(ExifSection)].Size);
  const bool whole = head.size() == length;
  // A second walk starts from the state the first one found (kept in members whose room is kept too).
  walk_start_error_text_ = ErrorText;
  walk_start_context_ = Context;
  StartImageInfo();
  Buffer = head;
  try {
    ProcessExifSegment();
    if (whole || !ImageInfo->ReadPastEnd) return head.size();
  } catch (const std::exception&) {
    // Whatever failed on the part read is decided on the whole segment.
    if (whole) throw;
  }
  // The walk reached past the thumbnail (a value stored behind it, or an offset into it): with the whole
  // segment read, it is walked again from the start, so that what it lists never depends on the cut.
  ExifSegmentFill fill(source, selected_exif_.get(), length, head.size());
  fill.ReadRest();
  ErrorText = walk_start_error_text_;
  Context = walk_start_context_;
  StartImageInfo();
  Buffer = std::string_view(selected_exif_.get(), length);
  ProcessExifSegment();
  return length;
}

void TimgData::StartImageInfo() {
  KeepRoomOf(std::move(ImageInfo));
  ImageInfo = std::make_unique<TImageInfo>(ErrorText, BuildMode, Context, Selection, std::move(reader_room_));
}

void TimgData::KeepRoomOf(std::unique_ptr<TImageInfo> info) {
  if (info) info->GiveBackRoomTo(reader_room_);
}

void TimgData::ProcessExifSegment() {
  ImageInfo->InfoText.clear();
  const int64_t limit = Sections[static_cast<size_t>(ExifSection)].Size - 6;
  if (WalkExifSegment(Buffer, DirectoryKind::kMain, limit)) ImageInfo->CalcFocalLength35();
}

bool TimgData::WalkExifSegment(std::string_view segment, DirectoryKind kind, int64_t limit) {
  using namespace std::string_view_literals;
  if (segment.size() < 7 || segment.substr(2, 5) != "Exif\0"sv) {
    ErrorText = "Incorrect Exif header";
    return false;
  }
  const std::string_view order = segment.size() < 10 ? std::string_view() : segment.substr(8, 2);
  if (order != "II" && order != "MM") {
    ErrorText = "Invalid Exif alignment marker";
    return false;
  }
  Buffer = segment;
  BigEndian = order == "MM";
  ImageInfo->Buffer = segment;
  ImageInfo->BigEndian = BigEndian;
  const int32_t offset = ReadLong(13);
  const int64_t start = offset == 0 ? 17 : static_cast<int64_t>(offset) + 9;
  ImageInfo->ProcessDirectory(start, 9, kind, limit);
  return true;
}

bool TimgData::ProcessTiff(RandomAccessSource& source, const TiffHeader& header) {
  IsTiff = true;
  bool read = false;
  try {
    tSection& section = Sections[1];
    section.Data.assign(kTiffBufferSize, '\0');
    section.Marker = 0;
    section.Size = static_cast<int>(kTiffBufferSize);
    static_cast<void>(source.ReadAt(8, section.Data.data(), section.Data.size()));
    SectionCount = 1;
    ExifSection = 1;
    StartImageInfo();
    ImageInfo->IsTiff = true;
    Buffer = section.Data;
    ImageInfo->Buffer = Buffer;
    ImageInfo->BigEndian = header.big_endian;
    // The buffer starts right after the 8-byte header. The first directory stands where the header says
    // (16 in a CR2); an offset inside the header itself cannot be right, and the directory is looked for
    // right after the header then.
    const int64_t start = header.ifd0_offset >= 8 ? static_cast<int64_t>(header.ifd0_offset) - 7 : 1;
    ImageInfo->ProcessDirectory(start, -7, DirectoryKind::kMain, static_cast<int64_t>(kTiffBufferSize));
    ImageInfo->CalcFocalLength35();
    read = true;
  } catch (const ReaderError&) {
    read = false;
  }
  IsTiff = false;
  return read;
}

}  // namespace lumetra
