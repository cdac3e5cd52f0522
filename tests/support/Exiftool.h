#pragma once

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace lumetra::testing {

/// exiftool, the reference reader, is on PATH.
[[nodiscard]] bool HaveExiftool();

/// Runs exiftool with -j -n -G1 on a file or, recursively, a folder, asking for `tags` ("-LensID -Lens";
/// every tag when empty); returns one object per file keyed by the path relative to `root`.
[[nodiscard]] std::map<std::string, nlohmann::json> Exiftool(const std::filesystem::path& root,
                                                             const std::filesystem::path& target,
                                                             std::string_view tags = {});

}  // namespace lumetra::testing
