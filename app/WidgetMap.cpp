#include "app/WidgetMap.h"

#include <memory>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace lumetra {
namespace {

constexpr int kIntervalMs = 100;

QString OneLine(QString text) {
  text.replace(QLatin1Char('\t'), QLatin1Char(' '));
  text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
  text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
  return text;
}

QString TextOf(const QWidget& widget) {
  if (widget.isWindow()) return widget.windowTitle();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) return edit->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(&widget)) return box->title();
  return {};
}

QString CheckedOf(const QWidget& widget) {
  const auto* button = qobject_cast<const QAbstractButton*>(&widget);
  if (button == nullptr || !button->isCheckable()) return QStringLiteral("-");
  return button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void AddLine(QString& map, const QString& name, const QRect& global, bool enabled, const QString& checked,
             const QString& text) {
  map += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\n")
             .arg(name)
             .arg(global.x())
             .arg(global.y())
             .arg(global.width())
             .arg(global.height())
             .arg(enabled ? 1 : 0)
             .arg(checked, OneLine(text));
}

// The cells of a grid or list that are in view, as "<view>:<row>:<column>".
void AddCells(QString& map, QAbstractItemView& view) {
  const QAbstractItemModel* model = view.model();
  if (model == nullptr) return;
  const QRect shown = view.viewport()->rect();
  for (int row = 0; row < model->rowCount(view.rootIndex()); ++row) {
    for (int column = 0; column < model->columnCount(view.rootIndex()); ++column) {
      const QModelIndex index = model->index(row, column, view.rootIndex());
      const QRect place = view.visualRect(index);
      if (!place.isValid() || !shown.intersects(place)) continue;
      AddLine(map, QStringLiteral("%1:%2:%3").arg(view.objectName()).arg(row).arg(column),
              QRect(view.viewport()->mapToGlobal(place.topLeft()), place.size()), view.isEnabled(), QStringLiteral("-"),
              index.data().toString());
    }
  }
}

void AddWidget(QString& map, QWidget& widget) {
  if (!widget.isVisible()) return;
  if (!widget.objectName().isEmpty()) {
    AddLine(map, widget.objectName(), QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()), widget.isEnabled(),
            CheckedOf(widget), TextOf(widget));
  }
  if (auto* view = qobject_cast<QAbstractItemView*>(&widget); view != nullptr && !widget.objectName().isEmpty()) {
    AddCells(map, *view);
  }
  if (auto* menu = qobject_cast<QMenu*>(&widget)) {
    for (QAction* action : menu->actions()) {
      if (action->objectName().isEmpty() || !action->isVisible()) continue;
      const QRect place = menu->actionGeometry(action);
      AddLine(map, action->objectName(), QRect(menu->mapToGlobal(place.topLeft()), place.size()), action->isEnabled(),
              QStringLiteral("-"), action->text());
    }
  }
  for (QObject* child : widget.children()) {
    if (auto* child_widget = qobject_cast<QWidget*>(child); child_widget != nullptr && !child_widget->isWindow()) {
      AddWidget(map, *child_widget);
    }
  }
}

}  // namespace

void StartWidgetMap(const QString& file) {
  auto* timer = new QTimer(qApp);
  auto last = std::make_shared<QString>();
  QObject::connect(timer, &QTimer::timeout, [file, last] {
    QString map;
    for (QWidget* window : QApplication::topLevelWidgets()) AddWidget(map, *window);
    if (map == *last) return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(map.toUtf8());
    if (out.commit()) *last = map;
  });
  timer->start(kIntervalMs);
}

}  // namespace lumetra
