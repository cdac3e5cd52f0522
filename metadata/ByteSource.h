#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "metadata/FileIdentity.h"

namespace lumetra {

/// Where the reader takes a photo's bytes from, front to back. `Read` returns fewer bytes than asked only
/// at the end of the data; a read error throws `ReaderError`.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  [[nodiscard]] virtual size_t Read(char* destination, size_t count) = 0;
  /// One byte, or false at the end of the data.
  [[nodiscard]] bool ReadByte(uint8_t& byte);
  /// `Read` for a caller that reads on right after these bytes (the next segment's marker and header after a
  /// segment read to its end): a source that buffers takes the few bytes after them in the same call.
  [[nodiscard]] virtual size_t ReadWithNextBytes(char* destination, size_t count) { return Read(destination, count); }
  /// Passes over `count` bytes, or to the end of the data when fewer are left.
  virtual void Skip(size_t count) = 0;
  /// From now on reads at most `bytes` (at least 1) ahead of what is asked, where the source reads ahead at
  /// all: for a walk that asks a few bytes in each of several places far apart.
  virtual void LimitReadAhead(size_t bytes) { static_cast<void>(bytes); }
};

/// Reads at absolute offsets, for containers whose parts point at each other (boxes, directories, an
/// embedded JPEG). Only the bytes asked for are read. `ReadAt` returns fewer bytes than asked only when the
/// data ends first (none at or past the end); a read error throws `ReaderError`.
class PositionedSource {
 public:
  virtual ~PositionedSource() = default;
  [[nodiscard]] virtual size_t ReadAt(uint64_t offset, char* destination, size_t count) = 0;
  /// The size of the data in bytes, as it was when the source was opened.
  [[nodiscard]] virtual uint64_t Size() const = 0;
};

/// Exactly `count` bytes at `offset` as a string; throws `ReaderError` naming `what` when the data ends first.
[[nodiscard]] std::string ReadExactlyAt(PositionedSource& source, uint64_t offset, size_t count, std::string_view what);

/// A source read both ways: front to back by the JPEG walk, at offsets by the container locators.
class RandomAccessSource : public ByteSource, public PositionedSource {};

/// A photo held in memory (benchmarks, fuzzing, tests).
class MemorySource : public RandomAccessSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  [[nodiscard]] size_t Read(char* destination, size_t count) override;
  void Skip(size_t count) override;
  [[nodiscard]] size_t ReadAt(uint64_t offset, char* destination, size_t count) override;
  [[nodiscard]] uint64_t Size() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

/// A photo file, opened read-only for the life of the object. Only regular files are read: a FIFO or a
/// device would block or never end, so opening one throws `ReaderError` like a file that cannot be opened.
/// Reads go through one buffer, so the marker walk costs a few system calls per photo, and bytes passed
/// over beyond the buffer cost none. A read larger than the buffer goes straight to its destination; made
/// through `ReadWithNextBytes`, it also takes the few bytes after it into the buffer in the same call.
/// Positioned reads go to the file directly and leave the front-to-back position where it was.
class FileSource : public RandomAccessSource {
 public:
  /// The bytes of the buffer front-to-back reads go through.
  static constexpr size_t kBufferSize = 2 * 1024;

  explicit FileSource(const std::string& path);
  /// The same with `buffer`, `kBufferSize` bytes that outlive the source, lent by a reader that reads file
  /// after file, so that opening a file allocates nothing.
  FileSource(const std::string& path, char* buffer);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  [[nodiscard]] size_t Read(char* destination, size_t count) override;
  [[nodiscard]] size_t ReadWithNextBytes(char* destination, size_t count) override;
  /// Bytes beyond the buffer are passed over unread, by moving where the next read starts.
  void Skip(size_t count) override;
  void LimitReadAhead(size_t bytes) override;
  [[nodiscard]] size_t ReadAt(uint64_t offset, char* destination, size_t count) override;
  [[nodiscard]] uint64_t Size() const override { return size_; }
  /// The file as it was when opened.
  [[nodiscard]] const FileIdentity& Identity() const { return identity_; }

 private:
  size_t ReadFromFile(char* destination, size_t count);
  /// `ReadFromFile` into `destination`, which the buffer (empty) does not serve, with the bytes after it
  /// read into the buffer by the same call.
  size_t ReadPastBuffer(char* destination, size_t count);

  std::string path_;
  FileIdentity identity_;
  uint64_t size_ = 0;
  int fd_ = -1;
  std::unique_ptr<char[]> own_buffer_;
  char* buffer_ = nullptr;
  size_t buffer_start_ = 0;
  size_t buffer_end_ = 0;
  /// The bytes a buffer fill asks for; a read of as many or more goes straight to its destination.
  size_t fill_size_ = 0;
  /// Where the next read from the file starts: front-to-back reads are positioned reads from here, so
  /// that passing over bytes costs no seek.
  uint64_t file_position_ = 0;
  bool at_end_ = false;
};

/// `length` bytes from `offset` of a positioned source, read front to back: an embedded JPEG handed to
/// the ordinary segment walk. Ends early where the underlying data ends.
class RangeSource : public ByteSource {
 public:
  RangeSource(PositionedSource& source, uint64_t offset, uint64_t length)
      : source_(source), offset_(offset), length_(length) {}
  [[nodiscard]] size_t Read(char* destination, size_t count) override;
  void Skip(size_t count) override;

 private:
  PositionedSource& source_;
  uint64_t offset_;
  uint64_t length_;
  uint64_t position_ = 0;
};

}  // namespace lumetra
