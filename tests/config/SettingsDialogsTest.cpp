// The three settings dialogs on the real console: layout, OK keeping and
// Cancel restoring what was changed.
#include "config/SettingsDialogs.h"

#include <gtest/gtest.h>

#include "config/Settings.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

class SettingsDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetScreen();
    ResetSettings();
  }
  void TearDown() override { ResetSettings(); }
};

std::u32string Row(int row) { return ScreenText(0, row, Con().Columns()); }

}  // namespace

TEST_F(SettingsDialogsTest, ConfigurationEditsAndCancelRestoresEverything) {
  // Viewer is the first field: type a viewer, tick nothing, accept.
  PostText(L"less");
  PostKey(Key::Enter);
  EXPECT_TRUE(RunConfigurationDialog());
  EXPECT_EQ(g_settings.viewer, Westring(L"less"));

  // Into the Editor field (Tab twice past Alternate Viewer), then Esc.
  PostKeys({Key::Tab, Key::Tab});
  PostText(L"nano");
  PostKey(Key::Esc);
  EXPECT_FALSE(RunConfigurationDialog());
  EXPECT_TRUE(g_settings.editor.IsEmpty()) << "Cancel restores the edited field";
  EXPECT_EQ(g_settings.viewer, Westring(L"less"));
}

TEST_F(SettingsDialogsTest, ConfigurationLayout) {
  PostKey(Key::Esc);
  std::u32string top, viewer, lines, buttons;
  const int topRow = (Con().Lines() - 19) / 3, left = (Con().Columns() - 76) / 2;
  Con().SetIdleHandler([&] {
    top = Row(topRow);
    viewer = ScreenText(left + 1, topRow + 2, 48);
    lines = ScreenText(left + 1 + 59, topRow + 1 + 6, 9);
    buttons = ScreenText(left + 1 + 23, topRow + 1 + 16, 28);
  });
  RunConfigurationDialog();
  Con().SetIdleHandler(nullptr);
  EXPECT_NE(top.find(U" Configuration "), std::u32string::npos);
  EXPECT_EQ(viewer.substr(21, 7), U"Viewer:") << "labels end just before column 28";
  EXPECT_EQ(lines, U"Lines 0  ");
  EXPECT_EQ(buttons, U"[ OK ]  [ Cancel ]  [ Help ]");
}

TEST_F(SettingsDialogsTest, ColoursCancelRestoresAndOkDarkensTheQuickKeyBackground) {
  g_colours[static_cast<int>(ColourClass::MenuQuickKey)] = 0x3E;
  const int top = (Con().Lines() - 21) / 3, left = (Con().Columns() - 32) / 2;
  std::u32string title, first, hint;
  uint8_t firstAttr = 0;
  Con().SetIdleHandler([&] {
    title = ScreenText(left, top, 32);
    first = ScreenText(left + 1, top + 2, 30);
    firstAttr = AttrAt(left + 2, top + 2);
    hint = ScreenText(left + 1, top + 16, 30);
  });
  PostKeys({L'f', Key::Esc});
  EXPECT_FALSE(RunColoursDialog());
  Con().SetIdleHandler(nullptr);
  EXPECT_NE(title.find(U" Varnak Colours "), std::u32string::npos);
  EXPECT_EQ(first.substr(0, 7), U">Panel ") << "the cursor row is marked";
  EXPECT_EQ(firstAttr, DefaultColours[0] + 1) << "the name shows its (changed) colour";
  EXPECT_NE(hint.find(U"F=Foreground B=Background"), std::u32string::npos);
  EXPECT_EQ(g_colours[0], DefaultColours[0]);
  PostKeys({L'b', Key::Enter});
  EXPECT_TRUE(RunColoursDialog());
  EXPECT_EQ(g_colours[0], DefaultColours[0] + 0x10);
  EXPECT_EQ(g_colours[static_cast<int>(ColourClass::MenuQuickKey)], 0x0E);
}

TEST_F(SettingsDialogsTest, ConfirmationBoxesAreTickedWhereTheBitIsClear) {
  g_settings.confirmations = 0x08;  // "Quit Varnak" is not asked
  const int left = (Con().Columns() - 44) / 2;
  std::u32string title, box0, box3;
  Con().SetIdleHandler([&] {
    title = ScreenText(left, 5, 44);
    box0 = ScreenText(left + 2, 7, 34);
    box3 = ScreenText(left + 2, 10, 16);
  });
  PostKeys({L' ', Key::Enter});  // untick the first box
  EXPECT_TRUE(RunConfirmationsDialog());
  Con().SetIdleHandler(nullptr);
  EXPECT_NE(title.find(U" Confirmations "), std::u32string::npos);
  EXPECT_EQ(box0, U"[ ]  Delete File/Empty Directory  ") << "seen after the Space untick";
  EXPECT_EQ(box3, U"[ ]  Quit Varnak");
  EXPECT_EQ(g_settings.confirmations, 0x09);
  PostKeys({Key::Tab, L' ', Key::Esc});
  EXPECT_FALSE(RunConfirmationsDialog());
  EXPECT_EQ(g_settings.confirmations, 0x09);
}
