#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "charts/ChartCatalog.h"

namespace lumetra {

/// A chart's place inside the chart area, in pixels.
struct PageRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const PageRect&, const PageRect&) = default;
};

/// The ten places of the main overview in a chart area of `client_width` x `client_height`, by place: three bar charts
/// on each of the first two rows, the four small pies on the third, rows `trunc(2 x KoefH)` apart (`KoefH` in 1/10000).
/// Divisions truncate.
[[nodiscard]] std::array<PageRect, 10> MainPageRects(int client_width, int client_height, int64_t KoefH);

/// The four places of the additional overview in a 2 x 2 grid, by place.
[[nodiscard]] std::array<PageRect, 4> AdditionalPageRects(int client_width, int client_height);

/// The three places of the time overview: the months across the upper half, the weekdays in the lower
/// half's left third and the hours beside them.
[[nodiscard]] std::array<PageRect, 3> TimePageRects(int client_width, int client_height);

/// The places of overview page `page`, one per place of its row; `KoefH` matters to the main page only.
[[nodiscard]] std::vector<PageRect> OverviewRects(OverviewPage page, int client_width, int client_height,
                                                  int64_t KoefH);

/// A chart alone on its page: the whole area less 2 pixels each way.
[[nodiscard]] PageRect SinglePageRect(int client_width, int client_height);

}  // namespace lumetra
