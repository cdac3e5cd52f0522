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
#include "metadata/ReaderError.h"
#include "metadata/TextEncoding.h"

namespace lumetra {
namespace {

constexpr int kMaxJpegSections = 20;
// TIFF-like files: the first directory and its values are looked for in this many bytes after the header.
constexpr size_t kTiffBufferSize = 256000;

constexpr uint8_t kMarkerApp0 = 0xE0;
constexpr uint8_t kMarkerApp1 = 0xE1;
constexpr uint8_t kMarkerApp13 = 0xED;
constexpr uint8_t kMarkerComment = 0xFE;
constexpr uint8_t kMarkerEndOfImage = 0xD9;
constexpr uint8_t kMarkerStartOfScan = 0xDA;

enum class FileKind { kJpeg, kTiff, kOther };

FileKind KindOfExtension(std::string_view extension) {
  if (extension == ".jpg" || extension == ".jpeg" || extension == ".jpe") return FileKind::kJpeg;
  if (extension == ".tif" || extension == ".tiff" || extension == ".nef") return FileKind::kTiff;
  return FileKind::kOther;
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
  SectionCount = 0;
  ExifSection = 0;
  IptcSection = 0;
  CommentSection = 0;
  HeaderSection = 0;
  ErrorText.clear();
  File = {};
  open_failure.clear();
  ImageInfo.reset();
  IptcInfo.reset();
  BigEndian = false;
  Buffer = {};
  selected_exif_.reset();
}

bool TimgData::ProcessFile(const std::string& path) {
  Reset();
  // The open is also the test that the file exists, so a survey pays no stat per photo; only a failed
  // open asks whether anything is there. A file that is there but cannot be read fails in ProcessKind.
  std::unique_ptr<ByteSource> file;
  std::exception_ptr open_error;
  try {
    auto opened = std::make_unique<FileSource>(path);
    File = opened->Identity();
    file = std::move(opened);
  } catch (const ReaderError&) {
    open_failure = OpenFailure(path);
    if (!IsExistingFile(path)) return false;
    open_error = std::current_exception();
  }
  return ProcessKind(LowerExtension(path), [&file, &open_error] {
    if (open_error) std::rethrow_exception(open_error);
    return std::move(file);
  });
}

bool TimgData::ProcessBytes(std::string_view bytes, std::string_view extension) {
  Reset();
  return ProcessKind(LowerExtension(extension), [bytes] { return std::make_unique<MemorySource>(bytes); });
}

bool TimgData::ProcessKind(std::string_view extension, const std::function<std::unique_ptr<ByteSource>()>& open) {
  ErrorText = "Not an EXIF file";
  const FileKind kind = KindOfExtension(extension);
  if (kind == FileKind::kOther) return false;
  try {
    const std::unique_ptr<ByteSource> source = open();
    const bool read = kind == FileKind::kTiff ? ProcessTiff(*source) : ProcessJpeg(*source);
    if (read) ErrorText = "<none>";
    return read;
  } catch (const std::exception&) {
    ErrorText = "Illegal Exif construction";
    return false;
  }
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

std::string_view TimgData::ReadSegment(ByteSource& source, char* destination, int length) {
  destination[0] = static_cast<char>(length >> 8);
  destination[1] = static_cast<char>(length & 0xFF);
  const size_t payload = static_cast<size_t>(length) - 2;
  // Bytes a short file does not supply read as zero.
  const size_t got = source.Read(destination + 2, payload);
  std::fill(destination + 2 + got, destination + 2 + payload, '\0');
  return {destination, static_cast<size_t>(length)};
}

bool TimgData::ReadSegments(ByteSource& source) {
  uint8_t first = 0;
  uint8_t second = 0;
  if (!source.ReadByte(first) || !source.ReadByte(second) || first != 0xFF || second != 0xD8) return false;

  SectionCount = 0;
  while (SectionCount < kMaxJpegSections) {
    // Any number of 0xFF fill bytes precede a marker. A file that ends inside the walk ends it as an
    // end-of-image marker would.
    uint8_t marker = 0xFF;
    while (marker == 0xFF) {
      if (!source.ReadByte(marker)) return HasAnySegment();
    }
    ++SectionCount;
    tSection& section = Sections[static_cast<size_t>(SectionCount)];
    uint8_t length_high = 0;
    uint8_t length_low = 0;
    if (!source.ReadByte(length_high) || !source.ReadByte(length_low)) return HasAnySegment();
    const int length = length_high << 8 | length_low;
    section.Marker = marker;
    section.Size = length;
    if (length < 2) throw ReaderError("segment length " + std::to_string(length) + " is below 2");
    std::string_view segment;
    if (BuildMode != BuildSelectedTags) {
      section.Data.resize(static_cast<size_t>(length));
      segment = ReadSegment(source, section.Data.data(), length);
    } else if (marker == kMarkerApp1 && ExifSection == 0 && SectionCount <= 5) {
      // A selective read keeps the Exif segment's bytes apart from `Sections`, in storage that is not
      // first zero-filled, and passes over every other segment unread.
      section.Data.clear();
      selected_exif_ = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(length));
      segment = ReadSegment(source, selected_exif_.get(), length);
    } else {
      section.Data.clear();
      source.Skip(static_cast<size_t>(length - 2));
    }
    if (length == 2) continue;

    // Exif is taken only among the first five segments, and as the fifth only after an IPTC or comment.
    if (SectionCount == 5 && !HasAnySegment()) break;

    if (marker == kMarkerEndOfImage || marker == kMarkerStartOfScan) break;
    switch (marker) {
      case kMarkerApp0:
        HeaderSection = SectionCount;
        break;
      case kMarkerApp1:
        if (SectionCount > 5 || ExifSection != 0) {
          --SectionCount;  // dropped: the next segment reuses the slot
        } else {
          ExifSection = SectionCount;
          ImageInfo = std::make_unique<TImageInfo>(ErrorText, BuildMode, Context, Selection);
          Buffer = segment;
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
  }
  return HasAnySegment();
}

void TimgData::ProcessExifSegment() {
  using namespace std::string_view_literals;
  if (Buffer.size() < 7 || Buffer.substr(2, 5) != "Exif\0"sv) {
    ErrorText = "Incorrect Exif header";
    return;
  }
  const std::string_view order = Buffer.size() < 10 ? std::string_view() : Buffer.substr(8, 2);
  if (order != "II" && order != "MM") {
    ErrorText = "Invalid Exif alignment marker";
    return;
  }
  BigEndian = order == "MM";
  ImageInfo->InfoText.clear();
  ImageInfo->Buffer = Buffer;
  ImageInfo->BigEndian = BigEndian;
  const int32_t offset = ReadLong(13);
  const int64_t start = offset == 0 ? 17 : static_cast<int64_t>(offset) + 9;
  ImageInfo->ProcessDirectory(start, 9, DirectoryKind::kMain, Sections[static_cast<size_t>(ExifSection)].Size - 6);
  ImageInfo->CalcFocalLength35();
}

bool TimgData::ProcessTiff(ByteSource& source) {
  IsTiff = true;
  bool read = false;
  try {
    char header[8] = {};
    if (source.Read(header, 2) == 2 && (std::string_view(header, 2) == "II" || std::string_view(header, 2) == "MM") &&
        source.Read(header + 2, 6) == 6) {
      tSection& section = Sections[1];
      section.Data.assign(kTiffBufferSize, '\0');
      section.Marker = 0;
      section.Size = static_cast<int>(kTiffBufferSize);
      static_cast<void>(source.Read(section.Data.data(), section.Data.size()));
      SectionCount = 1;
      ExifSection = 1;
      ImageInfo = std::make_unique<TImageInfo>(ErrorText, BuildMode, Context, Selection);
      ImageInfo->IsTiff = true;
      Buffer = section.Data;
      ImageInfo->Buffer = Buffer;
      ImageInfo->BigEndian = header[0] == 'M';
      // The first directory is read right after the header, whatever the header's offset says.
      ImageInfo->ProcessDirectory(1, -7, DirectoryKind::kMain, static_cast<int64_t>(kTiffBufferSize));
      ImageInfo->CalcFocalLength35();
      read = true;
    }
  } catch (const ReaderError&) {
    read = false;
  }
  IsTiff = false;
  return read;
}

}  // namespace lumetra
