#include "files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

namespace lumetra {
namespace {

std::string TemporaryName(const std::filesystem::path& target) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string suffix = ".tmp-";
  for (int i = 0; i < 8; ++i) suffix.push_back(kHex[random() % 16]);
  return target.filename().string() + suffix;
}

// The owner first: changing it may clear bits that the mode then sets. Only the owner that the system lets
// us give is given (a user may keep the group of a file when a member of it); the rest stays ours.
void KeepOwnerAndMode(int fd, const struct stat& replaced) {
  if (replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) {
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
      static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid));
    }
  }
  static_cast<void>(::fchmod(fd, replaced.st_mode & 0777));
}

}  // namespace

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

std::string SystemReason(int error) {
  if (error == 0) return "input/output error";
  return std::generic_category().message(error);
}

std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view content, LinkAtPath links) {
  std::filesystem::path target = file;
  std::error_code error;
  if (links == LinkAtPath::kReplaceItsTarget &&
      std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) {
    const std::filesystem::path resolved = std::filesystem::canonical(file, error);
    if (!error) target = resolved;
  }
  // The new file takes the permission bits and, where the system lets us, the owner of the regular file it
  // replaces: a settings file the user made private stays private. A link being replaced lends nothing.
  struct stat replaced {};
  const bool replaces_a_file = ::lstat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode);
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = target.parent_path() / TemporaryName(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces_a_file ? 0600 : 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 20)) return SystemReason(errno);
  }
  if (replaces_a_file) KeepOwnerAndMode(fd, replaced);
  int write_error = WriteAll(fd, content);
  if (write_error == 0 && ::fsync(fd) != 0) write_error = errno;
  if (::close(fd) != 0 && write_error == 0) write_error = errno != 0 ? errno : EIO;
  if (write_error != 0) {
    std::filesystem::remove(temporary, error);
    return SystemReason(write_error);
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    const std::string reason = error.message();
    std::filesystem::remove(temporary, error);
    return reason;
  }
  return std::nullopt;
}

}  // namespace lumetra
