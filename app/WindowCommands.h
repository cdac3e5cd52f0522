#pragma once

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace lumetra {

/// What the enabled rules of the window's commands look at.
struct CommandContext {
  bool running = false;
  /// The folder chosen in the tree can be surveyed.
  bool folder_usable = false;
  /// The charts of a finished run are shown (the green light).
  bool result_shown = false;
  /// An earlier filter can be restored.
  bool previous_filter = false;
  /// The last run passed over folders or files it could not read.
  bool items_skipped = false;
};

/// When a command acts. During a run only Stop and Exit act: nothing may reset or rebuild what the run
/// counts.
enum class EnabledRule {
  kAlways,
  kIdle,
  /// Not during a run, and the folder chosen can be surveyed.
  kIdleWithFolder,
  /// Not during a run, and the charts of a finished run are shown: the shortcuts and saves are of them.
  kIdleWithResult,
  /// Not during a run, the charts of a finished run are shown, and an earlier filter is kept.
  kIdleWithPreviousFilter,
  /// Not during a run, and the last run passed over something: the list of what and why.
  kIdleWithSkipped,
};

[[nodiscard]] bool IsEnabled(EnabledRule rule, const CommandContext& context);

/// A command of the main menu as declared once: its object name, which is also the key of its caption in
/// `kMenuCaptions` (the language switch sets it); its key; when it acts; whether it is a setting shown
/// with a check mark.
struct CommandRow {
  std::string_view name;
  Qt::Key key = Qt::Key_unknown;
  EnabledRule rule = EnabledRule::kIdle;
  bool checkable = false;
};

/// The main menu's commands made from their rows: one action each, in row order, whose key works
/// wherever the focus is in the window. A command acts only while its rule holds, checked again when it
/// is triggered; `UpdateActions` applies every rule to the actions at once.
class WindowCommands : public QObject {
 public:
  /// Adds an action for each of `rows` to `menu`. The rows must outlive this object.
  WindowCommands(std::span<const CommandRow> rows, QMenu& menu, std::function<CommandContext()> context);

  /// What the command named `name` does; a command bound to nothing does nothing. A checkable command's
  /// handler is called after its check mark changed. `name` and `Action`'s must name a row: another name
  /// is a fault of the program and ends it at once, naming the command.
  void Bind(std::string_view name, std::function<void()> handler);
  /// Enables each action as its rule and the context say.
  void UpdateActions();

  [[nodiscard]] QAction& Action(std::string_view name) const;

 private:
  struct Command {
    const CommandRow* row;
    QAction* action;
    std::function<void()> handler;
  };
  [[nodiscard]] Command& Find(std::string_view name);

  std::function<CommandContext()> context_;
  std::vector<Command> commands_;
};

}  // namespace lumetra
