// The tree data file read back from damaged files, path lookup, and the
// changes that keep a tree following the disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "../TempDirectory.h"
#include "../dialogs/DialogTestUtil.h"
#include "config/Settings.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeFile.h"
#include "tools/TreeWindow.h"

namespace {

constexpr uint32_t kVolume = 0x12345678;

std::string Header(uint32_t volume = kVolume) {
  return std::string(reinterpret_cast<const char*>(&volume), 4);
}

// Every node's full path in pre-order, one per line.
std::string Listing(const CTree& tree) {
  std::string out;
  for (const TTreeRow& row : BuildTreeRows(tree.Root()))
    out += std::string(tree.FullPath(row.node).ToUtf8().c_str()) + "\n";
  return out;
}

struct TParseCase {
  const char* what;
  std::string data;
  bool loaded;
  const char* listing;
};

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override { g_settings.expandedTrees = true; }
  bool Parse(const std::string& data) {
    std::string copy = data;
    return ParseTreeData(&m_tree, copy.data(), copy.size());
  }
  CTree m_tree{TTreeKey{kUnixDrive, kVolume}, Westring(L"/")};
};

TEST_F(TreeTest, DataFileIsReadAsFarAsItIsSound) {
  const TParseCase cases[] = {
      {"nested and back up two levels", Header() + "0/\n1a\n2b\n3c\n1d\n", true,
       "/\n/a\n/a/b\n/a/b/c\n/d\n"},
      {"siblings keep their order", Header() + "0/\n1b\n1a\n", true, "/\n/b\n/a\n"},
      {"a cut last line is dropped", Header() + "0/\n1a\n1bro", true, "/\n/a\n"},
      {"depth p ends the reading", Header() + "0/\n1a\np" + "x\n1b\n", true, "/\n/a\n"},
      {"a jump of two levels ends it", Header() + "0/\n1a\n3x\n1b\n", true, "/\n/a\n"},
      {"a second root ends it", Header() + "0/\n1a\n0x\n1b\n", true, "/\n/a\n"},
      {"a depth below 0 ends it", Header() + "0/\n1a\n/x\n", true, "/\n/a\n"},
      {"an overlong name ends it", Header() + "0/\n1a\n1" + std::string(301, 'n') + "\n1b\n", true,
       "/\n/a\n"},
      {"a name with a slash ends it", Header() + "0/\n1a\n1x/y\n", true, "/\n/a\n"},
      {"another volume is ignored", Header(7) + "0/\n1a\n", false, "/\n"},
      {"too short for a volume", std::string("\x78\x56", 2), false, "/\n"},
      {"garbage", Header() + std::string("\xff\xfe\x00garbage", 10), false, "/\n"},
  };
  for (const TParseCase& c : cases) {
    m_tree.ResetToRoot();
    EXPECT_EQ(Parse(c.data), c.loaded) << c.what;
    EXPECT_EQ(Listing(m_tree), c.listing) << c.what;
  }
}

TEST_F(TreeTest, SavedFileReadsBackSortedByCodePoint) {
  ASSERT_TRUE(Parse(Header() + "0/\n1b\n1B\n2z\n2a\n1a\n"));
  TTempDirectory temp("tree-file");
  const Westring file = Westring::FromUtf8((temp / "vk2tree.dat").c_str());
  m_tree.modified = true;
  ASSERT_EQ(SaveTree(&m_tree, file), 0);
  EXPECT_FALSE(m_tree.modified);
  CTree again(TTreeKey{kUnixDrive, kVolume}, Westring(L"/"));
  LoadTree(&again, file);
  EXPECT_TRUE(again.loaded);
  EXPECT_EQ(Listing(again), "/\n/B\n/B/a\n/B/z\n/a\n/b\n");
  // Nothing is left under the temporary name.
  EXPECT_NE(access((temp / "vk2tree.dat.new").c_str(), F_OK), 0);
}

TEST_F(TreeTest, AFileThatCannotBeWrittenIsReportedAndTheTreeStaysModified) {
  ASSERT_TRUE(Parse(Header() + "0/\n1a\n"));
  m_tree.modified = true;
  TTempDirectory temp("tree-unwritable");
  const std::string notDirectory = temp / "file";
  std::fclose(std::fopen(notDirectory.c_str(), "w"));
  dialogtest::TBoxWatcher box("Error writing tree data file:", {Key::Enter});
  EXPECT_EQ(SaveTree(&m_tree, Westring::FromUtf8((notDirectory + "/vk2tree.dat").c_str())),
            ENOTDIR);
  EXPECT_TRUE(box.seen);
  EXPECT_TRUE(m_tree.modified);
  EXPECT_TRUE(m_tree.writeFailed);
}

TEST_F(TreeTest, LookupAcceptsSlashesAndCanIgnoreCase) {
  ASSERT_TRUE(Parse(Header() + "0/\n1usr\n2Local\n3bin\n1var\n"));
  const TREENODE* bin = m_tree.Find(L"/usr/Local/bin");
  ASSERT_NE(bin, nullptr);
  EXPECT_EQ(m_tree.Find(L"usr/Local/bin/"), bin);
  EXPECT_EQ(m_tree.Find(L"/usr/local/bin"), nullptr);
  EXPECT_EQ(m_tree.Find(L"/usr/local/BIN", true), bin);
  EXPECT_EQ(m_tree.Find(L"/"), m_tree.Root());
  EXPECT_EQ(m_tree.Find(L"/usr/none"), nullptr);
  EXPECT_EQ(m_tree.FullPath(bin), L"/usr/Local/bin");
}

TEST_F(TreeTest, ChangesFollowTheDisk) {
  ASSERT_TRUE(Parse(Header() + "0/\n1a\n2x\n3deep\n1b\n"));
  ASSERT_NE(m_tree.AddDirectory(L"/b/new"), nullptr);
  EXPECT_EQ(m_tree.AddDirectory(L"/missing/new"), nullptr);
  EXPECT_TRUE(m_tree.MoveDirectory(L"/a/x", L"/b/moved"));
  EXPECT_EQ(m_tree.Find(L"/b/moved/deep")->depth, 3);
  EXPECT_TRUE(m_tree.RemoveDirectory(L"/b/new"));
  EXPECT_FALSE(m_tree.RemoveDirectory(L"/b/new"));
  // A move into itself or under a parent the tree lacks drops the node.
  EXPECT_TRUE(m_tree.MoveDirectory(L"/b", L"/b/moved/b"));
  EXPECT_EQ(Listing(m_tree), "/\n/a\n");
  EXPECT_TRUE(m_tree.modified);
}

TEST_F(TreeTest, ListingSynchronisesChildren) {
  ASSERT_TRUE(Parse(Header() + "0/\n1d\n2gone\n3below\n2kept\n"));
  WestringStore names;
  names.AppendCopy(L"kept");
  names.AppendCopy(L"fresh");
  TREENODE* d = m_tree.Find(L"/d");
  EXPECT_TRUE(m_tree.SynchroniseChildren(d, names));
  EXPECT_EQ(Listing(m_tree), "/\n/d\n/d/kept\n/d/fresh\n");
  EXPECT_EQ(m_tree.Find(L"/d/fresh")->size, -1);
  EXPECT_FALSE(m_tree.SynchroniseChildren(d, names));
}

TEST_F(TreeTest, RowsDrawConnectorsAndStopAtTheDeepestLevel) {
  std::string data = Header() + "0/\n1a\n2b\n1c\n";
  for (int depth = 1; depth <= TreeLimit::MaxDepth; ++depth)
    data += std::string(1, static_cast<char>('0' + depth)) + "n\n";
  ASSERT_TRUE(Parse(data));
  const std::vector<TTreeRow> rows = BuildTreeRows(m_tree.Root());
  ASSERT_EQ(rows.size(), 4u + TreeLimit::MaxDepth);
  EXPECT_EQ(TreeRowText(rows[2]),
            L"\x2502 \x2514\x2500"
            L"b");  // below "a", which "c" follows
  EXPECT_EQ(TreeRowText(rows[3]),
            L"\x251C\x2500"
            L"c");
  // The node at depth 63 can have no rows below it, even expanded.
  EXPECT_EQ(rows.back().depth, TreeLimit::MaxDepth);
  EXPECT_EQ(m_tree.AddDirectory(m_tree.FullPath(rows.back().node) + L"/more"), nullptr);
}

TEST_F(TreeTest, SearchGoesOnAfterTheCurrentNodeAndRoundToTheStart) {
  ASSERT_TRUE(Parse(Header() + "0/\n1Src\n2lib\n1other\n2src2\n"));
  TREENODE* first = m_tree.Find(L"/Src");
  TREENODE* second = m_tree.Find(L"/other/src2");
  EXPECT_EQ(FindTreeMatch(m_tree.Root(), m_tree.Root(), L"sr", false), first);
  EXPECT_EQ(FindTreeMatch(m_tree.Root(), first, L"sr", false), second);
  EXPECT_EQ(FindTreeMatch(m_tree.Root(), second, L"sr", false), first);
  EXPECT_EQ(FindTreeMatch(m_tree.Root(), second, L"sr", true), second);
  EXPECT_EQ(FindTreeMatch(m_tree.Root(), first, L"none", false), nullptr);
}

}  // namespace
