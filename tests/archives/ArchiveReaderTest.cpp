// The member list of an archive as the panels see it: one level at a time,
// directories implied by deeper paths, and a panel entering, walking and
// leaving an archive. The archives are made with tar.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "archives/ArchivePanel.h"
#include "archives/ArchiveReader.h"
#include "panels/Panel.h"
#include "tests/TempDirectory.h"

namespace {

class ArchiveReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // "./" in front of every stored path, an empty directory, a name with a blank.
    const std::string tree = m_dir / "tree";
    const std::string make = "mkdir -p '" + tree + "/a b/sub' '" + tree + "/empty' '" + tree + "/ab' && cd '" + tree +
                             "' && touch 'a b/one.txt' 'a b/sub/deep.txt' ab/x a.txt && tar czf ../t.tgz .";
    ASSERT_EQ(std::system(make.c_str()), 0);
    m_archive = Westring::FromUtf8((m_dir / "t.tgz").c_str());
  }
  // The names of a level, directories marked with a trailing "/".
  static std::set<std::string> Level(const ArchiveReader& reader, const wchar_t* directory) {
    std::set<std::string> names;
    reader.List(directory, [&](const TListedMember& m) {
      names.insert(std::string(Westring(m.name).Left(m.nameLength).ToUtf8().c_str()) + (m.directory ? "/" : ""));
      return true;
    });
    return names;
  }
  static std::set<std::string> PanelNames(const CPanel& panel) {
    std::set<std::string> names;
    for (int i = 0; i < panel.Count(); ++i) names.insert(Westring(panel.At(i)->Name()).ToUtf8().c_str());
    return names;
  }

  TTempDirectory m_dir{"vk-archive"};
  Westring m_archive;
};

}  // namespace

TEST_F(ArchiveReaderTest, ListsOneLevelAtATimeWithImpliedDirectories) {
  ArchiveReader reader;
  reader.SetQuiet(true);
  ASSERT_EQ(reader.Open(m_archive), ArchiveGzip) << "a compressed tar lists the tar's members";
  EXPECT_EQ(Level(reader, L""), (std::set<std::string>{"a b/", "ab/", "empty/", "a.txt"}));
  EXPECT_EQ(Level(reader, L"a b"), (std::set<std::string>{"one.txt", "sub/"}));
  EXPECT_EQ(Level(reader, L"a b/sub"), (std::set<std::string>{"deep.txt"}));
  EXPECT_TRUE(Level(reader, L"empty").empty());
  EXPECT_TRUE(reader.HasDirectory(L"a b/sub") && reader.HasDirectory(L"empty"));
  EXPECT_FALSE(reader.HasDirectory(L"a") || reader.HasDirectory(L"a b/one.txt"));
  for (int i = 0; i < reader.Count(); ++i) EXPECT_TRUE(reader.At(i).dotSlash);
}

TEST_F(ArchiveReaderTest, PanelEntersWalksAndLeavesAnArchive) {
  g_openArchiveListing = OpenArchiveListing;
  CPanel panel(PanelSide::Left);
  panel.Layout(80, 25, true);
  const Westring dir = Westring::FromUtf8(m_dir.Path().c_str());
  ASSERT_EQ(panel.EnterDirectory(dir), 0);
  ASSERT_TRUE(panel.PutCursorOn(L"t.tgz"));
  ASSERT_TRUE(panel.EnterCursorEntry());
  EXPECT_TRUE(panel.InArchive());
  EXPECT_EQ(panel.Directory(), m_archive);
  EXPECT_EQ(PanelNames(panel), (std::set<std::string>{"..", "a b", "ab", "empty", "a.txt"}));
  ASSERT_EQ(panel.EnterDirectory(L"a b"), 0);
  EXPECT_EQ(PanelNames(panel), (std::set<std::string>{"..", "one.txt", "sub"}));
  ASSERT_TRUE(panel.PutCursorOn(L"one.txt"));
  EXPECT_TRUE(panel.EnterCursorEntry()) << "a member is taken, never run";
  EXPECT_EQ(panel.EnterDirectory(L"nothing"), ENOENT);
  panel.ParentDirectory();
  panel.ParentDirectory();
  EXPECT_FALSE(panel.InArchive());
  EXPECT_EQ(panel.Directory(), dir);
  EXPECT_EQ(Westring(panel.CursorEntry()->Name()), Westring(L"t.tgz"));
  ASSERT_EQ(panel.EnterDirectory(m_archive + L"/a b/sub"), 0) << "a path through the archive, as cd gives it";
  EXPECT_TRUE(panel.InArchive());
  EXPECT_EQ(PanelNames(panel), (std::set<std::string>{"..", "deep.txt"}));
  g_openArchiveListing = nullptr;
}
