// Deleting files, links and trees: what goes, what stays, and the questions
// on the way.
#include "fileops/DeleteFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "config/Settings.h"
#include "fileops/CopyFiles.h"
#include "fileops/DeleteCommand.h"
#include "foundation/SysCalls.h"
#include "foundation/TimeValue.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The whole process as the "nobody" account, real ids too, since access()
// checks those; root comes back through the saved id.
struct TAsNobody {
  bool active = false;
  explicit TAsNobody(const std::string& tree) {
    const int64_t nobody = Sys::UserIdByName(L"nobody");
    if (geteuid() != 0 || nobody < 0) return;
    const std::string own = "chown -R nobody: " + tree;
    active = std::system(own.c_str()) == 0 && setresgid(65534, 65534, 0) == 0 &&
             setresuid(static_cast<uid_t>(nobody), static_cast<uid_t>(nobody), 0) == 0;
  }
  ~TAsNobody() {
    if (active) (void)!(setresuid(0, 0, 0) + setresgid(0, 0, 0));
  }
};

}  // namespace

TEST(DeleteFiles, TreesGoWithoutWhatTheirLinksPointTo) {
  ResetScreen();
  g_settings.confirmations = 0;
  TTempDirectory dir("vk-delete-tree");
  const std::string tree = dir / "tree", outside = dir / "outside";
  mkdir(outside.c_str(), 0755);
  std::ofstream(outside + "/keep.txt") << "keep";
  mkdir(tree.c_str(), 0755);
  mkdir((tree + "/sub").c_str(), 0755);
  std::ofstream(tree + "/sub/bad\xff name\nline") << "odd";
  std::ofstream(tree + "/a b.txt") << "blank";
  ASSERT_EQ(symlink(outside.c_str(), (tree + "/out-link").c_str()), 0);
  ASSERT_EQ(symlink((tree + "/sub").c_str(), (tree + "/in-link").c_str()), 0);
  TCopyContext context;
  EXPECT_EQ(DeleteDirectory(Estring((tree + "/sub/..").c_str()), L"*", &context), 0) << "\"..\" is refused";
  {
    TBoxWatcher box("Delete tree?", {L'y', L'e', Key::Enter});
    EXPECT_EQ(DeleteDirectory(Estring(tree.c_str()), L"*", &context), -1) << "two letters of the word";
    EXPECT_TRUE(box.seen);
    EXPECT_TRUE(Exists(tree + "/sub/bad\xff name\nline"));
  }
  TBoxWatcher box("Delete tree?", {L'y', L'e', L's', Key::Enter});
  EXPECT_EQ(DeleteDirectory(Estring(tree.c_str()), L"*", &context), 1) << "the word in lower case";
  EXPECT_FALSE(Exists(tree));
  EXPECT_TRUE(Exists(outside + "/keep.txt")) << "a link's target stays whole";
}

TEST(DeleteFiles, EscStopsATreeBetweenEntries) {
  ResetScreen();
  g_settings.confirmations = ConfirmBit::DeleteNonEmptyDir;
  TTempDirectory dir("vk-delete-esc");
  for (const char* name : {"1", "2", "3"}) std::ofstream(dir / name) << name;
  TCopyContext context;
  context.progress.startTime = NowSeconds() - 5;  // long enough for Esc to count
  PostKeys({L'x', Key::Esc});                      // read one between each two entries
  EXPECT_EQ(DeleteTree(Estring(dir.Path().c_str()), L"*", &context), -1);
  EXPECT_FALSE(Exists(dir / "1"));
  EXPECT_TRUE(Exists(dir / "2") && Exists(dir / "3")) << "what was left stays";
  g_settings.confirmations = 0;
}

TEST(DeleteFiles, TheWindowWidensForLongerNamesAndGoesAway) {
  ResetScreen();
  TTempDirectory dir("vk-delete-window");
  const std::string shortName = dir / "a", longName = dir / std::string(40, 'n');
  std::ofstream(shortName) << "a";
  std::ofstream(longName) << "n";
  TCopyContext context;
  EXPECT_EQ(DeleteFile(Estring(shortName.c_str()), DeleteMode::Series, &context), 1);
  EXPECT_NE(ScreenRows().find("Deleting the file"), std::string::npos);
  usleep(60000);  // names shown faster than the eye follows are passed over
  EXPECT_EQ(DeleteFile(Estring(longName.c_str()), DeleteMode::Series, &context), 1);
  EXPECT_NE(ScreenRows().find(longName), std::string::npos) << "the whole path shows";
  (void)DeleteFile(Estring(), DeleteMode::CloseWindow, &context);
  EXPECT_EQ(ScreenRows().find("Deleting the file"), std::string::npos);
}

TEST(DeleteCommand, AllDeletesLaterTreesWithoutAsking) {
  ResetScreen();
  g_settings.confirmations = ConfirmBit::YesForNonEmptyDir;  // buttons instead of the word
  TTempDirectory dir("vk-delete-command");
  for (const char* name : {"d1", "d2"}) {
    mkdir((dir / name).c_str(), 0755);
    std::ofstream(dir / name + "/inner") << name;
  }
  std::ofstream(dir / "f") << "f";
  std::ofstream(dir / "untagged") << "u";
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, dir.Path());
  for (int i = 0; i < active.Count(); ++i)
    if (Westring(active.At(i)->Name()) != L"untagged") active.Tag(i, TagMode::Tag);
  PostKeys({Key::Enter, Key::Enter});  // "Delete?", then "You are deleting 3 selected files from"
  TBoxWatcher tree("Delete tree?", {L'a'});
  RunDeleteCommand(active, other, false);
  EXPECT_TRUE(tree.seen);
  EXPECT_FALSE(Exists(dir / "d1") || Exists(dir / "d2") || Exists(dir / "f"));
  EXPECT_TRUE(Exists(dir / "untagged"));
  EXPECT_TRUE(active.RereadPending() && other.RereadPending());
  g_settings.confirmations = 0;
}

TEST(DeleteFiles, ReadOnlyFilesAndLockedDirectoriesAsAUser) {
  ResetScreen();
  TTempDirectory dir("vk-delete-user");
  for (const char* name : {"ro1", "ro2"}) {
    std::ofstream(dir / name) << name;
    chmod((dir / name).c_str(), 0444);
  }
  mkdir((dir / "tree").c_str(), 0755);
  mkdir((dir / "tree/locked").c_str(), 0755);
  std::ofstream(dir / "tree/locked/x") << "x";
  std::ofstream(dir / "tree/free") << "free";
  chmod((dir / "tree/locked").c_str(), 0555);
  TAsNobody user(dir.Path());
  if (!user.active) GTEST_SKIP() << "no unprivileged account to run as";
  TCopyContext context;
  {
    TBoxWatcher box("File is Read Only, Delete anyway?", {L'e'});
    EXPECT_EQ(DeleteFile(Estring((dir / "ro1").c_str()), DeleteMode::Single, &context), 0);
    EXPECT_TRUE(box.seen);
  }
  {
    TBoxWatcher again("File is Read Only, Delete anyway?", {L'e'});
    EXPECT_EQ(DeleteFile(Estring((dir / "ro2").c_str()), DeleteMode::Series, &context), 0);
    EXPECT_FALSE(again.seen) << "None leaves the later ones without asking";
  }
  EXPECT_TRUE(Exists(dir / "ro1") && Exists(dir / "ro2"));
  g_settings.confirmations = ConfirmBit::DeleteNonEmptyDir;
  TBoxWatcher denied("Access Denied", {L's'});
  EXPECT_EQ(DeleteTree(Estring((dir / "tree").c_str()), L"*", &context), 1);
  g_settings.confirmations = 0;
  EXPECT_TRUE(denied.seen) << "the file in the locked directory is reported";
  EXPECT_TRUE(Exists(dir / "tree/locked/x"));
  EXPECT_FALSE(Exists(dir / "tree/free")) << "everything else still goes";

  // A copy replacing a read-only file deletes it through the same question.
  std::ofstream(dir / "new") << "new";
  PostKey(L'y');  // "File already exists, Overwrite?"
  TBoxWatcher replace("File is Read Only, Delete anyway?", {L'y'});
  TCopyContext copy;
  EXPECT_EQ(CopyFile(Estring((dir / "new").c_str()), Estring((dir / "ro1").c_str()), 1, 1, &copy), 0);
  EXPECT_TRUE(replace.seen);
  std::ifstream replaced(dir / "ro1");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(replaced), {}), "new");
}
