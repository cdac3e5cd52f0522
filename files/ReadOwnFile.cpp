#include "files/ReadOwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "files/ReplaceFile.h"

namespace lumetra {
namespace {

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

std::string TooLarge() { return "larger than " + std::to_string(kOwnFileSizeLimit / (1024 * 1024)) + " MiB"; }

}  // namespace

OwnFileRead ReadOwnFile(const std::filesystem::path& file) {
  OwnFileRead read;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    read.outcome = error == ENOENT ? OwnFileRead::Outcome::kMissing : OwnFileRead::Outcome::kUnopened;
    if (error != ENOENT) read.reason = SystemReason(error);
    return read;
  }
  const FdCloser closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    read.outcome = OwnFileRead::Outcome::kUnopened;
    read.reason = SystemReason(errno);
    return read;
  }
  if (S_ISDIR(info.st_mode)) {
    read.outcome = OwnFileRead::Outcome::kUnopened;
    read.reason = SystemReason(EISDIR);
    return read;
  }
  if (!S_ISREG(info.st_mode)) {
    read.outcome = OwnFileRead::Outcome::kRefused;
    read.reason = "not a regular file";
    return read;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > kOwnFileSizeLimit) {
    read.outcome = OwnFileRead::Outcome::kRefused;
    read.reason = TooLarge();
    return read;
  }
  // The size may change while reading: never more than one byte past the limit is taken.
  const std::unique_ptr<char[]> buffer(new char[65536]);
  for (;;) {
    const ssize_t count = ::read(fd, buffer.get(), 65536);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      read.outcome = OwnFileRead::Outcome::kCutShort;
      read.reason = SystemReason(errno);
      return read;
    }
    if (count == 0) break;
    read.bytes.append(buffer.get(), static_cast<size_t>(count));
    if (read.bytes.size() > kOwnFileSizeLimit) {
      read.outcome = OwnFileRead::Outcome::kRefused;
      read.reason = TooLarge();
      read.bytes.clear();
      return read;
    }
  }
  read.outcome = OwnFileRead::Outcome::kRead;
  return read;
}

}  // namespace lumetra
