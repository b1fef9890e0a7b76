// The hooks the panels and file operations call, on real directories: the
// cd command's search through the tree, and made, removed and moved
// directories reaching the tree (a removed one through its parent).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../TempDirectory.h"
#include "config/Settings.h"
#include "panels/Panel.h"
#include "panels/TreeHooks.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeCommands.h"

namespace {

Westring Wide(const std::string& path) { return Westring::FromUtf8(path.c_str()); }

TEST(TreeHooks, SearchAndChangesOnRealDirectories) {
  TTempDirectory temp("tree-hooks");
  for (const char* dir : {"data", "w", "w/a", "w/a/Src", "w/b", "w/b/sub"})
    ASSERT_EQ(mkdir((temp / dir).c_str(), 0755), 0);
  g_settings.treeDir = Wide(temp / "data");
  CTree* tree = g_treeSet.TreeFor(Wide(temp.Path()));
  ASSERT_NE(tree, nullptr);
  for (const char* dir : {"w/a/Src", "w/b/sub"})
    ASSERT_NE(tree->AddPath(Wide(temp / dir)), nullptr);
  InstallTreeHooks();

  EXPECT_EQ(g_treeHooks.findDirectory(Wide(temp / "w"), L"src"), Wide(temp / "w/a/Src"));
  EXPECT_EQ(g_treeHooks.findDirectory(Wide(temp / "w/b"), L"./SRC/"), Wide(temp / "w/a/Src"))
      << "not below the directory: searched from the root";
  EXPECT_EQ(g_treeHooks.findDirectory(Wide(temp / "w/b"), L"a/src"), Wide(temp / "w/a/Src"));
  EXPECT_EQ(g_treeHooks.findDirectory(Wide(temp / "w/b"), L"../a"), L"");
  EXPECT_EQ(g_treeHooks.findDirectory(Wide(temp / "w/none"), L"src"), L"")
      << "a directory the tree lacks";

  ASSERT_EQ(mkdir((temp / "w/b/new").c_str(), 0755), 0);
  g_treeHooks.directoryMade(Wide(temp / "w/b/new"));
  EXPECT_NE(tree->Find(Wide(temp / "w/b/new")), nullptr);
  ASSERT_EQ(rmdir((temp / "w/b/new").c_str()), 0);
  g_treeHooks.directoryRemoved(Wide(temp / "w/b/new"));
  EXPECT_EQ(tree->Find(Wide(temp / "w/b/new")), nullptr);
  ASSERT_EQ(rename((temp / "w/a").c_str(), (temp / "w/b/sub/a").c_str()), 0);
  g_treeHooks.directoryMoved(Wide(temp / "w/a"), Wide(temp / "w/b/sub/a"));
  EXPECT_EQ(tree->Find(Wide(temp / "w/a")), nullptr);
  const TREENODE* moved = tree->Find(Wide(temp / "w/b/sub/a/Src"));
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->depth, tree->Find(Wide(temp / "w/b"))->depth + 3);

  tree->ResetToRoot();
  g_settings.treeDir = Westring();
  g_treeHooks = TTreeHooks();
}

TEST(TreeHooks, APanelReadSynchronisesTheTreeAndLendsKnownTotals) {
  TTempDirectory temp("tree-read");
  for (const char* dir : {"data", "w", "w/kept", "w/new"})
    ASSERT_EQ(mkdir((temp / dir).c_str(), 0755), 0);
  const TSettings saved = g_settings;
  g_settings.treeDir = Wide(temp / "data");
  g_settings.hidden = true;
  g_settings.retainCount = true;
  CTree* tree = g_treeSet.TreeFor(Wide(temp.Path()));
  ASSERT_NE(tree, nullptr);
  tree->AddPath(Wide(temp / "w/kept"))->size = 4321;
  ASSERT_NE(tree->AddPath(Wide(temp / "w/gone")), nullptr);
  ASSERT_EQ(symlink("kept", (temp / "w/link").c_str()), 0);
  InstallTreeHooks();
  CPanel panel(PanelSide::Left);
  panel.Layout(80, 25, true);
  panel.SetDirectory(Wide(temp / "w"));
  panel.ReadDirectory();
  EXPECT_EQ(tree->Find(Wide(temp / "w/gone")), nullptr);
  EXPECT_NE(tree->Find(Wide(temp / "w/new")), nullptr);
  EXPECT_EQ(tree->Find(Wide(temp / "w/link")), nullptr) << "a link is no directory of the tree";
  ASSERT_TRUE(panel.PutCursorOn(L"kept"));
  EXPECT_EQ(panel.CursorEntry()->size, 4321);
  EXPECT_TRUE(panel.CursorEntry()->sizeKnown);
  // A leaf directory read whole is its own total.
  panel.SetDirectory(Wide(temp / "w/new"));
  panel.ReadDirectory();
  EXPECT_EQ(tree->Find(Wide(temp / "w/new"))->size, 0);

  tree->ResetToRoot();
  g_settings = saved;
  g_treeHooks = TTreeHooks();
}

}  // namespace
