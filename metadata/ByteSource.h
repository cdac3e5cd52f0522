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
  /// Passes over `count` bytes, or to the end of the data when fewer are left.
  virtual void Skip(size_t count) = 0;
};

/// A photo held in memory (benchmarks, fuzzing, tests).
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  [[nodiscard]] size_t Read(char* destination, size_t count) override;
  void Skip(size_t count) override;

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

/// A photo file, opened read-only for the life of the object. Only regular files are read: a FIFO or a
/// device would block or never end, so opening one throws `ReaderError` like a file that cannot be opened.
/// Reads go through one buffer, so the marker walk costs a few system calls per photo.
class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  [[nodiscard]] size_t Read(char* destination, size_t count) override;
  /// Bytes beyond the buffer are passed over with a seek, never read.
  void Skip(size_t count) override;
  /// The file as it was when opened.
  [[nodiscard]] const FileIdentity& Identity() const { return identity_; }

 private:
  size_t ReadFromFile(char* destination, size_t count);

  std::string path_;
  FileIdentity identity_;
  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  size_t buffer_start_ = 0;
  size_t buffer_end_ = 0;
  bool at_end_ = false;
};

}  // namespace lumetra
