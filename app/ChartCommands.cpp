#include "app/ChartCommands.h"

#include "app/ChartMenu.h"
#include "app/Lumetra_main.h"
#include "app/ShortcutListCommand.h"
#include "charts/ChartPages.h"

namespace lumetra {

ChartMenu& InstallChartCommands(TForm_Exif& window, const CommandDialogs& dialogs) {
  auto* menu = new ChartMenu(window, dialogs);
  window.Pages().SetMenuHandler(
      [menu](ChartId chart, QPoint at, std::optional<size_t> point) { menu->Open(chart, at, point); });
  window.Commands().Bind("mmShortcut", [&window, dialogs] { MakeShortcutListCommand(window, dialogs); });
  return *menu;
}

}  // namespace lumetra
