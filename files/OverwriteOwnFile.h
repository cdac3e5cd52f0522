#pragma once

#include <string>

namespace lumetra {

/// What opening one of the program's own files for overwriting gave.
struct OwnFileOverwrite {
  /// The open descriptor, emptied and ready for writing; -1 when the file was not opened.
  int fd = -1;
  /// Why it was not opened ("Permission denied", "a symbolic link", "not a regular file"); empty when it was.
  std::string reason;
};

/// Opens `path` for writing from its start, emptied, creating it (mode 0644 less the umask) when missing.
/// Never follows a symbolic link at `path` and never blocks: a link, a FIFO, a device or a socket under the
/// name is refused and left as it is, so a file of ours cannot be turned into a write somewhere else or a
/// wait for a reader that never comes. The caller closes the descriptor.
[[nodiscard]] OwnFileOverwrite OverwriteOwnFile(const std::string& path);

}  // namespace lumetra
