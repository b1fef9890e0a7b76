// The settings dialogs on the real console: OK keeps what was changed, Esc restores it.
#include "config/SettingsDialogs.h"

#include "config/Settings.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

struct SettingsDialogsTest : ScreenTest {
  void SetUp() override { ResetScreen(), ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

TEST_F(SettingsDialogsTest, ConfigurationEditsAndCancelRestoresTheEditedField) {
  PostText(L"less\r");  // Viewer is the first field; \r is Enter
  EXPECT_TRUE(RunConfigurationDialog());
  EXPECT_EQ(g_settings.viewer, Westring(L"less"));
  PostText(L"\t\tnano");  // Tab, Tab: past Alternate Viewer into Editor
  PostKey(Key::Esc);
  EXPECT_FALSE(RunConfigurationDialog());
  EXPECT_TRUE(g_settings.editor.IsEmpty());
}

TEST_F(SettingsDialogsTest, ColoursOkDarkensTheQuickKeyBackground) {
  g_colours[static_cast<int>(ColourClass::MenuQuickKey)] = 0x3E;
  PostKeys({L'b', Key::Enter});
  EXPECT_TRUE(RunColoursDialog());
  EXPECT_EQ(g_colours[0], DefaultColours[0] + 0x10);
  EXPECT_EQ(g_colours[static_cast<int>(ColourClass::MenuQuickKey)], 0x0E);
}

TEST_F(SettingsDialogsTest, ConfirmationBoxesAreTickedWhereTheBitIsClear) {
  g_settings.confirmations = 0x08;  // "Quit Varnak" is not asked
  PostKeys({L' ', Key::Enter});     // untick the first box
  EXPECT_TRUE(RunConfirmationsDialog());
  EXPECT_EQ(g_settings.confirmations, 0x09);
}
