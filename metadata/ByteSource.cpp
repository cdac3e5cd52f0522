#include "metadata/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "metadata/ReaderError.h"

namespace lumetra {
namespace {

// Small: the segments before the image data are read through it, and a large Exif segment goes straight
// to its slot, so little of the picture itself is ever copied out of the page cache.
constexpr size_t kFileBufferSize = FileSource::kBufferSize;
// Taken after a read that goes straight to its destination and asks for the bytes after it: a JPEG segment's
// marker with a fill byte or two, its length and an APP1's namespace (the XMP one is 29 bytes).
constexpr size_t kBytesAfterDirectRead = 64;

}  // namespace

bool ByteSource::ReadByte(uint8_t& byte) {
  char c = 0;
  if (Read(&c, 1) != 1) return false;
  byte = static_cast<uint8_t>(c);
  return true;
}

std::string ReadExactlyAt(PositionedSource& source, uint64_t offset, size_t count, std::string_view what) {
  std::string bytes(count, '\0');
  if (source.ReadAt(offset, bytes.data(), count) != count) {
    throw ReaderError(std::string(what) + " at " + std::to_string(offset) + " runs past the end of the file");
  }
  return bytes;
}

size_t MemorySource::ReadAt(uint64_t offset, char* destination, size_t count) {
  if (offset >= bytes_.size()) return 0;
  const size_t n = std::min<uint64_t>(count, bytes_.size() - offset);
  if (n > 0) std::memcpy(destination, bytes_.data() + offset, n);
  return n;
}

size_t MemorySource::Read(char* destination, size_t count) {
  const size_t n = std::min(count, bytes_.size() - position_);
  if (n > 0) std::memcpy(destination, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void MemorySource::Skip(size_t count) { position_ += std::min(count, bytes_.size() - position_); }

FileSource::FileSource(const std::string& path) : FileSource(path, nullptr) {}

FileSource::FileSource(const std::string& path, char* buffer) : path_(path), buffer_(buffer) {
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused right after.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) throw ReaderError("cannot open " + path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw ReaderError("not a regular file: " + path);
  }
  identity_ = IdentityFromStat(info);
  size_ = static_cast<uint64_t>(info.st_size);
  if (buffer_ == nullptr) {
    // Not zero-filled: only bytes read from the file are ever copied out of it.
    own_buffer_.reset(new char[kFileBufferSize]);
    buffer_ = own_buffer_.get();
  }
  fill_size_ = kFileBufferSize;
}

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileSource::ReadFromFile(char* destination, size_t count) {
  size_t total = 0;
  while (total < count && !at_end_) {
    const ssize_t n = ::pread(fd_, destination + total, count - total, static_cast<off_t>(file_position_));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ReaderError("cannot read " + path_ + ": " + std::strerror(errno));
    }
    if (n == 0) at_end_ = true;
    total += static_cast<size_t>(n);
    file_position_ += static_cast<uint64_t>(n);
  }
  return total;
}

size_t FileSource::ReadPastBuffer(char* destination, size_t count) {
  iovec parts[2] = {{destination, count}, {buffer_, std::min(kBytesAfterDirectRead, fill_size_)}};
  ssize_t n = 0;
  do {
    n = ::preadv(fd_, parts, 2, static_cast<off_t>(file_position_));
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw ReaderError("cannot read " + path_ + ": " + std::strerror(errno));
  const auto got = static_cast<size_t>(n);
  file_position_ += got;
  if (got > count) {
    buffer_start_ = 0;
    buffer_end_ = got - count;
    return count;
  }
  if (got == 0) at_end_ = true;
  // Cut short before the destination was full: the rest as any read.
  return got + ReadFromFile(destination + got, count - got);
}

size_t FileSource::ReadAt(uint64_t offset, char* destination, size_t count) {
  if (offset >= size_) return 0;
  count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
  size_t total = 0;
  while (total < count) {
    const ssize_t n = ::pread(fd_, destination + total, count - total, static_cast<off_t>(offset + total));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ReaderError("cannot read " + path_ + ": " + std::strerror(errno));
    }
    if (n == 0) break;  // the file shrank since it was opened
    total += static_cast<size_t>(n);
  }
  return total;
}

size_t FileSource::Read(char* destination, size_t count) {
  size_t total = 0;
  while (total < count) {
    if (buffer_start_ == buffer_end_) {
      if (at_end_) break;
      // A request larger than a fill goes straight to the destination.
      if (count - total >= fill_size_) {
        total += ReadFromFile(destination + total, count - total);
        break;
      }
      buffer_start_ = 0;
      buffer_end_ = ReadFromFile(buffer_, fill_size_);
      if (buffer_end_ == 0) break;
    }
    const size_t n = std::min(count - total, buffer_end_ - buffer_start_);
    std::memcpy(destination + total, buffer_ + buffer_start_, n);
    buffer_start_ += n;
    total += n;
  }
  return total;
}

size_t FileSource::ReadWithNextBytes(char* destination, size_t count) {
  // What the buffer holds first; a rest smaller than a fill is read as any.
  const size_t buffered = std::min(count, buffer_end_ - buffer_start_);
  if (buffered > 0) std::memcpy(destination, buffer_ + buffer_start_, buffered);
  buffer_start_ += buffered;
  if (buffered == count || at_end_) return buffered;
  if (count - buffered < fill_size_) return buffered + Read(destination + buffered, count - buffered);
  return buffered + ReadPastBuffer(destination + buffered, count - buffered);
}

void FileSource::Skip(size_t count) {
  const size_t buffered = std::min(count, buffer_end_ - buffer_start_);
  buffer_start_ += buffered;
  const size_t rest = count - buffered;
  if (rest == 0 || at_end_) return;
  // The next read starts further on, with no system call of its own; past the end, it finds the end.
  file_position_ += rest;
}

void FileSource::LimitReadAhead(size_t bytes) { fill_size_ = std::clamp<size_t>(bytes, 1, kFileBufferSize); }

size_t RangeSource::Read(char* destination, size_t count) {
  if (position_ >= length_) return 0;
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>(count, length_ - position_));
  const size_t n = source_.ReadAt(offset_ + position_, destination, wanted);
  position_ += n;
  return n;
}

void RangeSource::Skip(size_t count) { position_ += std::min<uint64_t>(count, length_ - std::min(position_, length_)); }

}  // namespace lumetra
