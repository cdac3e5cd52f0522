#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include <QObject>
#include <QPoint>

#include "app/CommandDialogs.h"
#include "charts/ChartModel.h"

class QAction;
class QEvent;
class QMenu;

namespace lumetra {

class TForm_Exif;

/// The pop-up menu of the charts, `myPopup`: save the chart as a JPEG picture (`mSaveJPEG`), save its
/// tally as a text table (`mSaveTXT`), switch a bar chart shown alone between bars and pie
/// (`mChangeType`); keep only the photos of the bar or slice the menu is for, or leave them out (`mOnly`,
/// `mAllBut`: "Only “1/250”", "All but “1/250”"), greyed with the reason in the status bar where the filter
/// cannot say that. The keyboard reaches it too: the context-menu key or Shift+F10 on a chart, or on the
/// tabs while a chart is shown alone. The saves act only while the charts of a finished run are shown; a name gets its
/// extension unless it already ends with it (in any case), an existing file is replaced only when the
/// user agrees, and a failed save is reported and leaves the page as it was.
class ChartMenu : public QObject {
 public:
  /// Makes the menu as a child of `window`, which owns this object; the window's chart pages open it.
  ChartMenu(TForm_Exif& window, CommandDialogs dialogs);

  /// Opens the menu for `chart` at the screen position `at`, its commands "Only" and "All but" for `point`
  /// (an index of the shown series' points; none: greyed); the chart becomes `MenuChart`.
  void Open(ChartId chart, QPoint at, std::optional<size_t> point = std::nullopt);

  void mSaveJPEGClick();
  void mSaveTXTClick();
  void mChangeTypeClick();
  void mOnlyClick();
  void mAllButClick();

  /// The chart on which the menu was last opened, the target of its commands.
  [[nodiscard]] std::optional<ChartId> MenuChart() const { return MenuChart_; }

 protected:
  /// The context-menu key and Shift+F10 on the tabs open the menu of the chart shown alone.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// The file chosen for a save with its `extension` (".jpg"), once the user agreed to replace an
  /// existing one; nothing when the user cancelled.
  [[nodiscard]] std::optional<std::filesystem::path> ChooseFile(QAction* command, const QString& filter,
                                                                std::string_view extension);
  void ReportSaveFailure(const std::string& failure);
  /// Captions and enables "Only" and "All but" for the point the menu is for; returns why the first
  /// greyed one cannot be made, if any.
  QString PrepareChartCommands();

  TForm_Exif& window_;
  CommandDialogs dialogs_;
  std::optional<ChartId> MenuChart_;
  std::optional<size_t> MenuPoint_;
  QMenu* myPopup = nullptr;
  QAction* mSaveJPEG = nullptr;
  QAction* mSaveTXT = nullptr;
  QAction* mChangeType = nullptr;
  QAction* mOnly = nullptr;
  QAction* mAllBut = nullptr;
  QWidget* tabs_ = nullptr;  // the window's Tab_Exif
};

}  // namespace lumetra
