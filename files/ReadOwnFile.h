#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace lumetra {

/// The largest own file (settings, crop file) that is read: far above any real one, so that a huge file
/// or a device named like ours cannot take the program's memory.
inline constexpr std::uintmax_t kOwnFileSizeLimit = 16 * 1024 * 1024;

/// What reading one of the program's own files gave.
struct OwnFileRead {
  enum class Outcome {
    /// `bytes` holds the whole file.
    kRead,
    /// There is no file: nothing was read.
    kMissing,
    /// The file could not be opened (`reason`: "Permission denied", "Is a directory").
    kUnopened,
    /// Something that is not ours is there: a FIFO, a device or a socket, or a file larger than
    /// kOwnFileSizeLimit. It was not read and should be left as it is.
    kRefused,
    /// Reading failed part-way: `bytes` holds what was read before.
    kCutShort,
  };
  Outcome outcome = Outcome::kMissing;
  std::string bytes;
  /// Why the file was not read in full; empty when it was.
  std::string reason;
};

/// Reads `file` whole when it is a regular file of at most kOwnFileSizeLimit bytes. Never blocks: a FIFO or
/// a device under the name is refused without reading a byte from it.
[[nodiscard]] OwnFileRead ReadOwnFile(const std::filesystem::path& file);

}  // namespace lumetra
