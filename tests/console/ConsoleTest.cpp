// Drives the real console window: writes cells, reads the grid and the
// off-screen pixels back.
#include "console/Console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "foundation/CellString.h"

namespace {

CConsole& Screen() { return *g_console; }

std::u32string RowText(int row, int col = 0, int width = -1) {
  std::u32string text;
  if (width < 0) width = Screen().Columns() - col;
  for (int c = col; c < col + width; ++c) text += static_cast<char32_t>(Screen().CellAt(c, row).ch);
  return text;
}

// Starts every test from a blank 80 x 25 screen without cursor or hold.
class ConsoleTest : public testing::Test {
 protected:
  void SetUp() override {
    if (Screen().Columns() != 80 || Screen().Lines() != 25) Screen().SetScreenSize(25, 80);
    Screen().SetCursorSize(0);
    Screen().FillArea(0, 0, 80, 25, 7);
  }
  uint32_t CellPixel(int col, int row, int dx, int dy) {
    return Screen().PixelAt(col * Screen().CellWidth() + dx, row * Screen().CellHeight() + dy);
  }
};

}  // namespace

TEST_F(ConsoleTest, WritesClipAtTheRightEdgeAndStoreControlsAsPictures) {
  Screen().WriteText(77, 3, L"abcdef", 0x1F);
  EXPECT_EQ(RowText(3, 76, 4), U" abc");
  EXPECT_EQ(Screen().CellAt(0, 4).ch, U' ') << "a clipped write continued on the next line";

  const int before = Screen().DrawCount();
  Screen().WriteText(-1, 3, L"x", 0x1F);
  Screen().WriteText(0, 25, L"x", 0x1F);
  Screen().FillCells(80, 3, 5, {'y', 0x1F});
  EXPECT_EQ(Screen().DrawCount(), before) << "a write outside the grid drew something";

  Screen().FillCells(78, 5, 10, {'z', 0x2E});
  Screen().SetAttributes(78, 5, 10, 0x4F);
  EXPECT_EQ(Screen().CellAt(79, 5).attr, 0x4F);
  EXPECT_EQ(Screen().CellAt(79, 5).ch, U'z') << "SetAttributes changed a character";

  // Control characters are stored as pictures.
  const wchar_t text[] = {7, 1, 31, 127, 159, 160, 0};
  Screen().WriteText(0, 1, text, 7);
  EXPECT_EQ(RowText(1, 0, 6), U"\u2022\u263A\u25BC\u2302\u2302\u00A0");
  Screen().FillCells(0, 2, 2, {127, 7});
  Screen().FillCells(2, 2, 1, {7, 7});
  EXPECT_EQ(RowText(2, 0, 3), U"\x7F\x7F\u2022") << "the fill maps only 1..31";
}

TEST_F(ConsoleTest, WritingWhatIsAlreadyThereDrawsNothing) {
  Screen().WriteText(10, 2, L"same", 0x1E);
  const int before = Screen().DrawCount();
  Screen().WriteText(10, 2, L"same", 0x1E);
  Screen().SetAttributes(10, 2, 4, 0x1E);
  Screen().FillArea(40, 10, 5, 5, 7);
  const TCell cells[] = {{'a', 0x1E}, {'m', 0x1E}, {0, 0}};
  Screen().WriteCells(11, 2, cells);
  EXPECT_EQ(Screen().DrawCount(), before);
  Screen().WriteText(10, 2, L"samE", 0x1E);
  EXPECT_EQ(Screen().DrawCount(), before + 1) << "one changed cell is one drawn run";
}

TEST_F(ConsoleTest, HoldsCollectOneRectangleAndDrawOnceAtTheOutermostEnd) {
  const int before = Screen().DrawCount();
  Screen().BeginUpdate();
  Screen().BeginUpdate();
  Screen().WriteText(5, 3, L"abc", 0x17);
  Screen().WriteText(20, 8, L"de", 0x17);
  Screen().EndUpdate();
  EXPECT_EQ(Screen().DrawCount(), before) << "an inner EndUpdate drew";
  Screen().EndUpdate();
  EXPECT_EQ(Screen().DrawCount(), before + 1) << "both writes drawn as one rectangle";
}

TEST_F(ConsoleTest, SaveAndRestoreBringBackWhatAWindowCovered) {
  Screen().WriteText(10, 10, L"panel text", 0x30);
  std::unique_ptr<TCell[]> saved = Screen().SaveArea(9, 9, 12, 3);
  Screen().FillArea(9, 9, 12, 3, 0x70);
  Screen().WriteText(10, 10, L"dialog", 0x70);
  Screen().RestoreArea(9, 9, 12, 3, saved.get());
  EXPECT_EQ(RowText(10, 10, 10), U"panel text");

  // An area partly outside the grid saves blanks there and restores the rest.
  Screen().WriteText(78, 24, L"ok", 0x4E);
  std::unique_ptr<TCell[]> edge = Screen().SaveArea(78, 24, 4, 2);
  Screen().FillArea(70, 20, 10, 5, 7);
  Screen().RestoreArea(78, 24, 4, 2, edge.get());
  EXPECT_EQ(RowText(24, 78, 2), U"ok");
}

TEST_F(ConsoleTest, ScrollingMovesCellsAndBlanksTheFreedLines) {
  for (int r = 0; r < 5; ++r) Screen().FillCells(2, 10 + r, 2, {uint32_t('a' + r), 0x17});
  Screen().WriteText(0, 10, L"L", 0x17);  // left of the rectangle: must not move
  Screen().ScrollUp(2, 10, 2, 5, 2, 0x20);
  EXPECT_EQ(RowText(10, 0, 4), U"L cc");
  EXPECT_EQ(RowText(12, 2, 2), U"ee");
  EXPECT_EQ(Screen().CellAt(2, 14).attr, 0x20);
  Screen().ScrollDown(2, 10, 2, 5, 1, 0x40);
  EXPECT_EQ(Screen().CellAt(2, 10).attr, 0x40);
  EXPECT_EQ(RowText(13, 2, 2), U"ee");
  Screen().ScrollUp(2, 10, 2, 5, 9, 0x50);  // more than the height: all blank
  EXPECT_EQ(RowText(11, 2, 2), U"  ");
  EXPECT_EQ(Screen().CellAt(3, 14).attr, 0x50);
}

TEST_F(ConsoleTest, PixelsUseThePaletteFollowScrollingAndTheCursorContrasts) {
  Screen().FillArea(0, 12, 80, 1, MakeAttr(Color::White, Color::Red));
  Screen().ScrollUp(0, 5, 80, 10, 4, 0);
  EXPECT_EQ(CellPixel(40, 8, 1, 1), 0x7F0000u) << "the red row's pixels did not move up";
  EXPECT_EQ(CellPixel(40, 12, 1, 1), 0x000000u) << "the freed line was not cleared";
  Screen().WriteText(3, 4, L"\u2588", MakeAttr(Color::White, Color::Blue));
  Screen().WriteText(4, 4, L" ", MakeAttr(Color::White, Color::Blue));
  EXPECT_EQ(CellPixel(3, 4, Screen().CellWidth() / 2, Screen().CellHeight() / 2), 0xFFFFFFu);
  Screen().FillArea(6, 4, 1, 1, MakeAttr(Color::Black, Color::LightGray));

  // The blink thread hides the cursor after half a second; a freshly set
  // cursor is visible, so read right after setting it and allow a retry.
  auto cursorPixel = [&](int col) {
    uint32_t pixel = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
      Screen().SetCursorPos(col, 4);
      Screen().SetCursorSize(100);
      pixel = CellPixel(col, 4, 1, 1);
      Screen().SetCursorSize(0);
      if (pixel == 0xFFFFFF || pixel == 0) break;
    }
    return pixel;
  };
  EXPECT_EQ(cursorPixel(4), 0xFFFFFFu) << "cursor over blue must be white";
  EXPECT_EQ(cursorPixel(6), 0x000000u) << "cursor over grey must be black";
  EXPECT_EQ(CellPixel(6, 4, 1, 1), 0xC0C0C0u) << "size 0 must hide the cursor";
}

TEST_F(ConsoleTest, ScreenSizeKeepsTheFontWhenNoneIsGiven) {
  const int cellWidth = Screen().CellWidth(), cellHeight = Screen().CellHeight();
  Screen().WriteText(0, 0, L"lost", 7);
  int resized = 0;
  Screen().SetResizeHandler([&] { ++resized; });
  Screen().SetScreenSize(30, 100, "", 0);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(std::make_pair(Screen().Columns(), Screen().Lines()), std::make_pair(100, 30));
  EXPECT_EQ(std::make_pair(Screen().CellWidth(), Screen().CellHeight()),
            std::make_pair(cellWidth, cellHeight));
  Screen().WriteText(95, 29, L"corner", 0x1F);
  EXPECT_EQ(RowText(29, 0, 5) + RowText(29, 95, 5), U"     corne") << "a blank grid";

  Screen().SetScreenSize(25, 80, "", 20);
  EXPECT_GT(Screen().CellHeight(), cellHeight) << "a larger font gives larger cells";
  Screen().SetScreenSize(25, 80, "", 12);
  Screen().SetResizeHandler(nullptr);

  // The X server answers a resize on its own time: wait for the window to
  // settle at the expected size (or give up after a generous while).
  int width = 0, height = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    Screen().RunOnWindowThread([&] { Screen().get_size(width, height); });
    if (width == 80 * cellWidth && height == 25 * cellHeight) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(80 * cellWidth, 25 * cellHeight));
}

TEST_F(ConsoleTest, NarrowTitleUsesTheConsoleCodePage) {
  // 0x82 is e-acute in code page 850 and a comma-like quote in 1252.
  Screen().SetCodePage(1252);
  Screen().SetCodePage(0);
  Screen().SetTitle("r\x82sum\x82");
  std::string title;
  Screen().RunOnWindowThread([&] { title = Screen().get_title(); });
  EXPECT_EQ(title, "r\u201Asum\u201A") << "0 keeps the current code page";
  Screen().SetCodePage(850);
}
