#include <gtest/gtest.h>

#include "charts/PageLayout.h"

namespace lumetra {
namespace {

TEST(MainPageRects, ThreeRowsInTheDesignedChartArea) {
  // The chart area of a 1024-pixel screen; rows 2 pixels apart.
  const auto rects = MainPageRects(725, 610, 10000);
  EXPECT_EQ(rects[0], (PageRect{0, 2, 239, 201}));
  EXPECT_EQ(rects[1], (PageRect{239, 2, 239, 201}));
  EXPECT_EQ(rects[2], (PageRect{478, 2, 239, 201}));
  EXPECT_EQ(rects[3], (PageRect{0, 205, 239, 201}));
  EXPECT_EQ(rects[5], (PageRect{478, 205, 239, 201}));
  // The four pies start 2 pixels in and stand 2 pixels apart.
  EXPECT_EQ(rects[6], (PageRect{2, 408, 179, 201}));
  EXPECT_EQ(rects[7], (PageRect{183, 408, 179, 201}));
  EXPECT_EQ(rects[9], (PageRect{545, 408, 179, 201}));
}

TEST(MainPageRects, TheRowGapFollowsTheScreensHeight) {
  // KoefH 1.3333 gives a gap of trunc(2.6666) = 2; 1.5 gives 3.
  EXPECT_EQ(MainPageRects(906, 800, 13333)[0].top, 2);
  EXPECT_EQ(MainPageRects(906, 800, 15000)[0].top, 3);
  EXPECT_EQ(MainPageRects(906, 800, 15000)[3].top, 3 + 264 + 3);
}

TEST(AdditionalPageRects, TwoByTwo) {
  const auto rects = AdditionalPageRects(725, 610);
  EXPECT_EQ(rects[0], (PageRect{0, 0, 360, 303}));
  EXPECT_EQ(rects[1], (PageRect{362, 0, 360, 303}));
  EXPECT_EQ(rects[2], (PageRect{0, 305, 360, 303}));
  EXPECT_EQ(rects[3], (PageRect{362, 305, 360, 303}));
  EXPECT_EQ(SinglePageRect(725, 610), (PageRect{0, 0, 723, 608}));
}

}  // namespace
}  // namespace lumetra
