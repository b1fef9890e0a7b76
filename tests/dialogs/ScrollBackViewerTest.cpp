// The Ctrl+B viewer over what a real command scrolled off the screen.
#include "dialogs/ScrollBackViewer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DialogTestUtil.h"
#include "console/RunCommand.h"
#include "console/ScrollBack.h"

using namespace dialogtest;

TEST(ScrollBackViewer, ScrolledOffLinesAreBrowsable) {
  if (Con().Columns() != 80 || Con().Lines() != 25) Con().SetScreenSize(25, 80);
  setenv("SHELL", "/bin/sh", 1);
  g_keepScrollBack = true;
  g_scrollBack.Clear();
  RunCommand(Westring(L"seq 1 200"));
  ASSERT_EQ(g_scrollBack.Count(), 200);

  Con().SetMouseArea(0, 0, 80, 25);
  // A scripted user: at each key wait the window's first line is noted and the next key given.
  const std::vector<uint32_t> keys = {Key::Home, Key::End, Key::PageUp, Key::Up, Key::Down, Key::Down,
                                      Key::PageDown, Key::Esc};
  std::vector<std::u32string> tops;
  TCellRect areaInside;
  Con().SetIdleHandler([&] {
    tops.push_back(ScreenText(1, 1, 4));
    areaInside = Con().MouseArea();
    PostKey(keys[tops.size() - 1]);
  });
  ShowScrollBack();
  ASSERT_EQ(tops.size(), keys.size());
  EXPECT_EQ(tops[0], U"177 ") << "the last page ends with the screen but its last two lines";
  EXPECT_EQ(tops[1], U"    ") << "Home: the first line kept";
  EXPECT_EQ(tops[3], U"156 ") << "PgUp moves the window height less 2";
  EXPECT_EQ(tops[4], U"155 ");
  EXPECT_EQ(tops[6], U"157 ");
  EXPECT_EQ(tops[7], U"177 ") << "PgDn stops at the last page";
  EXPECT_EQ(areaInside.right, 78) << "the mouse is kept inside the window";
  EXPECT_EQ(g_scrollBack.Count(), 200) << "the screen lines leave the scroll-back again";
  EXPECT_EQ(Con().MouseArea().right, 79);

  Con().SetIdleHandler(nullptr);
  g_keepScrollBack = false;
  g_scrollBack.Clear();
}
