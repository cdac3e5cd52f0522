#pragma once

// The main window's design: the places and sizes it was drawn with for a screen 1024 pixels wide, and
// the helpers its files share. Included by the main window's own files only.

#include <cmath>
#include <string_view>

#include <QFont>
#include <QSize>
#include <QString>

#include "widgets/QtText.h"

namespace lumetra::detail {

// A window of 1024 x 742 on a screen of 1024 x 768, whose client area (below the menu, the status bar
// included) is 1016 x 726.
inline constexpr int kDesignScreenWidth = 1024;
inline constexpr int kDesignScreenHeight = 768;
inline constexpr QSize kDesignWindow(1024, 742);
inline constexpr QSize kDesignClient(1016, 726);
inline constexpr int kDesignFontPixels = 11;
inline constexpr int kDesignStatusHeight = 19;
inline constexpr int kDesignStatusWidths[3] = {210, 200, 50};
inline constexpr int kDesignTabHeight = 25;
// The two rows of eight tabs leave this much of the tab control's width free.
inline constexpr int kTabRowSlack = 29;
inline constexpr int kTopOfTabs = 8;

// A design length at the screen's width: length x W / 1024, rounded to nearest, ties to even.
inline int ScaleLength(int length, int screen_width) {
  return static_cast<int>(std::nearbyint(static_cast<double>(length) * screen_width / kDesignScreenWidth));
}

}  // namespace lumetra::detail
