#include "app/ShortcutListCommand.h"

#include "app/Lumetra_main.h"
#include "app/MainWindowDesign.h"
#include "app/ShortcutFolder.h"
#include "app/UiTexts.h"

namespace lumetra {

using namespace detail;

namespace {

constexpr TextPair kFolderFailure{"Не удалось создать папку ярлыков: ", "The shortcut folder could not be made: "};
constexpr TextPair kFolderIsLink{
    "Папка ярлыков %1 — символическая ссылка. Ярлыки не созданы, в ней ничего не удалено.",
    "The shortcut folder %1 is a symbolic link. No shortcut was made and nothing in it was removed."};
constexpr TextPair kShortcutsNotMade{"Не удалось создать ярлыков: %1 из %2. ", "Shortcuts not made: %1 of %2. "};
constexpr TextPair kFolderNotOpened{"Ярлыки фотографий находятся в папке %1, но открыть её не удалось.",
                                    "The shortcuts of the photos are in %1, but the folder could not be opened."};

}  // namespace

void MakeShortcutListCommand(const TForm_Exif& window, const CommandDialogs& dialogs) {
  const Language language = window.UiLanguage();
  const std::filesystem::path folder = ShortcutFolderPath(window.ProgramFolderPath());
  const std::vector<std::string> photos = window.Survey().FilteredPathList();
  const ShortcutListResult result = MakeShortcutList(folder, photos);
  if (result.folder_is_link) {
    dialogs.error(ToQString(kFolderIsLink.In(language)).arg(QString::fromStdU16String(folder.u16string())));
    return;
  }
  if (!result.folder_failure.empty()) {
    dialogs.error(ToQString(kFolderFailure.In(language)) + ToQString(result.folder_failure));
    return;
  }
  if (!result.failures.empty()) {
    // One message for all of them; the first one says why.
    dialogs.error(ToQString(kShortcutsNotMade.In(language)).arg(result.failures.size()).arg(photos.size()) +
                  ToQString(result.failures.front()));
  }
  // Without a file manager the user would not learn where the shortcuts went.
  const QString folder_text = QString::fromStdU16String(folder.u16string());
  if (!dialogs.open_folder(folder_text)) dialogs.error(ToQString(kFolderNotOpened.In(language)).arg(folder_text));
}

}  // namespace lumetra
