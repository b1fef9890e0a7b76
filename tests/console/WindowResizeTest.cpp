// The real console window resized the way a window manager or a drag does:
// the grid follows once the size settles, keys wait their turn, the font
// zoom keeps the window's pixels, and a terminal session learns the size.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "console/Console.h"
#include "console/TermSession.h"

namespace {

CConsole& Con() { return *g_console; }

std::pair<int, int> ScreenSize() { return {Con().Columns(), Con().Lines()}; }

std::pair<int, int> WindowPixels() {
  int width = 0, height = 0;
  Con().RunOnWindowThread([&] { Con().get_size(width, height); });
  return {width, height};
}

// Reads keys for up to `rounds` x 50 ms until `done` holds; returns the keys read.
template <typename Done>
std::u32string ReadKeysUntil(Done done, int rounds = 100) {
  std::u32string keys;
  for (int i = 0; i < rounds && !done(); ++i)
    if (const uint32_t key = Con().GetKey(nullptr, 50)) keys += static_cast<char32_t>(key);
  return keys;
}

class WindowResizeTest : public testing::Test {
 protected:
  void SetUp() override {
    Con().SetScreenSize(25, 80, "", 12);
    // Wait for the window to take the size, so no answer arrives late.
    for (int i = 0; i < 100 && WindowPixels() !=
                                   std::make_pair(80 * Con().CellWidth(), 25 * Con().CellHeight());
         ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  void TearDown() override {
    Con().SetResizeHandler(nullptr);
    Con().SetScreenSize(25, 80, "", 12);
  }
};

TEST_F(WindowResizeTest, ADragRebuildsTheGridOnceKeepingCellsAndKeys) {
  Con().FillArea(0, 0, 80, 25, 7);
  Con().WriteText(0, 0, L"kept", 0x1F);
  Con().WriteText(76, 24, L"edge", 0x1F);
  int resized = 0, redrawn = 0;
  Con().SetResizeHandler([&] { ++resized; });
  CRedrawOnResize screen([&] { ++redrawn; });
  const int cellWidth = Con().CellWidth(), cellHeight = Con().CellHeight();
  // Ten sizes in quick succession, the last one with part of a cell over.
  for (int i = 9; i >= 0; --i) {
    Con().RunOnWindowThread(
        [&] { Con().resize((103 + i) * cellWidth + cellWidth / 2, (31 + i) * cellHeight + 3); });
    if (i == 5) {
      TConsoleEvent key;
      key.code = 'x';
      Con().Events().Post(key);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::u32string keys =
      ReadKeysUntil([&] { return resized > 0 && ScreenSize() == std::make_pair(103, 31); });
  EXPECT_EQ(ScreenSize(), std::make_pair(103, 31));
  (void)ReadKeysUntil([] { return false; }, 6);  // a second change would come now
  EXPECT_EQ(resized, 1) << "the burst must settle into one change";
  EXPECT_EQ(redrawn, 1);
  EXPECT_EQ(keys, U"x") << "a key typed during the drag is read once, in order";
  EXPECT_EQ(Con().CellAt(0, 0).ch, U'k') << "cells inside both sizes stay";
  EXPECT_EQ(Con().CellAt(76, 24).ch, U'e');
  EXPECT_EQ(Con().CellAt(102, 30).ch, U' ') << "new cells are blank";
}

TEST_F(WindowResizeTest, FontZoomKeepsTheWindowPixelsAndRecountsTheCells) {
  Con().SetScreenSize(40, 132);
  for (int i = 0; i < 100 && WindowPixels() !=
                                 std::make_pair(132 * Con().CellWidth(), 40 * Con().CellHeight());
       ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::pair<int, int> pixels = WindowPixels();
  const int cellWidth = Con().CellWidth();
  Con().ZoomFont(4);
  (void)ReadKeysUntil([] { return Con().FontSize() == 16; });
  ASSERT_EQ(Con().FontSize(), 16);
  EXPECT_GT(Con().CellWidth(), cellWidth);
  EXPECT_EQ(Con().Columns(), std::max(80, pixels.first / Con().CellWidth()));
  EXPECT_EQ(Con().Lines(), std::max(25, pixels.second / Con().CellHeight()));
  Con().ZoomFont(-100);
  (void)ReadKeysUntil([] { return Con().FontSize() != 16; });
  EXPECT_EQ(Con().FontSize(), 6) << "the zoom stops at the smallest font";
}

TEST_F(WindowResizeTest, ASessionTellsTheProgramTheNewSizeAndKeepsItsSavedScreen) {
  int master = -1, slave = -1;
  winsize start{};
  start.ws_row = 25;
  start.ws_col = 80;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, &start), 0);
  {
    Con().FillArea(0, 0, 80, 25, 7);
    Con().SetCursorPos(0, 0);
    CTermSession session(&Con(), master, 0x07);
    session.Write("main\x1b[?1049h\x1b[25;80H", -1);
    Con().SetScreenSize(20, 60);
    session.Resize(20, 60);
    winsize now{};
    ASSERT_EQ(ioctl(slave, TIOCGWINSZ, &now), 0);
    EXPECT_EQ(std::make_pair(int(now.ws_col), int(now.ws_row)), std::make_pair(60, 20));
    EXPECT_EQ(std::make_pair(session.CursorColumn(), session.CursorRow()), std::make_pair(59, 19))
        << "the cursor stays on the smaller screen";
    session.Write("\x1b[20;1Hbottom", -1);
    EXPECT_EQ(Con().CellAt(0, 19).ch, U'b') << "the scroll region follows the new height";
    session.Write("\x1b[?1049l", -1);
    EXPECT_EQ(Con().CellAt(0, 0).ch, U'm') << "the main screen comes back at the new size";
  }
  close(master);
  close(slave);
}

}  // namespace
