#pragma once

#include "app/CommandDialogs.h"

namespace lumetra {

class ChartMenu;
class TForm_Exif;

/// Gives `window` the pop-up menu of its charts (the right button, the context-menu key or Shift+F10 on
/// a chart) and the shortcut list of its command F6 (`mmShortcut`), both asking the user through `dialogs`. Returns the
/// menu, which the window owns.
ChartMenu& InstallChartCommands(TForm_Exif& window, const CommandDialogs& dialogs);

}  // namespace lumetra
