#pragma once

#include <filesystem>

namespace lumetra {

/// The folder of the program's own files (settings, crop file, trace): $LUMETRA_HOME when set, else the
/// executable's folder; when that folder is not writable or is the `bin` folder of an installation (an
/// installed program shares it with every other program), the user's data folder ($XDG_DATA_HOME/Lumetra,
/// or ~/.local/share/Lumetra), created when missing.
[[nodiscard]] std::filesystem::path ProgramFolder();

namespace detail {

/// ProgramFolder() for a program whose executable lies in `executable_folder`.
[[nodiscard]] std::filesystem::path ProgramFolderFor(const std::filesystem::path& executable_folder);

}  // namespace detail
}  // namespace lumetra
