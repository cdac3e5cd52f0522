#pragma once

#include <QString>

namespace lumetra {

/// Keeps `file` telling where every visible named control of the program is on the screen and what it
/// shows, one line each: name, left, top, width, height, enabled (1 or 0), checked (1, 0, or - when it cannot
/// be checked) and its text, separated by tabs. The items of an open menu are listed by their action names, the cells
/// in view of a named grid or list as "<name>:<row>:<column>". What a test
/// that drives the real program with X input needs to find the controls a person sees. The file is
/// rewritten whole (under a temporary name, then renamed) whenever it changes, checked every 100 ms.
void StartWidgetMap(const QString& file);

}  // namespace lumetra
