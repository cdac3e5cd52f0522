#include "files/OverwriteOwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/ReplaceFile.h"

namespace lumetra {

OwnFileOverwrite OverwriteOwnFile(const std::string& path) {
  OwnFileOverwrite result;
  // No O_TRUNC: the file is emptied only once it is known to be a regular file. O_NONBLOCK: opening a FIFO
  // would otherwise wait for a reader.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int error = errno;
    result.reason = error == ELOOP ? "a symbolic link" : error == ENXIO ? "not a regular file" : SystemReason(error);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    result.reason = SystemReason(errno);
  } else if (!S_ISREG(info.st_mode)) {
    result.reason = "not a regular file";
  }
  if (!result.reason.empty()) {
    ::close(fd);
    return result;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (::ftruncate(fd, 0) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    result.reason = SystemReason(errno);
    ::close(fd);
    return result;
  }
  result.fd = fd;
  return result;
}

}  // namespace lumetra
