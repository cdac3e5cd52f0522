#include "files/ReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define LUMETRA_HAVE_FSYNC 1
#endif

namespace lumetra {
namespace {

std::string TemporaryName(const std::filesystem::path& target) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string suffix = ".tmp-";
  for (int i = 0; i < 8; ++i) suffix.push_back(kHex[random() % 16]);
  return target.filename().string() + suffix;
}

}  // namespace

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
  std::filesystem::path temporary;
  std::FILE* stream = nullptr;
  for (int attempt = 0; stream == nullptr; ++attempt) {
    temporary = target.parent_path() / TemporaryName(target);
    errno = 0;
    stream = std::fopen(temporary.c_str(), "wbx");
    if (stream == nullptr && (errno != EEXIST || attempt == 20)) return SystemReason(errno);
  }
  int write_error = 0;
  errno = 0;
  if (std::fwrite(content.data(), 1, content.size(), stream) != content.size() || std::fflush(stream) != 0) {
    write_error = errno != 0 ? errno : EIO;
  }
#ifdef LUMETRA_HAVE_FSYNC
  if (write_error == 0 && ::fsync(::fileno(stream)) != 0) write_error = errno;
#endif
  errno = 0;
  if (std::fclose(stream) != 0 && write_error == 0) write_error = errno != 0 ? errno : EIO;
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
