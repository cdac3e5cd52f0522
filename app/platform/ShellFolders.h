#pragma once

#include <string>
#include <vector>

namespace lumetra {

/// The user's folders that the folder tree is never sent back to at start-up: the desktop and the
/// documents folder (this platform has no folder for "the computer"). Paths that cannot be found are
/// left out.
[[nodiscard]] std::vector<std::string> SpecialFolders();

}  // namespace lumetra
