#include "tools/FindDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "FindTestUtil.h"
#include "config/Settings.h"
#include "console/GdkLock.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "panels/Panel.h"

namespace {

using namespace dialogtest;

// Waits (on the dialog's thread, between keys) until the search has ended,
// keeps the screen as it was then and answers with keys. The status painter
// writes the grid meanwhile, so the grid is read under the drawing lock.
struct TSearchWatcher {
  std::string screen;
  int waits = 0;
  explicit TSearchWatcher(std::initializer_list<uint32_t> answer) {
    Con().SetIdleHandler([this, keys = std::vector<uint32_t>(answer)] {
      if (!screen.empty() || Con().KeyPending()) return;
      std::string rows;
      {
        GdkLock lock;
        rows = ScreenRows();
      }
      if (rows.find("Search Complete:") == std::string::npos && ++waits < 200) return;
      screen = rows;
      for (uint32_t key : keys) PostKey(key);
    });
  }
  ~TSearchWatcher() { Con().SetIdleHandler(nullptr); }
};

struct FindDialogTest : ScreenTest {
  void SetUp() override {
    ScreenTest::SetUp();
    tree.Write("a.txt", "a needle");
    tree.Write("sub/b.txt", "another needle");
    tree.Write("c.txt", "nothing");
    g_settings.ffRootSearch = false;
    g_settings.ffRecurse = true;
    for (CPanel* panel : {&active, &other}) {
      panel->SetDirectory(Westring::FromUtf8(tree.Root().c_str()));
      panel->ReadDirectory();
    }
  }
  // GoTo moves the process into the tree, which goes with the test.
  void TearDown() override { [[maybe_unused]] const int back = chdir("/"); }
  // Types the name pattern and the text and starts the search.
  void StartSearch(const wchar_t* text = L"needle") {
    PostText(L"*.txt");
    PostKey(Key::Tab);
    PostText(text);
    PostKey(Key::Enter);
  }
  findtest::TScratchTree tree;
  CPanel active{PanelSide::Left};
  CPanel other{PanelSide::Right};
};

TEST_F(FindDialogTest, ListsTheFilesHoldingTheTextAndGoesToOne) {
  StartSearch();
  TSearchWatcher watcher({Key::CtrlF3, Key::Home, Key::Down, 'g'});
  RunFileFind(active, other, 0);
  EXPECT_NE(std::string::npos, watcher.screen.find("2 matches use 22 bytes")) << watcher.screen;
  EXPECT_NE(std::string::npos, watcher.screen.find(tree.Path("a.txt")));
  EXPECT_NE(std::string::npos, watcher.screen.find(tree.Path("sub/b.txt")));
  EXPECT_EQ(std::string::npos, watcher.screen.find("c.txt"));
  // GoTo on the second result by name: the nested file.
  EXPECT_EQ(Westring::FromUtf8(tree.Path("sub").c_str()), active.Directory());
  ASSERT_NE(nullptr, active.CursorEntry());
  EXPECT_EQ(Westring(L"b.txt"), Westring(active.CursorEntry()->Name()));
}

TEST_F(FindDialogTest, OneMatchIsCountedInTheSingular) {
  StartSearch(L"another");
  TSearchWatcher watcher({Key::Esc});
  RunFileFind(active, other, 0);
  EXPECT_NE(std::string::npos, watcher.screen.find("1 match uses 14 bytes")) << watcher.screen;
}

TEST_F(FindDialogTest, EmptySpecificationFindsNothingAndBadOneIsRefused) {
  // With the field emptied Find does nothing, so Esc closes the dialog.
  PostKey(Key::End);
  for (int i = 0; i < 16; ++i) PostKey(Key::BackSpace);
  PostKeys({Key::Enter, Key::Esc});
  RunFileFind(active, other, 0);
  EXPECT_EQ(Westring::FromUtf8(tree.Root().c_str()), active.Directory());

  PostText(L"(*.txt");
  PostKey(Key::Enter);
  TBoxWatcher box("Syntax error in search expression", {Key::Esc, Key::Esc});
  RunFileFind(active, other, 0);
  EXPECT_TRUE(box.seen);
}

}  // namespace
