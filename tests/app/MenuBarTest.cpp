// The menu bar on the real console, driven by keys and mouse events queued
// before it runs. The idle routine, which the key reader runs before each
// read, keeps a picture of the screen as the user saw it at that read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandCodes.h"
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
  void SetUp() override { ResetScreen(); }
  void TearDown() override { Con().SetIdleHandler(nullptr); }

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
};

}  // namespace

TEST_F(MenuBarTest, KeysMoveBetweenMenusAndItems) {
  const uint32_t D = Key::Down;
  struct TCase {
    int side;
    std::initializer_list<uint32_t> keys;
    uint32_t code;
  } const cases[] = {
      {0, {Key::Esc}, 0},
      {0, {D, Key::Esc, Key::Esc}, 0},  // the first Esc only closes the box
      {0, {Key::Enter, Key::Enter}, Cmd::BriefLeft},
      {1, {D, Key::Enter}, Cmd::BriefRight},
      {0, {Key::Left, D, Key::Enter}, Cmd::BriefRight},           // Left wraps to Right
      {1, {Key::Right, Key::Enter, Key::Enter}, Cmd::BriefLeft},  // and Right back to Left
      {0, {D, D, Key::Right, Key::Enter}, Key::ShiftF1},          // dropped, at the first item
      {0, {D, D, D, D, D, D, D, D, D, Key::Enter}, Cmd::SortNameLeft},  // separator skipped
      {0, {D, Key::Up, Key::Enter}, Key::AltF1},                        // Up wraps to the last
      {1, {'c', Key::End, Key::Enter}, Cmd::EditUserMenu},
      {1, {'C', Key::End, Key::Home, Key::Enter}, Key::AltF10},
      {0, {'o', 'K'}, Cmd::Clock},  // a title, then an item by its hot letter
      {0, {'f', Key::Left, 'v'}, Cmd::ReverseLeft},
      {0, {'z', 'r', 'r'}, Cmd::BriefWideRight},  // no Z title; R is Right, then Brief-Wide
  };
  for (const TCase& c : cases) {
    std::string keys;
    for (uint32_t key : c.keys) keys += std::to_string(key) + " ";
    EXPECT_EQ(RunKeys(c.side, c.keys), c.code) << "side " << c.side << ", keys " << keys;
    EXPECT_EQ(m_screens.size(), c.keys.size()) << "keys read, keys " << keys;
  }
}

TEST_F(MenuBarTest, ReopenKeepsMenuItemAndDroppedState) {
  EXPECT_EQ(RunKeys(0, {Key::Right, Key::Down, Key::Down, Key::Down, Key::Enter}), Key::F3);
  EXPECT_EQ(RunKeys(0, {Key::Enter}, true), Key::F3) << "reopened dropped at View";
  EXPECT_EQ(RunKeys(1, {Key::Right, Key::Esc, Key::Esc}, true), 0u);
  EXPECT_EQ(RunKeys(1, {Key::Down, Key::Down, Key::Enter}, true), Key::AltF7)
      << "reopened on the bar alone, as the last run ended";
  EXPECT_EQ(RunKeys(1, {Key::Enter, Key::Enter}), Cmd::BriefRight)
      << "a fresh bar starts at the side's menu";
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
  EXPECT_EQ(bar.attrs[0][10], Colour(ColourClass::MenuHighlight));
  EXPECT_EQ(bar.attrs[0][12], QuickKeyOn(ColourClass::MenuHighlight)) << "F of Files";
  EXPECT_EQ(bar.attrs[0][21], QuickKeyOn(ColourClass::MenuBar)) << "C of Commands";

  const TScreen& box = m_screens[3];  // Files dropped, its second item current
  const size_t left = 10;
  EXPECT_EQ(box.rows[1].substr(left, 29), U"╔" + std::u32string(27, U'═') + U"╗");
  EXPECT_EQ(box.rows[23].substr(left, 2), before.rows[23].substr(left, 2)) << "20 items + frame";
  EXPECT_EQ(box.rows[10].substr(left, 29), U"╟" + std::u32string(27, U'─') + U"╢");
  EXPECT_EQ(box.attrs[2][left + 2], QuickKeyOn(ColourClass::Menu));
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
  EXPECT_EQ(Run(0, false, &opening), Cmd::Clock);
  EXPECT_EQ(m_screens.size(), 3u);

  // A click on the bar picks the title by its columns; a press on a separator
  // or the frame does nothing, and a release on an item chooses it.
  PostClick(18, 0);                            // still Files (10..18)
  PostMouse(TConsoleEvent::Press, 1, 15, 10);  // separator
  PostMouse(TConsoleEvent::Press, 1, 10, 5);   // frame
  PostMouse(TConsoleEvent::Press, 1, 15, 3);   // User Menu
  PostMouse(TConsoleEvent::Motion, 1, 15, 4);  // dragged to View
  PostMouse(TConsoleEvent::Release, 1, 15, 4);
  EXPECT_EQ(Run(0, false), Key::F3);
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
