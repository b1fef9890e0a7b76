#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <thread>

#include "console/Console.h"
#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace paneltest;

namespace {

struct PanelRead : testing::Test {
  void SetUp() override {
    dialogtest::ResetScreen();
    saved = g_settings;
    g_settings.hidden = true;
    g_settings.caseFilter = Westring();
  }
  void TearDown() override { g_settings = saved; }
  TSettings saved;
};

}  // namespace

TEST_F(PanelRead, DotEntriesHiddenFilesAndLinks) {
  TTempDirectory dir("vk-read");
  MakeFile(dir / "b.txt", 5);
  MakeFile(dir / "a.txt", 7);
  MakeFile(dir / ".profile", 1);
  MakeDirectory(dir / "zdir");
  MakeLink("zdir", dir / "link-to-dir");
  MakeLink("gone", dir / "dangling");

  CPanel panel(PanelSide::Left);
  ReadInto(panel, dir.Path());
  EXPECT_EQ(Names(panel), L".. link-to-dir zdir .profile a.txt b.txt dangling");
  EXPECT_EQ(panel.At(0)->sortClass, SortClass::UpDir);
  EXPECT_EQ(Find(panel, L".profile")->sortClass, SortClass::HiddenFile);
  const entry* link = Find(panel, L"link-to-dir");
  EXPECT_EQ(link->flags & (EntryFlag::Directory | EntryFlag::Link), EntryFlag::Directory | EntryFlag::Link);
  EXPECT_EQ(link->size, 0);
  EXPECT_TRUE(Find(panel, L"dangling")->flags & EntryFlag::BrokenLink);
  EXPECT_EQ(panel.LinkTarget(*link), L"zdir");
  EXPECT_EQ(panel.LinkTarget(*Find(panel, L"dangling")), L"gone");
  EXPECT_EQ(panel.DirectoryTotal(), 5 + 7 + 1 + 4) << "every file's size, the dangling link's own too";
  EXPECT_EQ(panel.Subdirectories().Count(), 2);

  g_settings.hidden = false;
  panel.ReadDirectory();
  EXPECT_EQ(Names(panel), L".. link-to-dir zdir a.txt b.txt dangling");
}

TEST_F(PanelRead, RootHasNoUpEntryAndReadsThatCannotListGoUp) {
  CPanel panel(PanelSide::Left);
  ReadInto(panel, "/");
  ASSERT_GT(panel.Count(), 0);
  EXPECT_EQ(Find(panel, L".."), nullptr);
  EXPECT_EQ(Find(panel, L"."), nullptr);

  TTempDirectory dir("vk-read");
  MakeDirectory(dir / "locked");
  MakeLink("loop", dir / "loop");
  chmod(dir.Path().c_str(), 0755);
  chmod((dir / "locked").c_str(), 0);
  dialogtest::PostKeys({Key::Enter, Key::Enter, Key::Enter, Key::Enter, Key::Enter});
  ReadInto(panel, dir / "a/b");  // gone with its parent, as at Ctrl+R after a delete
  ReadInto(panel, dir / "loop/x");
  panel.PutCursorOn(L"loop");
  EXPECT_TRUE(panel.EnterCursorEntry()) << "Enter on a link loop says why it cannot";
  setfsuid(static_cast<uid_t>(Sys::UserIdByName(L"nobody")));  // this thread's file access only
  EXPECT_EQ(panel.EnterDirectory(L"locked"), 0) << "a denied directory is read and left";
  setfsuid(0);
  EXPECT_EQ(panel.Directory(), Westring(dir.Path().c_str()));
  EXPECT_EQ(dialogtest::Con().Events().Count(), 1) << "four reports, one key left";
}

TEST_F(PanelRead, FilterAppliesToFilesOnly) {
  TTempDirectory dir("vk-read");
  MakeFile(dir / "main.c");
  MakeFile(dir / "main.h");
  MakeFile(dir / "main.o");
  MakeDirectory(dir / "obj.o");
  CPanel panel(PanelSide::Left);
  panel.SetFilter(L"*.c|*.h");
  ReadInto(panel, dir.Path());
  EXPECT_EQ(Names(panel), L".. obj.o main.c main.h");
  panel.SetFilter(L"!*.o");
  panel.ReadDirectory();
  EXPECT_EQ(Names(panel), L".. obj.o main.c main.h");
  panel.SetFilter(L"(*.c");  // a syntax error keeps everything
  panel.ReadDirectory();
  EXPECT_EQ(Names(panel), L".. obj.o main.c main.h main.o");
}

TEST_F(PanelRead, TagsSurviveARereadWithTheNewSizes) {
  TTempDirectory dir("vk-read");
  MakeFile(dir / "one", 100);
  MakeFile(dir / "two", 200);
  MakeFile(dir / "three", 300);
  CPanel panel(PanelSide::Left);
  ReadInto(panel, dir.Path());
  for (const wchar_t* name : {L"one", L"two", L"three"}) {
    panel.PutCursorOn(name);
    panel.Tag(panel.CursorIndex(), TagMode::Tag);
  }
  Find(panel, L"two")->previouslyTagged = 1;
  EXPECT_EQ(panel.TaggedCount(), 3);
  EXPECT_EQ(panel.TaggedBytes(), 600);
  panel.PutCursorOn(L"three");

  MakeFile(dir / "one", 150);        // grew
  unlink((dir / "two").c_str());     // gone
  MakeFile(dir / "four", 400);       // new, untagged
  panel.ReadDirectory();
  EXPECT_EQ(panel.TaggedCount(), 2);
  EXPECT_EQ(panel.TaggedBytes(), 150 + 300);
  EXPECT_TRUE(Find(panel, L"one")->tagged);
  EXPECT_FALSE(Find(panel, L"four")->tagged);
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"three") << "the cursor stays on its name";

  // A different directory starts without tags.
  ASSERT_EQ(panel.EnterDirectory(Westring((dir / "..").c_str())), 0);
  EXPECT_EQ(panel.TaggedCount(), 0);
}

TEST_F(PanelRead, ParentDirectoryAndPositions) {
  TTempDirectory dir("vk-read");
  for (int i = 0; i < 60; ++i) MakeDirectory(dir / ("d" + std::to_string(100 + i)));
  MakeFile(dir / "d150/inner");
  CPanel panel(PanelSide::Left);
  ReadInto(panel, dir.Path());
  ASSERT_EQ(panel.Count(), 61);

  // Into d150 and back: the cursor returns to d150, scrolled as it was.
  panel.PutCursorOn(L"d150");
  const int first = panel.FirstVisible();
  ASSERT_TRUE(panel.EnterCursorEntry());
  EXPECT_EQ(panel.Directory(), Westring((dir / "d150").c_str()));
  EXPECT_EQ(Names(panel), L".. inner");
  panel.SetCursorIndex(0);
  ASSERT_TRUE(panel.EnterCursorEntry());  // ".."
  EXPECT_EQ(panel.Directory(), Westring(dir.Path().c_str()));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"d150");
  EXPECT_EQ(panel.FirstVisible(), first);

  // Without a record the child lands on the last row of the page.
  CPanel fresh(PanelSide::Right);
  ReadInto(fresh, dir / "d150");
  fresh.ParentDirectory();
  EXPECT_STREQ(fresh.CursorEntry()->Name(), L"d150");
  EXPECT_EQ(fresh.CursorIndex() - fresh.FirstVisible(), fresh.PageCapacity() - 1);

  CPanel atRoot(PanelSide::Left);
  ReadInto(atRoot, "/");
  atRoot.ParentDirectory();
  EXPECT_EQ(atRoot.Directory(), L"/");
}

TEST_F(PanelRead, ANonDirectoryIsReportedAndLeftForItsParent) {
  TTempDirectory dir("vk-read");
  MakeFile(dir / "file.txt");
  CPanel panel(PanelSide::Left);
  dialogtest::PostKey(Key::Enter);  // answers the message box
  ReadInto(panel, dir / "file.txt");
  EXPECT_EQ(panel.Directory(), Westring(dir.Path().c_str()));
  EXPECT_STREQ(panel.CursorEntry()->Name(), L"file.txt");
  EXPECT_EQ(panel.ReadError(), 0);
}

TEST_F(PanelRead, TheInterruptKeyEndsAReadWithWhatWasRead) {
  TTempDirectory dir("vk-read", "/dev/shm");
  for (int i = 0; i < 20000; ++i) MakeFile(dir / ("f" + std::to_string(i)));
  std::atomic<bool> stop{false};
  // Plays the key handler: a running read accepts the break.
  std::thread breaker([&] {
    while (!stop) {
      int armed = 1;
      if (g_breakFlag.compare_exchange_strong(armed, 2)) return;
    }
  });
  CPanel panel(PanelSide::Left);
  ReadInto(panel, dir.Path());
  stop = true;
  breaker.join();
  EXPECT_GE(panel.Count(), 1);
  EXPECT_LT(panel.Count(), 20001);
  EXPECT_EQ(g_breakFlag, 0) << "the read puts the flag back";
  EXPECT_EQ(panel.At(0)->sortClass, SortClass::UpDir) << "a partial listing still has ..";
}

TEST_F(PanelRead, CaseFilterFileSystemsShowFilesLowerAndDirectoriesUpper) {
  TTempDirectory dir("vk-read");
  MakeFile(dir / "MixedCase.TXT");
  MakeDirectory(dir / "SubDir");
  const Westring type = Sys::FileSystemType(Westring(dir.Path().c_str()));
  ASSERT_FALSE(type.IsEmpty());
  g_settings.caseFilter = L"msdos," + type.Lower();
  CPanel panel(PanelSide::Left);
  ReadInto(panel, dir.Path());
  EXPECT_EQ(Names(panel), L".. SUBDIR mixedcase.txt");
  g_settings.caseFilter = L"msdos";
  panel.ReadDirectory();
  EXPECT_EQ(Names(panel), L".. SubDir MixedCase.TXT");
}
