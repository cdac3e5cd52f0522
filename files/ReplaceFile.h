#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

/// Replaces the content of `file` by `content`: writes a new file beside it and renames it over the old
/// one, so the old file stays whole until the new one is complete and a failed write leaves nothing
/// half-written. A link stays a link: the file it leads to is replaced. Returns the reason of a failure
/// ("Permission denied"), or nothing on success.
[[nodiscard]] std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view content);

/// The text of an errno value ("No such file or directory"); "input/output error" for 0.
[[nodiscard]] std::string SystemReason(int error);

}  // namespace lumetra
