#include "charts/PageLayout.h"

#include "numbers/FixedPoint.h"

namespace lumetra {

std::array<PageRect, 10> MainPageRects(int client_width, int client_height, int64_t KoefH) {
  const int gap = static_cast<int>(2 * KoefH / kFixedPointUnit);
  const int height = client_height / 3 - 2;
  const int wide = client_width / 3 - 2;
  const int narrow = client_width / 4 - 2;
  std::array<PageRect, 10> rects;
  int top = gap;
  // Two rows of three bar charts side by side, then the four pies 2 pixels apart.
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) rects[row * 3 + column] = {column * wide, top, wide, height};
    top += height + gap;
  }
  for (int column = 0; column < 4; ++column) rects[6 + column] = {2 + column * (narrow + 2), top, narrow, height};
  return rects;
}

std::array<PageRect, 4> AdditionalPageRects(int client_width, int client_height) {
  const int width = client_width / 2 - 2;
  const int height = client_height / 2 - 2;
  const int right = client_width / 2;
  const int bottom = client_height / 2;
  return {
      {{0, 0, width, height}, {right, 0, width, height}, {0, bottom, width, height}, {right, bottom, width, height}}};
}

std::array<PageRect, 3> TimePageRects(int client_width, int client_height) {
  const int height = client_height / 2 - 2;
  const int bottom = client_height / 2;
  // The weekdays' seven bars take a third of the lower half, the hours' twenty-four the rest.
  const int third = client_width / 3;
  return {{{0, 0, client_width - 2, height},
           {0, bottom, third - 2, height},
           {third, bottom, client_width - third - 2, height}}};
}

std::vector<PageRect> OverviewRects(OverviewPage page, int client_width, int client_height, int64_t KoefH) {
  // Each layout has as many places as its page's row has places.
  static_assert(std::tuple_size_v<decltype(MainPageRects(0, 0, 0))> == RowOf(OverviewPage::kMain).places);
  static_assert(std::tuple_size_v<decltype(AdditionalPageRects(0, 0))> == RowOf(OverviewPage::kAdditional).places);
  static_assert(std::tuple_size_v<decltype(TimePageRects(0, 0))> == RowOf(OverviewPage::kTime).places);
  switch (page) {
    case OverviewPage::kMain: {
      const auto rects = MainPageRects(client_width, client_height, KoefH);
      return {rects.begin(), rects.end()};
    }
    case OverviewPage::kAdditional: {
      const auto rects = AdditionalPageRects(client_width, client_height);
      return {rects.begin(), rects.end()};
    }
    case OverviewPage::kTime: {
      const auto rects = TimePageRects(client_width, client_height);
      return {rects.begin(), rects.end()};
    }
  }
  return {};
}

PageRect SinglePageRect(int client_width, int client_height) { return {0, 0, client_width - 2, client_height - 2}; }

}  // namespace lumetra
