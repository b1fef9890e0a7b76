// Scanning real directories (link loops, a directory nobody may read, a stop
// from another thread) and counting directory sizes into the tree.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "../TempDirectory.h"
#include "config/Settings.h"
#include "panels/Panel.h"
#include "tools/DirSizes.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeScan.h"

namespace {

void WriteBytes(const std::string& path, size_t count) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  const std::string bytes(count, 'x');
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

int CountNodes(const TREENODE* first) {
  int count = 0;
  for (const TREENODE* node = first; node != nullptr; node = node->next)
    count += 1 + CountNodes(node->child);
  return count;
}

Westring Wide(const std::string& path) { return Westring::FromUtf8(path.c_str()); }

TEST(TreeScan, LinksAreNotFollowedAndUnreadableDirectoriesStayLeaves) {
  TTempDirectory temp("tree-scan");
  ASSERT_EQ(chmod(temp.Path().c_str(), 0755), 0);
  for (const char* dir : {"a", "a/b", "a/b/c", "closed", "closed/inside", "open"})
    ASSERT_EQ(mkdir((temp / dir).c_str(), 0755), 0);
  ASSERT_EQ(symlink("..", (temp / "a/b/up").c_str()), 0);  // a loop back to a
  ASSERT_EQ(symlink(temp.Path().c_str(), (temp / "open/root").c_str()), 0);
  ASSERT_EQ(chmod((temp / "closed").c_str(), 0), 0);
  // Root reads every directory: the scan runs as nobody to meet the refusal.
  const pid_t child = fork();
  if (child == 0) {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(100);
    TScanProgress progress;
    TREENODE* root = ScanDirectories(Wide(temp.Path()), true, &progress);
    const int nodes = CountNodes(root);
    DeleteNodeList(root);
    _exit(nodes == progress.directories.load() ? nodes : 101);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  // The root, a, b, c, closed (without "inside") and open.
  EXPECT_EQ(WEXITSTATUS(status), 6);
}

TEST(TreeScan, StopFromAnotherThreadKeepsWhatWasFound) {
  TTempDirectory temp("tree-stop");
  for (int i = 0; i < 200; ++i) {
    const std::string outer = temp / std::to_string(i);
    ASSERT_EQ(mkdir(outer.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((outer + "/inner").c_str(), 0755), 0);
  }
  TScanProgress progress;
  TREENODE* root = nullptr;
  std::thread scanner([&] { root = ScanDirectories(Wide(temp.Path()), false, &progress); });
  while (progress.directories.load() < 50) std::this_thread::yield();
  progress.stop.store(true);
  scanner.join();
  ASSERT_NE(root, nullptr);
  // However far it got, the count shown matches the nodes kept.
  EXPECT_EQ(CountNodes(root), progress.directories.load());
  EXPECT_TRUE(root->expanded);
  EXPECT_FALSE(root->child->expanded);
  DeleteNodeList(root);

  TScanProgress stopped;
  stopped.stop.store(true);
  root = ScanDirectories(Wide(temp.Path()), false, &stopped);
  EXPECT_EQ(CountNodes(root), 1);
  DeleteNodeList(root);
}

TEST(DirSizes, TotalsGoIntoTheTreeAndAStopStoresNothing) {
  TTempDirectory temp("tree-sizes");
  ASSERT_EQ(mkdir((temp / "d").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((temp / "d/sub").c_str(), 0755), 0);
  WriteBytes(temp / "d/one", 1000);
  WriteBytes(temp / "d/two", 200);
  WriteBytes(temp / "d/sub/three", 34);
  ASSERT_EQ(symlink("/usr", (temp / "d/sub/usr").c_str()), 0);  // counted as a link, not entered
  CTree tree(TTreeKey{}, Westring(L"/"));
  TREENODE* node = tree.AddPath(Wide(temp / "d"));
  ASSERT_NE(node, nullptr);
  TSizeCounters counters;
  const int64_t total =
      DirectorySize(Estring((temp / "d").c_str()), node, &tree, &counters, nullptr);
  const int64_t linkSize = 4;  // the length of "/usr"
  EXPECT_EQ(total, 1234 + linkSize);
  EXPECT_EQ(node->size, total);
  EXPECT_EQ(tree.Find(Wide(temp / "d/sub"))->size, 34 + linkSize);
  EXPECT_EQ(counters.directories.load(), 2);
  EXPECT_EQ(counters.files.load(), 4);

  CTree fresh(TTreeKey{}, Westring(L"/"));
  TREENODE* again = fresh.AddPath(Wide(temp / "d"));
  TSizeCounters more;
  int asked = 0;
  EXPECT_EQ(DirectorySize(Estring((temp / "d").c_str()), again, &fresh, &more,
                          [&] { return ++asked > 1; }),
            -1);
  EXPECT_EQ(again->size, -1);
}

TEST(TreeScan, TheWindowedScanFillsTheTree) {
  TTempDirectory temp("tree-window-scan");
  for (const char* dir : {"a", "a/b", "c"}) ASSERT_EQ(mkdir((temp / dir).c_str(), 0755), 0);
  CTree tree(TTreeKey{}, Wide(temp.Path()));
  RunTreeScan(&tree);
  EXPECT_EQ(tree.NodeCount(), 4);
  EXPECT_NE(tree.Find(Wide(temp / "a/b")), nullptr);
  EXPECT_TRUE(tree.loaded && tree.modified);
}

TEST(DirSizes, APanelEntryTakesTheTotalAndTheTaggedSumFollows) {
  TTempDirectory temp("tree-panel-sizes");
  ASSERT_EQ(mkdir((temp / "data").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((temp / "d").c_str(), 0755), 0);
  WriteBytes(temp / "d/one", 1000);
  WriteBytes(temp / "d/two", 200);
  WriteBytes(temp / "d/three", 34);
  g_settings.treeDir = Wide(temp / "data");
  CPanel panel(PanelSide::Left);
  panel.Layout(80, 25, true);
  panel.SetDirectory(Wide(temp.Path()));
  panel.ReadDirectory();
  ASSERT_TRUE(panel.PutCursorOn(L"d"));
  panel.Tag(panel.CursorIndex(), TagMode::Tag);
  CalculateDirectorySizes(panel, true);
  EXPECT_EQ(panel.CursorEntry()->size, 1234);
  EXPECT_TRUE(panel.CursorEntry()->sizeKnown);
  EXPECT_EQ(panel.TaggedBytes(), 1234);
  CTree* tree = g_treeSet.TreeFor(Wide(temp / "d"));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->Find(Wide(temp / "d"))->size, 1234);
  tree->ResetToRoot();
  g_settings.treeDir = Westring();
}

}  // namespace
