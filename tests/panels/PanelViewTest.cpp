// The panel on the cell grid: every style at 80 and 132 columns, colours,
// link arrows and markers, the status line, tagging and quick search.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
#include "panels/RowFormat.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace paneltest;
using dialogtest::AttrAt;
using dialogtest::ScreenText;

namespace {

// The console shows the characters 0x10 and 0x11 as triangles.
std::u32string U32(const wchar_t* text) {
  std::u32string shown;
  for (; *text != 0; ++text) shown += *text == 0x10 ? U'\u25BA' : *text == 0x11 ? U'\u25C4' : char32_t(*text);
  return shown;
}

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
  // Frame with column junctions, the title centred.
  EXPECT_EQ(ScreenText(0, 0, 1), U"\u2554");
  EXPECT_EQ(ScreenText(32, 0, 1), U"\u2564") << "a junction the title leaves free";
  EXPECT_EQ(ScreenText(39, 0, 1), U"\u2557");
  const std::u32string top = ScreenText(0, 0, 40);
  EXPECT_NE(top.find(U32((L" " + std::wstring(dir.Path().begin(), dir.Path().end()).substr(0, 36)).c_str())),
            std::u32string::npos)
      << "the directory shows in the top line";
  // ".." first with its label; the sub directory; the hidden file's marker.
  EXPECT_EQ(Row(panel, 1).substr(0, 23), U"..           \u2502\u25BAUP-DIR\u25C4\u2502");
  EXPECT_EQ(Row(panel, 2).substr(0, 22), U"sub          \u2502\u25BASUBDIR\u25C4");
  EXPECT_EQ(Row(panel, 3).substr(0, 13), U".hidden     \u2591");
  EXPECT_EQ(Row(panel, 4).substr(0, 13), U"a-name-\u25BA.txt ");
  EXPECT_EQ(Row(panel, 5).substr(0, 22), U"alpha.txt    \u2502    1234");
  // A link to a file: name, arrow, target, '@' marker.
  EXPECT_EQ(Row(panel, 7).substr(0, 13), U"to-alpha \u00BB \u25BA@");
  EXPECT_EQ(Row(panel, 6).substr(0, 13), U"dangling \u00BB \u25BA@");
  EXPECT_EQ(AttrAt(1 + 9, 6) & 0x0F, Color::LightRed) << "a broken link's arrow is light red";
  EXPECT_EQ(AttrAt(1 + 9, 7) & 0x0F, AttrForeground(Colour(ColourClass::Tagged)));
  // Divider under the file area, then the status line.
  EXPECT_EQ(ScreenText(0, 20, 1), U"\u255F");
  EXPECT_EQ(ScreenText(14, 20, 1), U"\u2534");
  EXPECT_EQ(Row(panel, 21), U"..                                    ");
  EXPECT_EQ(ScreenText(0, 22, 1), U"\u255A");
  // The cursor row of the active panel is highlighted.
  EXPECT_EQ(AttrAt(1, 1), Colour(ColourClass::DirectoryHigh));
  EXPECT_EQ(AttrAt(1, 2), Colour(ColourClass::Directories));
  EXPECT_EQ(AttrAt(1, 5), Colour(ColourClass::Panel));
}

TEST_F(PanelView, EveryStyleAtEightyAndOneHundredThirtyTwoColumns) {
  for (int columns : {80, 132}) {
    Screen(columns);
    const int right = columns / 2;
    CPanel panel(PanelSide::Right);
    const PanelStyle styles[] = {PanelStyle::Brief, PanelStyle::Full, PanelStyle::Wide, PanelStyle::BriefWide,
                                 PanelStyle::Unix};
    for (PanelStyle style : styles) {
      dialogtest::ResetScreen();
      Show(panel, style);
      const TColumnLayout& layout = panel.ColumnLayout();
      SCOPED_TRACE(testing::Message() << columns << " columns, style " << static_cast<int>(style));
      EXPECT_EQ(ScreenText(right, 0, 1), U"\u2554");
      EXPECT_EQ(ScreenText(right + panel.Geometry().width - 1, 0, 1), U"\u2557");
      // A separator after each column but the last, in the frame and every row.
      int col = right + 1;
      for (int c = 0; c + 1 < layout.count; ++c) {
        col += layout.columns[c].width;
        EXPECT_EQ(ScreenText(col, 10, 1), U"\u2502");
        EXPECT_EQ(ScreenText(col, 20, 1), U"\u2534");
        ++col;
      }
      const std::u32string first = Row(panel, 1);
      switch (style) {
        case PanelStyle::Brief:
        case PanelStyle::BriefWide:
          // Entries run down the first column: "..", "sub", ".hidden", ...
          EXPECT_EQ(first.substr(0, 2), U"..");
          EXPECT_EQ(Row(panel, 2).substr(0, 3), U"sub");
          EXPECT_EQ(Row(panel, 7).substr(0, 8), U"to-alpha");
          break;
        case PanelStyle::Wide:
          EXPECT_EQ(first.substr(0, layout.columns[0].width),
                    U32(SizeText(*panel.At(0), layout.columns[0].width).c_str()));
          EXPECT_EQ(first.substr(layout.columns[0].width + 1, 2), U"..");
          break;
        case PanelStyle::Full:
        case PanelStyle::Unix:
          EXPECT_EQ(first.substr(0, 2), U"..");
          EXPECT_EQ(Row(panel, 5).substr(0, 9), U"alpha.txt");
          break;
      }
      if (style == PanelStyle::Unix) {
        const int permissions = layout.columns[0].width + 1 + layout.columns[1].width + 1;
        EXPECT_EQ(Row(panel, 5).substr(permissions, 9), U"rw-r--r--");
      }
      if (style != PanelStyle::Full) {
        // Other styles show the cursor entry as a full-style row.
        panel.PutCursorOn(L"alpha.txt");
        panel.DrawStatusLine();
        const std::u32string status = Row(panel, 21);
        EXPECT_EQ(status.substr(0, 9), U"alpha.txt");
        EXPECT_NE(status.find(U"1234"), std::u32string::npos);
      }
    }
  }
  // At 132 columns the full style's name column is 37 wide.
  CPanel wide(PanelSide::Left);
  Show(wide, PanelStyle::Full);
  EXPECT_EQ(wide.ColumnLayout().columns[0].width, 37);
  EXPECT_EQ(Row(wide, 4).substr(0, 37), U"a-name-that-is-far-too-long-for\u25BA.txt ");
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
  EXPECT_EQ(Row(panel, 21), U"    1,234 bytes in 1 selected file    ");
  panel.PutCursorOn(L".hidden");
  panel.Tag(panel.CursorIndex(), TagMode::Toggle);
  EXPECT_EQ(Row(panel, 21), U"   1,235 bytes in 2 selected files    ");
  panel.Tag(panel.CursorIndex(), TagMode::Toggle);
  panel.PutCursorOn(L"alpha.txt");
  panel.Tag(panel.CursorIndex(), TagMode::Untag);
  EXPECT_EQ(panel.TaggedCount(), 0);
  EXPECT_EQ(panel.TaggedBytes(), 0);

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

  // Restore: every entry takes back its previously-tagged state.
  panel.TagAll(TagMode::Untag, true);
  Find(panel, L"alpha.txt")->previouslyTagged = 1;
  panel.RestoreSelection();
  EXPECT_EQ(panel.TaggedCount(), 1);
  EXPECT_EQ(panel.TaggedBytes(), 1234);
}

TEST_F(PanelView, SelectGroupDialog) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  g_settings.tagDirs = false;
  // A bad expression is refused with a message and the dialog stays.
  dialogtest::PostKeys({Key::End});
  for (int i = 0; i < 3; ++i) dialogtest::PostKey(Key::BackSpace);
  dialogtest::PostText(L"(*.txt");
  dialogtest::PostKeys({Key::Enter, Key::Enter});  // the message box, then the dialog again
  dialogtest::PostKey(Key::Esc);
  EXPECT_FALSE(panel.SelectGroup(true, false));
  EXPECT_EQ(panel.TaggedCount(), 0);

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
  EXPECT_EQ(panel.QuickSearchText(), L"bE");
  EXPECT_EQ(Row(panel, 21).substr(0, 10), U"Search: bE");
  EXPECT_FALSE(panel.QuickSearchChar(L'q')) << "no name begins with beq";
  EXPECT_EQ(panel.QuickSearchText(), L"bE");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"beta-two");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"Betamax");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Forward)) << "wraps to the first";
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"beta-one");
  EXPECT_TRUE(panel.QuickSearchAgain(SearchDirection::Backward));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"beta-one") << "backward from the first restarts at the top";
  panel.QuickSearchComplete();
  EXPECT_EQ(panel.QuickSearchText(), L"beta") << "the prefix shared by beta-one, beta-two and Betamax";
  EXPECT_TRUE(panel.HandleQuickSearchKey(L'-'));
  EXPECT_TRUE(panel.HandleQuickSearchKey(Key::ShiftTab));
  EXPECT_EQ(panel.QuickSearchText(), L"beta-");
  EXPECT_TRUE(panel.HandleQuickSearchKey(Key::BackSpace));
  EXPECT_EQ(panel.QuickSearchText(), L"beta");
  EXPECT_FALSE(panel.HandleQuickSearchKey(Key::F5));
  EXPECT_TRUE(panel.QuickSearchText().IsEmpty());
  // A new letter after moving away starts a new text.
  panel.QuickSearchChar(L'b');
  panel.SetCursorIndex(0);
  panel.QuickSearchChar(L's');
  EXPECT_EQ(panel.QuickSearchText(), L"s");
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"sub");
}

TEST_F(PanelView, CursorMovementAndScrolling) {
  for (int i = 0; i < 100; ++i) MakeFile(dir / ("n" + std::to_string(1000 + i)));
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Brief);
  EXPECT_EQ(panel.PageCapacity(), 57);
  panel.HandleCursorKey(Key::Right);
  EXPECT_EQ(panel.CursorIndex(), 19) << "Right moves a column in the brief style";
  panel.HandleCursorKey(Key::End);
  EXPECT_EQ(panel.CursorIndex(), panel.Count() - 1);
  EXPECT_EQ(panel.FirstVisible(), panel.Count() - 57);
  panel.HandleCursorKey(Key::Home);
  EXPECT_EQ(panel.FirstVisible(), 0);
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

TEST_F(PanelView, ReverseTogglesAndForwardOrdersKeepTheDirection) {
  CPanel panel(PanelSide::Left);
  Show(panel, PanelStyle::Full);
  panel.SetSortOrder(SortOrder::Size);
  panel.ToggleReverse();
  EXPECT_EQ(panel.Order(), SortOrder::RSize);
  panel.SetSortOrder(SortOrder::Time);
  EXPECT_EQ(panel.Order(), SortOrder::RTime) << "a forward order keeps the reversed direction";
  panel.ToggleReverse();
  EXPECT_EQ(panel.Order(), SortOrder::Time) << "a second reverse goes back";
  const std::wstring forward = Names(panel);
  panel.ToggleReverse();
  EXPECT_NE(Names(panel), forward);
}
