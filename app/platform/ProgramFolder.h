#pragma once

#include <filesystem>

namespace lumetra {

/// The folder of the program's own files (settings, crop file, trace): $LUMETRA_HOME when set, else the
/// executable's folder; when that folder is not writable, the user's data folder
/// ($XDG_DATA_HOME/Lumetra, or ~/.local/share/Lumetra), created when missing.
[[nodiscard]] std::filesystem::path ProgramFolder();

}  // namespace lumetra
