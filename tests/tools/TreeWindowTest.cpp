// The tree window driven by keys: moving by depth, folding, the typed
// search and the choice it returns.
#include <gtest/gtest.h>

#include <string>

#include "../dialogs/DialogTestUtil.h"
#include "config/Settings.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeFile.h"
#include "tools/TreeWindow.h"

namespace {

struct TWindowCase {
  const char* what;
  const wchar_t* start;
  std::vector<uint32_t> keys;
  int result;
  const wchar_t* chosen;
};

TEST(TreeWindow, KeysChooseTheDirectory) {
  g_settings.expandedTrees = true;
  const TWindowCase cases[] = {
      {"Alt+Up stays at a depth, then stops at the parent",
       L"/a/c",
       {Key::AltUp, Key::AltUp, Key::Enter},
       0,
       L"/a"},
      {"Alt+Down skips the deeper rows", L"/a", {Key::AltDown, Key::Enter}, 0, L"/d"},
      {"a collapsed node hides its children",
       L"/a/b",
       {Key::Up, L'-', Key::Down, Key::Enter},
       0,
       L"/d"},
      {"Ctrl+Grey- folds everything below, the root stays open",
       L"/a/b",
       {Key::Home, Key::CtrlGreyMinus, Key::End, Key::Enter},
       0,
       L"/d"},
      {"a search opens the folded parents",
       L"/",
       {Key::CtrlGreyMinus, L'C', Key::Enter},
       0,
       L"/a/c"},
      {"Ctrl+Enter goes on to the next match",
       L"/",
       {L'd', Key::CtrlEnter, Key::Enter},
       0,
       L"/d/dd"},
      {"a letter without a match is dropped", L"/", {L'd', L'q', Key::Enter}, 0, L"/d"},
      {"a path the tree lacks starts at its nearest ancestor", L"/a/zzz", {Key::Enter}, 0, L"/a"},
      {"Esc chooses nothing", L"/a", {Key::Down, Key::Esc}, -1, L""},
  };
  for (const TWindowCase& c : cases) {
    CTree tree(TTreeKey{kUnixDrive, 1}, Westring(L"/"));
    std::string data(
        "\1\0\0\0"
        "0/\n1a\n2b\n2c\n1d\n2dd\n",
        23);
    ASSERT_TRUE(ParseTreeData(&tree, data.data(), data.size()));
    for (uint32_t key : c.keys) dialogtest::PostKey(key);
    Westring chosen;
    EXPECT_EQ(ShowTreeWindow(&tree, kTreeWindowWidth, c.start, &chosen), c.result) << c.what;
    EXPECT_EQ(chosen, c.chosen) << c.what;
  }
}

}  // namespace
