#pragma once

#include "app/CommandDialogs.h"

namespace lumetra {

class TForm_Exif;

/// F6: fills the shortcut folder ("TEMP" in the program's folder) with a shortcut to each photo that
/// passed the filter and opens it in the file manager. A folder that cannot be made is reported and
/// nothing else happens; shortcuts that cannot be made are reported together, after the others were made,
/// and so is a folder that the file manager cannot open.
void MakeShortcutListCommand(const TForm_Exif& window, const CommandDialogs& dialogs);

}  // namespace lumetra
