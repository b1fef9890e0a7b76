// Windows drawn into the real console grid: placement, frame, shadow, text
// output and what they leave behind.
#include "dialogs/Win.h"

#include <gtest/gtest.h>

#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

class WinTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetScreen();
    Con().FillArea(0, 0, 80, 25, 0x1F);
    g_shadows = true;
  }
};

}  // namespace

TEST_F(WinTest, NegativeLeftAndTopPlaceTheWindowAndTheFrameAndShadowSurroundIt) {
  {
    Win win(-1, -3, 40, 9, 0x70, 0x70);
    EXPECT_EQ(ScreenText(20, 5, 1), U"\u2554") << "centred, a third of the way down";
    EXPECT_EQ(ScreenText(59, 13, 1), U"\u255D");
    EXPECT_EQ(AttrAt(30, 9), 0x70) << "the interior is cleared in the window attribute";

    // The shadow keeps the characters and dims them: white on blue becomes grey on black.
    EXPECT_EQ(AttrAt(60, 6), 0x07);
    EXPECT_EQ(AttrAt(61, 14), 0x07);
    EXPECT_EQ(AttrAt(60, 5), 0x1F) << "the shadow starts one row below the top";
    EXPECT_EQ(AttrAt(21, 14), 0x1F) << "the shadow starts two columns in";

    win.WriteText(35, 1, L"clipped");
    EXPECT_EQ(ScreenText(56, 7, 4), U"cli\u2551") << "text stops at the interior's edge";
  }
  for (int row = 4; row < 16; ++row)
    for (int col = 18; col < 64; ++col) ASSERT_EQ(AttrAt(col, row), 0x1F) << col << "," << row;
  EXPECT_EQ(ScreenText(20, 5, 1), U" ") << "destruction restores the covered screen";
}

TEST_F(WinTest, ShadowsNeedTheSettingAFrameAndRoomOnScreen) {
  struct TCase {
    bool setting;
    int left, right, bottom, frame;
    bool noShadow, shadow;
  } const cases[] = {
      {false, 10, 20, 12, 0x70, false, false}, {true, 10, 20, 12, -1, false, false},  // no frame
      {true, 10, 20, 12, 0x70, true, false},   {true, 70, 78, 24, 0x70, false, false},  // no row below
      {true, 70, 78, 12, 0x70, false, false},  // right + 2 is off screen
      {true, 70, 77, 12, 0x70, false, true},
  };
  for (const TCase& c : cases) {
    g_shadows = c.setting;
    Win win(c.left, 10, c.right, c.bottom, 0x70, c.frame, c.noShadow);
    EXPECT_EQ(win.HasShadow(), c.shadow) << "input: setting " << c.setting << ", window " << c.left
                                         << ".." << c.right << " x 10.." << c.bottom
                                         << ", frame " << c.frame << ", " << c.noShadow;
  }
  // A bright cell dims to its dark colour; a dark one turns dark grey.
  EXPECT_EQ(ShadowAttr(0x1E), 0x06);
  EXPECT_EQ(ShadowAttr(0x71), 0x08);
}

TEST_F(WinTest, HotKeyHighlightsPreferUpperCaseLetters) {
  Win win(0, 0, 29, 9, 0x70, -1);
  win.WriteHotKeyText(0, 3, L"Save as", L"sa", 0x70);
  EXPECT_EQ(AttrAt(0, 3), 0x71) << "upper-case S first; on grey the foreground's low bit flips";
  EXPECT_EQ(AttrAt(1, 3), 0x71) << "no upper-case A, so the first lower-case a";
  EXPECT_EQ(AttrAt(5, 3), 0x70);
  EXPECT_EQ(HotKeyAttr(0x1E), 0x1F);
}

TEST_F(WinTest, HidingShowsWhatIsBelowAndShowingBringsTheWindowBack) {
  Con().WriteText(12, 3, L"below", 0x1F);
  Win win(10, 2, 30, 5, 0x70, 0x70);
  win.WriteText(1, 0, L"window");
  win.Hide();
  EXPECT_EQ(ScreenText(12, 3, 5), U"below");
  Con().WriteText(0, 0, L"drawn meanwhile", 0x1F);
  win.Show();
  EXPECT_EQ(ScreenText(12, 3, 6), U"window");
  EXPECT_EQ(ScreenText(0, 0, 5), U"drawn");
}

TEST(ColourSpec, WordsColoursBrightnessAndBackground) {
  struct TCase {
    const char* text;
    uint8_t old, expected;
  } const cases[] = {
      {"bri yel on blu", 0x07, 0x1E},
      {"RED", 0x1F, 0x14},              // the old foreground is cleared, the background kept
      {"whi on bri cyan", 0x00, 0xB7},  // bri after on brightens the background
      {"magenta bright", 0x70, 0x7D},   // three letters count, in any order
      {"purple", 0x4E, 0x4E},  // unknown words change nothing
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ParseColourSpec(c.text, c.old), c.expected) << "input: \"" << c.text << "\"";
}
