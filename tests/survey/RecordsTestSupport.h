#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace lumetra::testing {

/// Counts the files opened in a folder tree from its creation on, as the kernel reports them (inotify):
/// whoever opens a photo, the survey's own threads included, is seen.
class OpenCounter {
 public:
  explicit OpenCounter(const std::filesystem::path& root) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    Watch(root);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_directory() && !entry.is_symlink()) Watch(entry.path());
    }
  }
  ~OpenCounter() { ::close(fd_); }
  OpenCounter(const OpenCounter&) = delete;
  OpenCounter& operator=(const OpenCounter&) = delete;

  /// Whether the kernel let the tree be watched.
  [[nodiscard]] bool ok() const { return fd_ >= 0 && watched_; }

  /// Files (not folders) opened since the last call.
  [[nodiscard]] size_t FileOpens() {
    size_t opens = 0;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
      const ssize_t size = ::read(fd_, buffer, sizeof buffer);
      if (size <= 0) break;
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & IN_OPEN) != 0 && (event->mask & IN_ISDIR) == 0) ++opens;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return opens;
  }

 private:
  void Watch(const std::filesystem::path& folder) {
    if (::inotify_add_watch(fd_, folder.c_str(), IN_OPEN) >= 0) watched_ = true;
  }
  int fd_;
  bool watched_ = false;
};

/// Overwrites the first `from` in `file` by `to`, of the same length, in place (the inode and size stay).
/// False when `from` is not in the file.
inline bool PatchInPlace(const std::filesystem::path& file, std::string_view from, std::string_view to) {
  std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  const size_t at = bytes.find(from);
  if (at == std::string::npos || from.size() != to.size()) return false;
  stream.clear();
  stream.seekp(static_cast<std::streamoff>(at));
  stream.write(to.data(), static_cast<std::streamsize>(to.size()));
  return static_cast<bool>(stream.flush());
}

}  // namespace lumetra::testing
