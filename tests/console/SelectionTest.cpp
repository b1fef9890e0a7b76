#include "console/Selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<TCell> Grid(const std::vector<std::u32string>& rows) {
  std::vector<TCell> grid;
  for (const std::u32string& row : rows)
    for (char32_t ch : row) grid.push_back({static_cast<uint32_t>(ch), 7});
  return grid;
}

}  // namespace

TEST(Selection, EdgesFollowThePointerAndDraggingBackShrinks) {
  TextSelection sel;
  sel.Begin(5, 5);
  EXPECT_FALSE(sel.Shown());
  sel.Extend(8, 7);  // right and down past the edges: those edges follow
  EXPECT_TRUE(sel.Shown());
  EXPECT_EQ(sel.Rect().left, 5);
  EXPECT_EQ(sel.Rect().right, 8);
  EXPECT_EQ(sel.Rect().bottom, 7);
  const TCellRect dirty = sel.Extend(6, 6);  // back inside: the anchored edges shrink
  EXPECT_EQ(sel.Rect().right, 6);
  EXPECT_EQ(sel.Rect().bottom, 6);
  EXPECT_EQ(dirty.right, 8) << "the old extent must be redrawn too";
  EXPECT_EQ(dirty.bottom, 7);
  sel.Extend(2, 6);  // past the left edge: the left edge takes over
  EXPECT_EQ(sel.Rect().left, 2);
  EXPECT_EQ(sel.Rect().right, 6);
  sel.Extend(4, 6);
  EXPECT_EQ(sel.Rect().left, 4);
  EXPECT_EQ(sel.Rect().right, 6);
}

TEST(Selection, CopiedTextDropsTrailingBlanksAndEndsRowsOnlyWhenSeveral) {
  const std::vector<TCell> grid = Grid({U"ab  cd  ", U" x\t    ", U"        "});
  EXPECT_EQ(SelectionText(grid.data(), 8, {0, 0, 3, 0}), U"ab");
  EXPECT_EQ(SelectionText(grid.data(), 8, {0, 0, 7, 1}), U"ab  cd\n x\n");
  EXPECT_EQ(SelectionText(grid.data(), 8, {1, 1, 5, 2}), U"x\n\n");
  EXPECT_EQ(SelectionText(grid.data(), 8, {4, 0, 4, 0}), U"c");
}
