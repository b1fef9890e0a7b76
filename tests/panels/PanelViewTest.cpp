// The panel on the cell grid: every style at 80 and 132 columns, colours,
// link arrows and markers, the status line, tagging and quick search.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace paneltest;
using dialogtest::AttrAt;
using dialogtest::ScreenText;

namespace {

struct PanelView : testing::Test {
  void SetUp() override {
    saved = g_settings;
    g_settings.hidden = true;
    g_settings.fullScreen = true;
    g_settings.keepExtVisible = true;
    g_settings.timeMode = 24;
    g_groupThousands = false;
    Screen(80);
    MakeFile(dir / "alpha.txt", 1234, 946684800);  // 2000-01-01 00:00 UTC
    MakeFile(dir / "a-name-that-is-far-too-long-for-brief.txt", 10);
    MakeFile(dir / ".hidden", 1);
    MakeDirectory(dir / "sub");
    MakeLink("alpha.txt", dir / "to-alpha");
    MakeLink("missing", dir / "dangling");
  }
  void TearDown() override {
    g_settings = saved;
    Screen(80);
  }
  void Screen(int columns) {
    if (g_console->Columns() != columns || g_console->Lines() != 25) g_console->SetScreenSize(25, columns);
    dialogtest::ResetScreen();
  }
  // The panel drawn in a style at the current screen size.
  void Show(CPanel& panel, PanelStyle style) {
    panel.Layout(g_console->Columns(), g_console->Lines(), true);
    panel.SetDirectory(Westring(dir.Path().c_str()));
    panel.ReadDirectory();
    panel.SetStyle(style);
    panel.SetActive(true);
    panel.Draw();
  }
  // The inner text of a panel row.
  std::u32string Row(const CPanel& panel, int row) {
    return ScreenText(panel.Geometry().left + 1, row, panel.Geometry().innerWidth);
  }
  TTempDirectory dir{"vk-view"};
  TSettings saved;
};

}  // namespace

TEST_F(PanelView, FullStyleAtEightyColumns) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  // ".." first with its label, then a file's size.
  EXPECT_EQ(Row(panel, 1).substr(0, 23), U"..           \u2502\u25BAUP-DIR\u25C4\u2502");
  EXPECT_EQ(Row(panel, 5).substr(0, 22), U"alpha.txt    \u2502    1234");
  // A link to a file: name, arrow, target, '@' marker.
  EXPECT_EQ(Row(panel, 7).substr(0, 13), U"to-alpha \u00BB \u25BA@");
  EXPECT_EQ(Row(panel, 6).substr(0, 13), U"dangling \u00BB \u25BA@");
  EXPECT_EQ(AttrAt(1 + 9, 6) & 0x0F, Color::LightRed) << "a broken link's arrow is light red";
  EXPECT_EQ(Row(panel, 21), U"..                                    ") << "the status line";
  EXPECT_EQ(AttrAt(1, 1), Colour(ColourClass::DirectoryHigh)) << "the active panel's cursor row";
  EXPECT_EQ(AttrAt(1, 5), Colour(ColourClass::Panel));
}

TEST_F(PanelView, TheUnixStyleShowsPermissionsAndTheCursorEntryBelow) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Unix);
  const TColumnLayout& layout = panel.ColumnLayout();
  const int permissions = layout.columns[0].width + 1 + layout.columns[1].width + 1;
  EXPECT_EQ(Row(panel, 5).substr(permissions, 9), U"rw-r--r--");
  panel.PutCursorOn(L"alpha.txt");
  panel.DrawStatusLine();
  EXPECT_EQ(Row(panel, 21).substr(0, 9), U"alpha.txt") << "the cursor entry as a full-style row";
}

TEST_F(PanelView, ColourRulesAndTaggedRows) {
  g_patterns[3].Append(new TAssociation{L"*.txt", L"yel on bla"});
  g_patterns[4].Append(new TAssociation{L"s*", L"bri red"});
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  panel.SetActive(false);
  panel.Draw();
  EXPECT_EQ(AttrAt(1, 5), MakeAttr(Color::Brown, Color::Black)) << "a [Colours] rule";
  EXPECT_EQ(AttrAt(1, 2) & 0x0F, Color::LightRed) << "a [Directory Colours] rule";
  panel.Tag(4, TagMode::Tag);
  EXPECT_EQ(AttrAt(1, 5), Colour(ColourClass::Tagged)) << "tags win over rules";
  g_patterns[3].Clear();
  g_patterns[4].Clear();
}

TEST_F(PanelView, TaggingCountsAndTheStatusLine) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  panel.Tag(0, TagMode::Tag);
  EXPECT_EQ(panel.TaggedCount(), 0) << ".. cannot be tagged";
  panel.PutCursorOn(L"alpha.txt");
  panel.Tag(panel.CursorIndex(), TagMode::Tag);
  panel.Tag(panel.CursorIndex(), TagMode::Tag);
  EXPECT_EQ(panel.TaggedCount(), 1);
  EXPECT_EQ(panel.TaggedBytes(), 1234);
  panel.PutCursorOn(L".hidden");
  panel.Tag(panel.CursorIndex(), TagMode::Toggle);
  EXPECT_EQ(Row(panel, 21), U"   1,235 bytes in 2 selected files    ");
  panel.Tag(panel.CursorIndex(), TagMode::Toggle);
  EXPECT_EQ(Row(panel, 21), U"    1,234 bytes in 1 selected file    ");
  panel.PutCursorOn(L"alpha.txt");
  panel.Tag(panel.CursorIndex(), TagMode::Untag);
  EXPECT_EQ(panel.TaggedCount(), 0);

  // Everything but directories (TagDirs off) and never descript.ion.
  MakeFile(dir / "descript.ion", 5);
  panel.ReadDirectory();
  panel.TagMatching(L"*", true, false);
  EXPECT_EQ(panel.TaggedCount(), 5);
  EXPECT_FALSE(Find(panel, L"sub")->tagged);
  EXPECT_FALSE(Find(panel, L"descript.ion")->tagged);
  panel.TagAll(TagMode::Toggle, false);
  EXPECT_EQ(panel.TaggedCount(), 0) << "invert untags what was tagged and still skips descript.ion";
  panel.TagAll(TagMode::Tag, true);
  EXPECT_TRUE(Find(panel, L"sub")->tagged);
  panel.TagMatching(L"*.txt", false, true);
  EXPECT_FALSE(Find(panel, L"alpha.txt")->tagged);
  EXPECT_TRUE(Find(panel, L"sub")->tagged);

}

TEST_F(PanelView, SelectGroupDialog) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  g_settings.tagDirs = false;
  dialogtest::PostKeys({Key::End});
  for (int i = 0; i < 10; ++i) dialogtest::PostKey(Key::BackSpace);
  dialogtest::PostText(L"s*|a*");
  dialogtest::PostKeys({Key::AltD, Key::Enter});  // Alt-D includes directories
  EXPECT_TRUE(panel.SelectGroup(true, false));
  EXPECT_TRUE(Find(panel, L"sub")->tagged);
  EXPECT_TRUE(Find(panel, L"alpha.txt")->tagged);
  EXPECT_FALSE(Find(panel, L"dangling")->tagged);
  // Unselecting starts with directories included and the last expression.
  dialogtest::PostKey(Key::Enter);
  EXPECT_TRUE(panel.SelectGroup(false, false));
  EXPECT_EQ(panel.TaggedCount(), 0);
}

TEST_F(PanelView, QuickSearchAndCompletion) {
  MakeFile(dir / "beta-one");
  MakeFile(dir / "beta-two");
  MakeFile(dir / "Betamax");
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  EXPECT_TRUE(panel.QuickSearchChar(L'b'));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"beta-one");
  EXPECT_TRUE(panel.QuickSearchChar(L'E'));
  EXPECT_EQ(Row(panel, 21).substr(0, 10), U"Search: bE");
  EXPECT_FALSE(panel.QuickSearchChar(L'q')) << "no name begins with beq";
  EXPECT_EQ(panel.QuickSearchText(), L"bE");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward));
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"Betamax");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward)) << "wraps to the first";
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"beta-one");
  panel.QuickSearchComplete();
  EXPECT_EQ(panel.QuickSearchText(), L"beta") << "the prefix shared by beta-one, beta-two and Betamax";
  EXPECT_TRUE(panel.HandleQuickSearchKey(L'-'));
  EXPECT_TRUE(panel.HandleQuickSearchKey(Key::BackSpace));
  EXPECT_EQ(panel.QuickSearchText(), L"beta");
  EXPECT_FALSE(panel.HandleQuickSearchKey(Key::F5));
  EXPECT_TRUE(panel.QuickSearchText().IsEmpty());
}

TEST_F(PanelView, CursorMovementAndScrolling) {
  for (int i = 0; i < 100; ++i) MakeFile(dir / ("n" + std::to_string(1000 + i)));
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Brief);
  panel.HandleCursorKey(Key::Right);
  EXPECT_EQ(panel.CursorIndex(), 19) << "Right moves a column in the brief style";
  panel.HandleCursorKey(Key::End);
  EXPECT_EQ(panel.CursorIndex(), panel.Count() - 1);
  EXPECT_EQ(panel.FirstVisible(), panel.Count() - 57);
  panel.HandleCursorKey(Key::Home);
  panel.HandleCursorKey(Key::PageDown);
  EXPECT_EQ(panel.CursorIndex(), 57);
  panel.MoveCursor(-1000);
  EXPECT_EQ(panel.CursorIndex(), 0);
  panel.SetStyle(PanelStyle::Full);
  panel.PutCursorOn(L"n1050");
  EXPECT_EQ(panel.CursorIndex() - panel.FirstVisible(), 18) << "below the page: on the last row";
  panel.PutCursorOn(L"n1010");
  EXPECT_EQ(panel.CursorIndex(), panel.FirstVisible()) << "above the page: on the first row";
}
