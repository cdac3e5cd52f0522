#pragma once

#include <cstdint>
#include <string>

struct stat;

namespace lumetra {

/// Which file a path named at one moment: device, inode, size, modification and change times. Another file
/// put under the name, a rewrite or a removal changes it; so does a write that kept size and modification
/// time (the change time cannot be set back).
struct FileIdentity {
  /// False when there was no file to describe.
  bool found = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modified_s = 0;
  int64_t modified_ns = 0;
  int64_t changed_s = 0;
  int64_t changed_ns = 0;
  bool operator==(const FileIdentity&) const = default;
};

/// A time kept as seconds and nanoseconds, in nanoseconds.
[[nodiscard]] constexpr int64_t Nanoseconds(int64_t seconds, int64_t nanoseconds) {
  return seconds * 1'000'000'000 + nanoseconds;
}

/// The identity of the file `info` describes (as `stat` or `fstat` filled it).
[[nodiscard]] FileIdentity IdentityFromStat(const struct stat& info);

/// The identity of the file at `path` now, following links; not found when it cannot be stat'ed.
[[nodiscard]] FileIdentity IdentityOfPath(const std::string& path);

}  // namespace lumetra
