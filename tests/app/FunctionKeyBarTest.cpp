// The function-key bar's label sets, drawing and click mapping, and the
// clock and window title that share the panel screen's edges.
#include <gtest/gtest.h>

#include "app/AppTitle.h"
#include "app/Clock.h"
#include "app/FunctionKeyBar.h"
#include "app/MainLoop.h"
#include "console/ScrollBack.h"
#include "config/Settings.h"
#include "console/KeyTable.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint16_t kShift = ModState::Shift, kCtrl = ModState::Control, kAlt = ModState::Alt;

std::u32string Wide(const std::string& text) { return std::u32string(text.begin(), text.end()); }

}  // namespace

TEST(FunctionKeyBarTest, LabelSetFollowsTheModifiers) {
  struct TRow {
    uint16_t state;
    int set;
  } const rows[] = {
      {0, 0},          {kAlt, 1},          {kCtrl, 2},          {kCtrl | kAlt, 3},
      {kShift, 4},     {kShift | kAlt, 5}, {kShift | kCtrl, 6}, {kShift | kCtrl | kAlt, 7},
      {0x10 | 0x2, 0}, {kShift | 0x10, 4}};  // NumLock and CapsLock do not count
  for (const TRow& row : rows)
    EXPECT_EQ(FunctionKeyLabelSet(row.state), row.set) << "input: state " << row.state;
}

TEST(FunctionKeyBarTest, DrawsTenSlotsAndRedrawsOnlyOnAChange) {
  ResetScreen();
  const int row = Con().Lines() - 1, slot = Con().Columns() / 10;
  DrawFunctionKeyBar(kCtrl);
  const std::u32string line = ScreenText(0, row, Con().Columns());
  for (int key = 1; key <= 10; ++key) {
    const std::string label = FunctionKeyLabel(FunctionKeyLabelSet(kCtrl), key);
    const int digits = key == 10 ? 2 : 1, col = (key - 1) * slot;
    EXPECT_EQ(line.substr(static_cast<size_t>(col), label.size()), Wide(label));
    EXPECT_EQ(AttrAt(col, row), Colour(ColourClass::CommandLine)) << key;
    EXPECT_EQ(AttrAt(col + digits - 1, row), Colour(ColourClass::CommandLine)) << key;
    EXPECT_EQ(AttrAt(col + digits, row), Colour(ColourClass::MenuBar)) << key;
    EXPECT_EQ(AttrAt(col + slot - 1, row), Colour(ColourClass::MenuBar)) << key;
  }
  EXPECT_FALSE(FunctionKeyBarNeedsRedraw(kCtrl | 0x10));
  EXPECT_TRUE(FunctionKeyBarNeedsRedraw(kCtrl | kShift));
  DrawFunctionKeyBar(0);
  EXPECT_FALSE(FunctionKeyBarNeedsRedraw(0));
  InvalidateFunctionKeyBar();
  EXPECT_TRUE(FunctionKeyBarNeedsRedraw(0));
}

TEST(FunctionKeyBarTest, ClickColumnGivesTheKeyOfItsTenth) {
  struct TRow {
    int column, columns;
    uint32_t key;
  } const rows[] = {
      {0, 80, Key::F1},     {7, 80, Key::F1},     {15, 80, Key::F2},
      {78, 80, Key::F9},    {79, 80, Key::F10},   {128, 132, Key::F9},
      {129, 132, Key::F10}, {250, 200, Key::F10}, {3, 5, Key::F4},
  };
  for (const TRow& row : rows)
    EXPECT_EQ(KeyBarKeyForClick(row.column, row.columns), row.key)
        << "input: column " << row.column << " of " << row.columns;
}

TEST(ClockTest, FormatsTwelveAndTwentyFourHours) {
  struct TRow {
    int hour, minute, second, mode;
    const char* text;
  } const rows[] = {
      {0, 5, 0, 12, "12:05a"},  {0, 5, 1, 12, "12 05a"},  {11, 59, 58, 12, "11:59a"},
      {12, 0, 2, 12, "12:00p"}, {13, 7, 3, 12, " 1 07p"}, {0, 5, 0, 24, " 0:05"},
      {23, 59, 1, 24, "23 59"},
  };
  for (const TRow& row : rows)
    EXPECT_EQ(FormatClock(row.hour, row.minute, row.second, row.mode), row.text)
        << "input: " << row.hour << ":" << row.minute << ":" << row.second << " mode " << row.mode;
}

TEST(ClockTest, WindowAtTheTopRightRestoresWhatItCovered) {
  ResetScreen();
  const TSettings saved = g_settings;
  const int right = Con().Columns() - 1;
  Con().WriteText(right - 7, 0, L"abcdefgh", 0x1E);
  g_settings.clock = true;
  g_settings.timeMode = 12;
  InstallClock();
  PostKey('x');
  EXPECT_EQ(Con().GetKey(nullptr, -1), static_cast<uint32_t>('x')) << "the read ran the clock";
  Con().SetIdleHandler(nullptr);
  std::u32string shown = ScreenText(right - 7, 0, 8);
  EXPECT_EQ(shown.substr(0, 2), U"ab");
  EXPECT_TRUE((shown[7] == U'a' || shown[7] == U'p') && (shown[4] == U':' || shown[4] == U' '));
  EXPECT_EQ(AttrAt(right - 6, 0), 0x1E);
  EXPECT_EQ(AttrAt(right - 5, 0), Colour(ColourClass::Clock)) << "six columns from the right";

  g_settings.timeMode = 24;
  RefreshClock();
  shown = ScreenText(right - 7, 0, 8);
  EXPECT_EQ(shown.substr(0, 3), U"abc") << "the narrower window put back the first column";
  EXPECT_TRUE(shown[5] == U':' || shown[5] == U' ');
  EXPECT_EQ(AttrAt(right - 4, 0), Colour(ColourClass::Clock));

  g_settings.clock = false;
  RefreshClock();
  EXPECT_EQ(ScreenText(right - 7, 0, 8), U"abcdefgh") << "switched off, the clock goes";
  EXPECT_EQ(AttrAt(right, 0), 0x1E);
  g_settings = saved;
}

TEST(ClockTest, CtrlBWithoutAScrollBackLeavesTheScreenAlone) {
  const TSettings saved = g_settings;
  TStartupOptions options;
  options.leftDirectory = options.rightDirectory = L"/";
  {
    CMainLoop loop(options);
    g_keepScrollBack = false;
    Con().WriteText(0, 3, L"PANELS", 0x1B);
    const int before = Con().DrawCount();
    loop.Dispatch(Key::CtrlB);
    EXPECT_EQ(Con().DrawCount(), before) << "nothing was painted";
  }
  g_settings = saved;
}

TEST(AppTitleTest, WindowTitleTakesThePrefixOrTheDefault) {
  EXPECT_TRUE(AppTitleFor(L"").IsEmpty());
  std::string title;
  SetAppTitle(L"a.c");
  Con().RunOnWindowThread([&] { title = Con().get_title(); });
  EXPECT_EQ(title, "Varnak: a.c");
  SetAppTitle(nullptr);
  Con().RunOnWindowThread([&] { title = Con().get_title(); });
  EXPECT_EQ(title, "Varnak V2.40-dev");
}
