// The menu bar on the real console: its tables, then keys and mouse events
// queued before it runs. The idle routine, which the key reader runs before
// each read, keeps a picture of the screen as the user saw it at that read.
#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "app/MenuBar.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

struct TScreen {
  std::vector<std::u32string> rows;
  std::vector<std::vector<uint8_t>> attrs;
};

TScreen TakeScreen() {
  TScreen screen;
  for (int r = 0; r < Con().Lines(); ++r) {
    screen.rows.push_back(ScreenText(0, r, Con().Columns()));
    screen.attrs.emplace_back();
    for (int c = 0; c < Con().Columns(); ++c) screen.attrs.back().push_back(AttrAt(c, r));
  }
  return screen;
}

uint8_t QuickKeyOn(ColourClass line) {
  return MakeAttr(AttrForeground(Colour(ColourClass::MenuQuickKey)), AttrBackground(Colour(line)));
}

class MenuBarTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetScreen();
    SetMenuHelpHandler([this](int topic) { m_topics.push_back(topic); });
  }
  void TearDown() override {
    Con().SetIdleHandler(nullptr);
    SetMenuHelpHandler(nullptr);
  }

  // Runs the bar over queued events; m_screens[i] is the screen at read i.
  // Spare Escs end a run that wants more than was queued; what a run leaves
  // unread is dropped, so m_screens tells how many events it took.
  uint32_t Run(int side, bool reopen, const TMouseRecord* click = nullptr) {
    PostKeys({Key::Esc, Key::Esc, Key::Esc});
    m_screens.clear();
    Con().SetIdleHandler([this] { m_screens.push_back(TakeScreen()); });
    const uint32_t code = RunMenuBar(side, reopen, click);
    Con().SetIdleHandler(nullptr);
    while (Con().Events().Wait(0)) {
    }
    return code;
  }
  uint32_t RunKeys(int side, std::initializer_list<uint32_t> keys, bool reopen = false) {
    PostKeys(keys);
    return Run(side, reopen);
  }

  std::vector<TScreen> m_screens;
  std::vector<int> m_topics;
};

}  // namespace

TEST(MenuTablesTest, CountsTitlesHotLettersAndSomeItems) {
  const int counts[] = {19, 20, 15, 13, 19}, widths[] = {21, 27, 30, 25, 21};
  const int columns[] = {2, 10, 19, 31, 42};
  const std::string bar = MenuBarText();
  EXPECT_EQ(bar, "    Left    Files    Commands    Options    Right  ");
  ASSERT_EQ(MenuCount(), 5);
  for (int m = 0; m < MenuCount(); ++m) {
    const TMenu& menu = MenuAt(m);
    SCOPED_TRACE(menu.title);
    EXPECT_EQ(menu.count, counts[m]);
    EXPECT_EQ(menu.width, widths[m]);
    EXPECT_EQ(menu.column, columns[m]);
    EXPECT_EQ(bar.substr(static_cast<size_t>(menu.column), strlen(menu.title)), menu.title);
    std::set<wchar_t> letters;
    for (int i = 0; i < menu.count; ++i) {
      const TMenuItem& item = menu.items[i];
      EXPECT_EQ(item.flags, item.text[0] ? MenuFlag::Selectable : 0) << i;
      if (!item.text[0]) continue;
      EXPECT_LT(static_cast<int>(strlen(item.text)), menu.width) << item.text;
      ASSERT_LT(item.hotIndex, static_cast<int>(strlen(item.text))) << item.text;
      const wchar_t hot = static_cast<wchar_t>(std::towupper(item.text[item.hotIndex]));
      EXPECT_TRUE(std::iswalpha(hot) && letters.insert(hot).second) << item.text;
    }
  }
  struct TRow {
    int menu, item;
    const char* text;
    uint32_t code;
  } const rows[] = {
      {MenuIndex::Left, 0, "Brief       AlSh-F1", 0x10000D},
      {MenuIndex::Right, 5, "Info        Ctrl-L", 0x100193},
      {MenuIndex::Left, 7, "On/Off      Ctrl-F1", 0x1005E},
      {MenuIndex::Right, 7, "On/Off      Ctrl-F2", 0x1005F},
      {MenuIndex::Left, 8, "", 0},
      {MenuIndex::Right, 18, "Drive       Alt-F2", 0x10069},
      {MenuIndex::Files, 17, "Restore Sel'n  Alt-Grey +", 0x100072},
      {MenuIndex::Files, 19, "Quit               F10", 0x10044},
      {MenuIndex::Commands, 4, "Directory History    Alt-\\", 0x1002B},
      {MenuIndex::Commands, 14, "Edit User Menu", 0x1000D1},
      {MenuIndex::Options, 12, "Save Setup      Shft-F9", 0x100134},
  };
  for (const TRow& row : rows) {
    EXPECT_STREQ(MenuAt(row.menu).items[row.item].text, row.text) << row.menu << "/" << row.item;
    EXPECT_EQ(MenuAt(row.menu).items[row.item].code, row.code) << row.text;
  }
}

TEST_F(MenuBarTest, KeysMoveBetweenMenusAndItems) {
  struct TCase {
    int side;
    std::initializer_list<uint32_t> keys;
    uint32_t code;
  } const cases[] = {
      {0, {Key::Esc}, 0},
      {0, {Key::Down, Key::Esc, Key::Esc}, 0},  // the first Esc only closes the box
      {0, {Key::Enter, Key::Enter}, 0x10000D},
      {1, {Key::Down, Key::Enter}, 0x10000E},
      {0, {Key::Left, Key::Down, Key::Enter}, 0x10000E},             // Left wraps to Right
      {1, {Key::Right, Key::Enter, Key::Enter}, 0x10000D},           // and Right back to Left
      {0, {Key::Down, Key::Down, Key::Right, Key::Enter}, 0x30054},  // dropped, at the first item
      {0,
       {Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down, Key::Down,
        Key::Down, Key::Enter},
       0x100001},                                      // past the separator after On/Off
      {0, {Key::Down, Key::Up, Key::Enter}, 0x10068},  // Up wraps to the last item
      {0, {Key::Down, Key::Up, Key::Down, Key::Enter}, 0x10000D},
      {1, {'c', Key::End, Key::Enter}, 0x1000D1},
      {1, {'C', Key::End, Key::Home, Key::Enter}, 0x10071},
      {0, {'o', 'K'}, 0x100132},  // a title, then an item by its hot letter
      {0, {'f', Key::Left, 'v'}, 0x100006},
      {0, {'z', 'r', 'r'}, 0x100019},  // no Z title; R is the Right title, then Brief-Wide
      {0, {'z', Key::Esc}, 0},
  };
  for (const TCase& c : cases) {
    std::string keys;
    for (uint32_t key : c.keys) keys += std::to_string(key) + " ";
    EXPECT_EQ(RunKeys(c.side, c.keys), c.code) << "side " << c.side << ", keys " << keys;
    EXPECT_EQ(m_screens.size(), c.keys.size()) << "keys read, keys " << keys;
  }
}

TEST_F(MenuBarTest, ReopenKeepsMenuItemAndDroppedState) {
  EXPECT_EQ(RunKeys(0, {Key::Right, Key::Down, Key::Down, Key::Down, Key::Enter}), 0x1003Du);
  EXPECT_EQ(RunKeys(0, {Key::Enter}, true), 0x1003Du) << "reopened dropped at View";
  EXPECT_EQ(RunKeys(1, {Key::Right, Key::Esc, Key::Esc}, true), 0u);
  EXPECT_EQ(RunKeys(1, {Key::Down, Key::Down, Key::Enter}, true), 0x1006Eu)
      << "reopened on the bar alone, as the last run ended";
  EXPECT_EQ(RunKeys(1, {Key::Enter, Key::Enter}), 0x10000Eu)
      << "a fresh bar starts at the side's menu";
}

TEST_F(MenuBarTest, F1AsksForTheMenusHelpTopic) {
  RunKeys(0, {Key::F1, Key::Right, Key::F1, Key::Right, Key::Down, Key::F1, Key::Right, Key::F1,
              Key::Right, Key::F1, Key::Esc, Key::Esc});
  EXPECT_EQ(m_topics, (std::vector<int>{100, 101, 102, 103, 100}));
}

TEST_F(MenuBarTest, DrawsBarAndBoxAndRestoresTheScreen) {
  for (int r = 0; r < Con().Lines(); ++r)
    for (int c = 0; c < Con().Columns(); ++c)
      Con().FillCells(c, r, 1,
                      TCell{static_cast<uint32_t>('a' + (r + c) % 26), static_cast<uint8_t>(r)});
  const TScreen before = TakeScreen();
  EXPECT_EQ(RunKeys(0, {Key::Right, Key::Down, Key::Down, Key::Esc, Key::Esc}), 0u);
  const TScreen after = TakeScreen();
  EXPECT_EQ(after.rows, before.rows);
  EXPECT_EQ(after.attrs, before.attrs);

  ASSERT_EQ(m_screens.size(), 5u);
  const TScreen& bar = m_screens[1];  // Files current, not dropped
  EXPECT_EQ(bar.rows[0], std::u32string(MenuBarText(), MenuBarText() + 51) +
                             std::u32string(Con().Columns() - 51, U' '));
  EXPECT_EQ(bar.rows[1], before.rows[1]);
  EXPECT_EQ(bar.attrs[0][0], Colour(ColourClass::MenuBar));
  EXPECT_EQ(bar.attrs[0][10], Colour(ColourClass::MenuHighlight));
  EXPECT_EQ(bar.attrs[0][12], QuickKeyOn(ColourClass::MenuHighlight)) << "F of Files";
  EXPECT_EQ(bar.attrs[0][21], QuickKeyOn(ColourClass::MenuBar)) << "C of Commands";

  const TScreen& box = m_screens[3];  // Files dropped, User Menu current
  const size_t left = 10;
  EXPECT_EQ(box.rows[1].substr(left, 29), U"╔" + std::u32string(27, U'═') + U"╗");
  EXPECT_EQ(box.rows[22].substr(left, 2), U"╚═");
  EXPECT_EQ(box.rows[23].substr(left, 2), before.rows[23].substr(left, 2)) << "20 items + frame";
  EXPECT_EQ(box.rows[2].substr(left, 29), U"║ Manual       Shift-F1     ║");
  EXPECT_EQ(box.rows[10].substr(left, 29), U"╟" + std::u32string(27, U'─') + U"╢");
  EXPECT_EQ(box.attrs[2][left + 3], Colour(ColourClass::Menu));
  EXPECT_EQ(box.attrs[2][left + 2], QuickKeyOn(ColourClass::Menu));
  EXPECT_EQ(box.attrs[3][left + 1], Colour(ColourClass::MenuHighlight));
  EXPECT_EQ(box.attrs[3][left + 2], QuickKeyOn(ColourClass::MenuHighlight));
  EXPECT_EQ(m_screens[4].rows[2], before.rows[2]) << "Esc took the box away";
}

TEST_F(MenuBarTest, MouseOnBarAndItems) {
  // Opened by a click over "Options": dropped; Clock is item 7, on row 9.
  TMouseRecord opening;
  opening.action = TMouseRecord::LeftPress;
  opening.column = 33;
  PostMouse(TConsoleEvent::Release, 1, 33, 0);
  PostMouse(TConsoleEvent::Press, 1, 35, 9);
  PostMouse(TConsoleEvent::Release, 1, 35, 9);
  EXPECT_EQ(Run(0, false, &opening), 0x100132u);
  EXPECT_EQ(m_screens.size(), 3u);

  // A click on the bar picks the title by its columns; a press on a separator
  // or the frame does nothing, and a release on an item chooses it.
  PostClick(18, 0);                            // still Files (10..18)
  PostMouse(TConsoleEvent::Press, 1, 15, 10);  // separator
  PostMouse(TConsoleEvent::Press, 1, 10, 5);   // frame
  PostMouse(TConsoleEvent::Press, 1, 15, 3);   // User Menu
  PostMouse(TConsoleEvent::Motion, 1, 15, 4);  // dragged to View
  PostMouse(TConsoleEvent::Release, 1, 15, 4);
  EXPECT_EQ(Run(0, false), 0x1003Du);
  EXPECT_EQ(m_screens.size(), 7u);

  // A press elsewhere acts as Esc: first the box closes, then the bar.
  PostClick(70, 0);  // Right
  PostMouse(TConsoleEvent::Press, 1, 5, 15);
  PostMouse(TConsoleEvent::Press, 1, 5, 15);
  EXPECT_EQ(Run(0, false), 0u);
  ASSERT_EQ(m_screens.size(), 4u);
  EXPECT_EQ(m_screens[2].rows[1][42], U'╔');
  EXPECT_EQ(m_screens[3].rows[1].find(U'╔'), std::u32string::npos);
}
