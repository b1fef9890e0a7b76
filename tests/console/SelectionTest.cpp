#include "console/Selection.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

std::tuple<int, int, int, int> Edges(const TCellRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TEST(Selection, EdgesFollowThePointerAndDraggingBackShrinks) {
  TextSelection sel;
  sel.Begin(5, 5);
  EXPECT_FALSE(sel.Shown());
  sel.Extend(8, 7);  // right and down past the edges: those edges follow
  EXPECT_TRUE(sel.Shown());
  EXPECT_EQ(Edges(sel.Rect()), std::make_tuple(5, 5, 8, 7));
  const TCellRect dirty = sel.Extend(6, 6);  // back inside: the anchored edges shrink
  EXPECT_EQ(Edges(sel.Rect()), std::make_tuple(5, 5, 6, 6));
  EXPECT_EQ(Edges(dirty), std::make_tuple(5, 5, 8, 7)) << "the old extent must be redrawn too";
  sel.Extend(2, 6);  // past the left edge: the left edge takes over
  EXPECT_EQ(Edges(sel.Rect()), std::make_tuple(2, 5, 6, 6));
  sel.Extend(4, 6);
  EXPECT_EQ(Edges(sel.Rect()), std::make_tuple(4, 5, 6, 6));
}

TEST(Selection, CopiedTextDropsTrailingBlanksAndEndsRowsOnlyWhenSeveral) {
  std::vector<TCell> grid;  // three rows of eight cells
  for (char32_t ch : std::u32string(U"ab  cd  " U" x\t     " U"        ")) grid.push_back({ch, 7});
  EXPECT_EQ(SelectionText(grid.data(), 8, {0, 0, 3, 0}), U"ab");
  EXPECT_EQ(SelectionText(grid.data(), 8, {0, 0, 7, 1}), U"ab  cd\n x\n");
  EXPECT_EQ(SelectionText(grid.data(), 8, {1, 1, 5, 2}), U"x\n\n");
}
