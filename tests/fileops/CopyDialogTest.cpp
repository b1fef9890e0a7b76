// The copy command from a panel, and its destination: the dialog's keys,
// its checks and the target names.
#include "fileops/CopyDialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "config/Settings.h"
#include "fileops/CopyCommand.h"
#include "foundation/SysCalls.h"
#include "tests/TempDirectory.h"
#include "tests/panels/PanelTestUtil.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

Westring W(const std::string& text) { return Westring(text.c_str()); }
std::string U(const Westring& text) { return text.ToUtf8().c_str(); }

}  // namespace

TEST(CopyDialog, TargetsAndTheirChecks) {
  ResetScreen();
  TTempDirectory dir("vk-copy-dest");
  mkdir((dir / "sub").c_str(), 0755);
  std::ofstream(dir / "a.txt") << "a";
  const Westring base = W(dir.Path()), source = W(dir / "a.txt");
  auto target = [&](const char* typed, int count = 1) {
    TDestination destination;
    if (CheckDestination(W(typed), base, count, &destination) != 0) return std::string("refused");
    return U(CopyTarget(destination, source));
  };
  EXPECT_EQ(target("sub"), dir / "sub/a.txt") << "an existing directory takes the entry inside";
  EXPECT_EQ(target("sub/"), dir / "sub/a.txt");
  EXPECT_EQ(target("./sub/b.txt"), dir / "sub/b.txt") << "a new name for one entry";
  EXPECT_EQ(target("sub/*.bak", 2), dir / "sub/a.bak") << "a name mask";
  EXPECT_EQ(target(dir.Path().c_str()), dir / "a.txt") << "the source's own directory";
  {
    TBoxWatcher box("Destination must be a valid directory", {Key::Enter});
    EXPECT_EQ(target("a.txt", 2), "refused");
    EXPECT_TRUE(box.seen);
  }
  {
    TBoxWatcher box("Directory does not exist", {Key::Enter});
    EXPECT_EQ(target("gone/b.txt"), "refused");
    EXPECT_TRUE(box.seen);
  }
  TBoxWatcher box("Invalid path", {Key::Enter});
  EXPECT_EQ(target("../../../../../../../../../../.."), "refused");
  EXPECT_TRUE(box.seen);
}

TEST(CopyDialog, TitlesKeysAndTheOverwriteMode) {
  ResetScreen();
  EXPECT_EQ(U(CopyDialogTitle(false, 1, L"a b")), "Copy \"a b\" to");
  EXPECT_EQ(U(CopyDialogTitle(true, 1, L"x")), "Move/Rename \"x\" to");
  EXPECT_EQ(U(CopyDialogTitle(true, 3, L"x")), "Move 3 files to");
  // Alt+D keeps the directory part; a bare name gets the other panel's directory.
  TCopyRequest request{W("/one/two/name.txt"), 0};
  PostKeys({Key::AltD, Key::End, L'x', Key::AltL, Key::Enter});
  ASSERT_TRUE(RunCopyDialog(false, L"Copy", L"/other", &request));
  EXPECT_EQ(U(request.destination), "/one/two/x");
  EXPECT_EQ(request.overwrite, 3) << "If Older by its hot key";
  request.destination = W("bare");
  PostKeys({Key::F6, Key::Enter});
  ASSERT_TRUE(RunCopyDialog(true, L"Move", L"/other", &request));
  EXPECT_EQ(U(request.destination), "/other/bare");
  PostKey(Key::Esc);
  EXPECT_FALSE(RunCopyDialog(true, L"Move", L"/other", &request));
}

TEST(CopyCommand, TaggedEntriesKeepTheirBytesAndAreUntagged) {
  ResetScreen();
  TTempDirectory from("vk-copy-from"), to("vk-copy-to");
  const std::string odd = "bad\xff name\nline";
  std::ofstream(from / odd) << "odd";
  std::ofstream(from / "plain.txt") << "plain";
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, from.Path());
  paneltest::ReadInto(other, to.Path());
  active.TagAll(TagMode::Tag, false);
  PostKey(Key::Enter);  // the dialog's first text is the other panel's directory
  TBoxWatcher failure("not found", {Key::Esc});
  RunCopyCommand(active, other, true, false);
  EXPECT_FALSE(failure.seen);
  std::ifstream moved(to / odd);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), "odd") << "the name's bytes are kept";
  EXPECT_NE(access((to / "plain.txt").c_str(), F_OK), -1);
  EXPECT_EQ(access((from / odd).c_str(), F_OK), -1) << "moved, not copied";
  EXPECT_EQ(active.TaggedCount(), 0);
  EXPECT_TRUE(active.RereadPending() && other.RereadPending());
}

TEST(CopyCommand, CaseFilterLowersTheNamesInsideCopiedDirectories) {
  ResetScreen();
  TTempDirectory from("vk-case-from"), to("vk-case-to");
  mkdir((from / "Dir").c_str(), 0755);
  std::ofstream(from / "Dir/Name.TXT") << "x";
  g_settings.caseFilter = L"vfat " + Sys::FileSystemType(W(from.Path()));
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, from.Path());
  paneltest::ReadInto(other, to.Path());
  ASSERT_EQ(active.Count(), 2) << "\"..\" and Dir";
  active.SetCursorIndex(1);
  PostKey(Key::Enter);
  TBoxWatcher failure("not found", {Key::Esc});  // the panel shows the names upper-cased
  RunCopyCommand(active, other, false, false);
  EXPECT_FALSE(failure.seen);
  g_settings.caseFilter = Westring();
  EXPECT_EQ(access((to / "Dir/name.txt").c_str(), F_OK), 0) << "the top name stays, names inside are lower-cased";
}
