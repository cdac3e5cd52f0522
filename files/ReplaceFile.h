#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

/// What becomes of a symbolic link at the path being replaced.
enum class LinkAtPath {
  /// The link stays a link and the file it leads to is replaced: the program's own files, which the user may
  /// have put elsewhere.
  kReplaceItsTarget,
  /// The link itself is replaced by the new file: output written into a folder never reaches a file
  /// outside it through a link planted there.
  kReplaceTheLink,
};

/// Replaces the content of `file` by `content`: writes a new file beside it and renames it over the old
/// one, so the old file stays whole until the new one is complete and a failed write leaves nothing
/// half-written. A link at `file` is handled as `links` says. Returns the reason of a failure ("Permission
/// denied"), or nothing on success.
[[nodiscard]] std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view content,
                                                     LinkAtPath links = LinkAtPath::kReplaceItsTarget);

/// Writes every byte of `bytes` to `fd`, again after an interrupted or partial write. Returns 0 when all were
/// written, else the errno of the failure (EIO for a write that wrote nothing).
[[nodiscard]] int WriteAll(int fd, std::string_view bytes);

/// The text of an errno value ("No such file or directory"); "input/output error" for 0.
[[nodiscard]] std::string SystemReason(int error);

}  // namespace lumetra
