#include "app/WindowCommands.h"

#include <QAction>
#include <QMenu>

#include "widgets/QtText.h"

namespace lumetra {

bool IsEnabled(EnabledRule rule, const CommandContext& context) {
  switch (rule) {
    case EnabledRule::kAlways:
      return true;
    case EnabledRule::kIdle:
      return !context.running;
    case EnabledRule::kIdleWithFolder:
      return !context.running && context.folder_usable;
    case EnabledRule::kIdleWithResult:
      return !context.running && context.result_shown;
    case EnabledRule::kIdleWithPreviousFilter:
      return !context.running && context.result_shown && context.previous_filter;
    case EnabledRule::kIdleWithSkipped:
      return !context.running && context.items_skipped;
  }
  return false;
}

WindowCommands::WindowCommands(std::span<const CommandRow> rows, QMenu& menu, std::function<CommandContext()> context)
    : QObject(&menu), context_(std::move(context)) {
  commands_.reserve(rows.size());
  for (const CommandRow& row : rows) {
    QAction* action = menu.addAction(QString());
    action->setObjectName(ToQString(row.name));
    action->setCheckable(row.checkable);
    action->setShortcut(QKeySequence(row.key));
    // The keys work wherever the focus is in the window: the tree, the radio buttons, the charts.
    action->setShortcutContext(Qt::WindowShortcut);
    commands_.push_back({&row, action, {}});
    const std::string_view name = row.name;
    connect(action, &QAction::triggered, this, [this, name] {
      Command& command = Find(name);
      if (command.handler && IsEnabled(command.row->rule, context_())) command.handler();
    });
  }
}

WindowCommands::Command& WindowCommands::Find(std::string_view name) {
  for (Command& command : commands_) {
    if (command.row->name == name) return command;
  }
  qFatal("no window command %.*s", static_cast<int>(name.size()), name.data());
}

QAction& WindowCommands::Action(std::string_view name) const {
  return *const_cast<WindowCommands*>(this)->Find(name).action;
}

void WindowCommands::Bind(std::string_view name, std::function<void()> handler) {
  Find(name).handler = std::move(handler);
}

void WindowCommands::UpdateActions() {
  const CommandContext context = context_();
  for (const Command& command : commands_) command.action->setEnabled(IsEnabled(command.row->rule, context));
}

}  // namespace lumetra
