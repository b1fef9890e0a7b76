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

TEST_F(SettingsDialogsTest, ColoursCancelRestoresAndOkDarkensTheQuickKeyBackground) {
  g_colours[static_cast<int>(ColourClass::MenuQuickKey)] = 0x3E;
  const int top = (Con().Lines() - 21) / 3, left = (Con().Columns() - 32) / 2;
  std::u32string first;
  uint8_t firstAttr = 0;
  Con().SetIdleHandler([&] {
    first = ScreenText(left + 1, top + 2, 30);
    firstAttr = AttrAt(left + 2, top + 2);
  });
  PostKeys({L'f', Key::Esc});
  EXPECT_FALSE(RunColoursDialog());
  Con().SetIdleHandler(nullptr);
  EXPECT_EQ(first.substr(0, 7), U">Panel ") << "the cursor row is marked";
  EXPECT_EQ(firstAttr, DefaultColours[0] + 1) << "the name shows its (changed) colour";
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
