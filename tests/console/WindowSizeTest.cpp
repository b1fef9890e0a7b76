// The window's pixels as whole cells, and a drag of the window edge settling
// into one new screen size.
#include <gtest/gtest.h>

#include <vector>

#include "console/WindowSize.h"

namespace {

TEST(WindowSizeTest, PixelsBecomeWholeCellsNeverBelowTheMinimum) {
  struct Case {
    int width, height, cellWidth, cellHeight;
    TScreenCells expected;
  };
  const std::vector<Case> cases = {
      {1320, 665, 10, 19, {132, 35}},    // an exact multiple
      {1329, 683, 10, 19, {132, 35}},    // part of a cell is dropped
      {1330, 684, 10, 19, {133, 36}},    // one more pixel makes the next cell
      {400, 200, 10, 19, {80, 25}},      // a window below the minimum
      {0, 0, 10, 19, {80, 25}},          // an unmapped window
      {2000, 1000, 0, 0, {2000, 1000}},  // no cell size measured yet
  };
  for (const Case& c : cases) {
    const TScreenCells got =
        CellsForPixels(c.width, c.height, c.cellWidth, c.cellHeight, kMinimumWindowCells);
    EXPECT_EQ(got.columns, c.expected.columns)
        << c.width << "x" << c.height << " cell " << c.cellWidth;
    EXPECT_EQ(got.lines, c.expected.lines)
        << c.width << "x" << c.height << " cell " << c.cellHeight;
  }
}

TEST(WindowSizeTest, ABurstOfSizesSettlesIntoTheLastOneOnce) {
  CResizeSettler settler(120);
  int width = 0, height = 0;
  EXPECT_FALSE(settler.Take(1000, &width, &height)) << "nothing noted";
  // Ten sizes 30 ms apart: none stands long enough while the drag goes on.
  int64_t now = 1000;
  for (int i = 0; i < 10; ++i, now += 30) {
    settler.Note(800 + 10 * i, 500 + 5 * i, now);
    EXPECT_FALSE(settler.Take(now + 29, &width, &height))
        << "size " << i << " taken during the drag";
  }
  const int64_t last = now - 30;
  EXPECT_FALSE(settler.Take(last + 119, &width, &height)) << "taken before the quiet period ended";
  ASSERT_TRUE(settler.Take(last + 120, &width, &height));
  EXPECT_EQ(width, 890);
  EXPECT_EQ(height, 545);
  EXPECT_FALSE(settler.Take(last + 500, &width, &height)) << "the same size handed out twice";
}

TEST(WindowSizeTest, ADragBackToTheScreenSizeChangesNothing) {
  CResizeSettler settler(120);
  settler.Note(900, 600, 0);
  settler.Cancel();
  int width = 0, height = 0;
  EXPECT_FALSE(settler.Pending());
  EXPECT_FALSE(settler.Take(1000, &width, &height));
  // A later size counts from its own time, not from the cancelled one.
  settler.Note(700, 400, 2000);
  EXPECT_FALSE(settler.Take(2100, &width, &height));
  EXPECT_TRUE(settler.Take(2120, &width, &height));
  EXPECT_EQ(width, 700);
}

}  // namespace
