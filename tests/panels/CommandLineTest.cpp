// The command line's commands on real directories: "cd" in its forms, "set"
// seen by the next shell command, paths, histories and their file, the
// editing keys and the history windows driven by queued keys.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/ChildEnvironment.h"
#include "dialogs/InputHistory.h"
#include "dialogs/Look.h"
#include "foundation/SysCalls.h"
#include "panels/CommandLine.h"
#include "panels/ExecuteCommand.h"
#include "panels/Histories.h"
#include "panels/HistoryWindows.h"
#include "panels/PathNames.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;
using namespace paneltest;

namespace {

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }
Westring W(const std::string& text) { return Westring::FromUtf8(text.c_str()); }

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int LineCount(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  int count = 0;
  while (std::getline(in, line)) ++count;
  return count;
}

struct CommandLineTest : testing::Test {
  void SetUp() override {
    ResetScreen();
    saved = g_settings;
    g_settings.hidden = true;
    setenv("SHELL", "/bin/sh", 1);
    for (int side = 0; side < 2; ++side) g_panels[side] = &panels[side];
    ClearHistories();
  }
  void TearDown() override {
    g_panels[0] = g_panels[1] = nullptr;
    g_settings = saved;
    ClearHistories();
  }
  CPanel& Left() { return panels[0]; }
  std::string LeftDirectory() { return Utf8(Left().Directory()); }
  int Run(const char* command) { return ExecuteCommand(W(command), 0); }

  TSettings saved;
  CPanel panels[2] = {CPanel(PanelSide::Left), CPanel(PanelSide::Right)};
};

}  // namespace

TEST(PathNames, ResolveExpandAndTemporaryNames) {
  auto resolve = [](const char* path, const char* base) {
    Westring text = W(path);
    return ResolvePath(&text, W(base)) == 0 ? Utf8(text) : std::string("<invalid>");
  };
  EXPECT_EQ(resolve("..", "/usr/local/bin"), "/usr/local");
  EXPECT_EQ(resolve("...", "/usr/local/bin"), "/usr");
  EXPECT_EQ(resolve("a\\b/./c//", "/x"), "/x/a/b/c");
  EXPECT_EQ(resolve("/etc/../tmp", "/x"), "/tmp");
  EXPECT_EQ(resolve("..", "/usr"), "/");
  EXPECT_EQ(resolve("..", "/"), "<invalid>");
  EXPECT_EQ(resolve("....", "/a/b"), "<invalid>");

  setenv("HOME", "/home/someone/", 1);
  setenv("VK_PART", "mid", 1);
  unsetenv("VK_NOT_SET");
  EXPECT_EQ(Utf8(ExpandPath(L"~/notes")), "/home/someone/notes");
  EXPECT_EQ(Utf8(ExpandPath(L"/a/$VK_PART$x/$VK_NOT_SET/$VK_PART")), "/a/midx/$VK_NOT_SET/mid");

  TTempDirectory dir("vk-temp");
  const Westring first = UniqueTempName(W(dir.Path()));
  EXPECT_EQ(Utf8(first).rfind(dir.Path() + "/VK#", 0), 0u);
  MakeFile(Utf8(first));
  const Westring second = UniqueTempName(W(dir.Path()));
  EXPECT_NE(Utf8(second), Utf8(first)) << "an existing name is skipped";
  setenv("TMP", dir.Path().c_str(), 1);
  MakeFile(Utf8(second));
  DeleteOwnTempFiles();
  EXPECT_NE(access(Utf8(first).c_str(), F_OK), 0) << "this process's temporary files are removed";
  unsetenv("TMP");
}

TEST_F(CommandLineTest, DirectoryChangesInEveryForm) {
  TTempDirectory dir("vk-cd");
  MakeDirectory(dir / "a b");
  MakeDirectory(dir / "sub");
  MakeDirectory(dir / "sub/dir");
  MakeDirectory(dir / "sub/dir/deep");
  ReadInto(Left(), dir / "sub/dir/deep");

  EXPECT_EQ(Run("cd.."), 0);
  EXPECT_EQ(LeftDirectory(), dir / "sub/dir");
  EXPECT_EQ(Run("cd ..."), 0);
  EXPECT_EQ(LeftDirectory(), dir.Path()) << "three dots go up two levels";
  EXPECT_EQ(Run("cd a\\ b"), 0);
  EXPECT_EQ(LeftDirectory(), dir / "a b");
  EXPECT_EQ(Run("cd .."), 0);
  EXPECT_EQ(Run("cd sub\\\\dir"), 0) << "a doubled backslash is one, and separates";
  EXPECT_EQ(LeftDirectory(), dir / "sub/dir");
  EXPECT_EQ(Utf8(Sys::CurrentDirectory()), dir / "sub/dir") << "the process follows the panel";
  EXPECT_EQ(Left().CursorIndex(), 0);

  EXPECT_FALSE(IsDirectoryChange(L"cdrecord -v"));
  EXPECT_FALSE(IsDirectoryChange(L"cd"));
  EXPECT_TRUE(IsDirectoryChange(L"cd /tmp"));

  {
    TBoxWatcher box("Invalid directory", {Key::Esc});
    EXPECT_EQ(Run("cd nowhere"), -1);
    EXPECT_TRUE(box.seen);
  }
  EXPECT_EQ(LeftDirectory(), dir / "sub/dir") << "a failed change stays";

  std::ofstream(dir / "vcdpgm.exe") << "printf 'x\\r\\ncd \"/deep\"\\r\\n'\n";
  chmod((dir / "vcdpgm.exe").c_str(), 0755);
  SetEnvironmentVariable(L"PATH", W(dir.Path() + ":") + EnvironmentValue(L"PATH"));
  SetEnvironmentVariable(L"TMP", W(dir.Path()));
  EXPECT_EQ(Run("vcd"), 0);
  EXPECT_EQ(LeftDirectory(), dir / "sub/dir/deep");
  rmdir((dir / "sub/dir/deep").c_str());
  MakeFile(dir / "vk2cd.$$$");
  TBoxWatcher gone("No such file or directory", {Key::Enter});
  EXPECT_EQ(Run("vcd"), -1) << "the panel's directory has gone";
  EXPECT_NE(access((dir / "vk2cd.$$$").c_str(), F_OK), 0);
  ReadInto(Left(), dir.Path());
  std::ofstream(dir / "vcdpgm.exe") << "printf '/:\\r\\ncd \"" << dir.Path() << "/sub\"\\r\\n'\n";
  EXPECT_EQ(Run("vcd"), 0);
  EXPECT_EQ(LeftDirectory(), dir / "sub") << "a drive line puts the choice below the root";
  SetEnvironmentVariable(L"TMP", Westring());

  ReadInto(Left(), "/");
  TBoxWatcher box("Invalid path", {Key::Esc});
  EXPECT_EQ(Run("cd .."), -1);
  EXPECT_TRUE(box.seen);
  EXPECT_EQ(LeftDirectory(), "/");
}

TEST_F(CommandLineTest, ShellCommandsSeeSetVariablesAndAreEchoed) {
  TTempDirectory dir("vk-set");
  ReadInto(Left(), dir.Path());
  EXPECT_EQ(Run("set VK_GREETING=hello there"), 0);
  EXPECT_EQ(Run("set VK_GONE=here"), 0);
  EXPECT_EQ(Run("set VK_GONE="), 0);
  EXPECT_EQ(getenv("VK_GONE"), nullptr) << "an empty value removes the variable";
  setenv("VK_BLANK", "", 1);
  EXPECT_EQ(Run("echo \"$VK_GREETING:${VK_GONE-unset}:${VK_BLANK-unset}\" > out.txt"), 0);
  EXPECT_EQ(FileText(dir / "out.txt"), "hello there:unset:\n") << "ran in the panel's directory, empty values passed";
  EXPECT_TRUE(Left().RereadPending()) << "a shell command marks the panels for re-reading";
  g_settings.pathPrompt = false;
  EXPECT_EQ(Run("echo shown"), 0);
  const int row = Con().Lines() - 3;
  EXPECT_EQ(ScreenText(0, row, 12) + ScreenText(0, row + 1, 6), U">echo shown shown ") << "echo, then output";
  EXPECT_EQ(Con().CellAt(11, row).attr, Colour(ColourClass::CommandLine));
  unsetenv("VK_GREETING");
  unsetenv("VK_BLANK");
}

TEST_F(CommandLineTest, HistoriesAndTheirFile) {
  TTempDirectory dir("vk-hist");
  const std::string file = dir / "vk.hst";
  {
    std::ofstream out(file);
    for (int i = 0; i < 600; ++i) out << "cmd " << i << "\r\n";
    for (int i = 0; i < 25; ++i) out << "7\x19" << "filter " << i << "\r\n";
    out << "11\x19" << "eleven\r\n" << "12\x19" << "not a list\r\n";
  }
  g_settings.maxHist = 500;
  LoadHistories(W(file));
  ASSERT_EQ(CommandHistory().Count(), 500) << "the newest MaxHist of 601 commands";
  EXPECT_EQ(Utf8(*CommandHistory().At(0)), "cmd 101");
  EXPECT_EQ(Utf8(*CommandHistory().At(498)), "cmd 599");
  EXPECT_EQ(Utf8(*CommandHistory().At(499)), "12\x19not a list") << "list numbers stop at 11";
  EXPECT_EQ(InputHistory(7)->Count(), 25);
  EXPECT_EQ(Utf8(*InputHistory(11)->At(0)), "eleven");
  EXPECT_EQ(LineCount(file), 500 + 20 + 1) << "rewritten: the commands, then the last 20 of each list";

  AddCommand(L"  cmd 101");
  AddCommand(L"cmd 101");
  EXPECT_EQ(CommandHistory().Count(), 500) << "a repeated command moves to the end";
  EXPECT_EQ(Utf8(*CommandHistory().At(499)), "cmd 101");
  AddToHistory(L"FILTER 3", 7);
  EXPECT_EQ(LineCount(file), 500 + 20 + 1 + 3) << "additions are appended at once";

  LoadHistories(W(file));
  EXPECT_EQ(Utf8(*CommandHistory().At(CommandHistory().Count() - 1)), "cmd 101");
  EXPECT_EQ(Utf8(*InputHistory(7)->At(InputHistory(7)->Count() - 1)), "FILTER 3");

  LoadHistories(W(dir / "missing/vk.hst"));
  EXPECT_EQ(CommandHistory().Count(), 0);
  AddCommand(L"ls");
  EXPECT_EQ(FileText(dir / "missing/vk.hst"), "ls\r\n") << "a first run makes the per-user directory";
}

TEST_F(CommandLineTest, DirectoryHistoryAndItsWindow) {
  TTempDirectory dir("vk-dirs");
  MakeDirectory(dir / "one");
  MakeDirectory(dir / "two");
  ReadInto(Left(), dir.Path());
  ASSERT_EQ(Left().EnterDirectory(L"one"), 0);
  ASSERT_EQ(Left().EnterDirectory(L".."), 0);
  ASSERT_EQ(Left().EnterDirectory(L"two"), 0);
  ASSERT_EQ(Left().EnterDirectory(W(dir.Path())), 0);
  ASSERT_EQ(DirectoryHistory().Count(), 3) << "the directory left twice is listed once";
  EXPECT_EQ(Utf8(*DirectoryHistory().At(2)), dir / "two");
  for (int i = 0; i < 120; ++i) RecordDirectory(W("/d" + std::to_string(i)));
  EXPECT_EQ(DirectoryHistory().Count(), MaxDirectoryHistory);
  EXPECT_EQ(Utf8(*DirectoryHistory().At(0)), "/d20");

  PostKeys({Key::Up, Key::Enter});
  EXPECT_EQ(Utf8(ChooseFromDirectoryHistory()), "/d118") << "the newest is selected first";
  PostKey(L'x');
  EXPECT_TRUE(ChooseFromDirectoryHistory().IsEmpty());
}

TEST_F(CommandLineTest, StoredPaths) {
  TTempDirectory dir("vk-stored");
  MakeDirectory(dir / "keep");
  ReadInto(Left(), dir / "keep");
  for (Westring& slot : g_settings.directories) slot = Westring();
  setenv("VK_STORED", dir.Path().c_str(), 1);
  g_settings.directories[5] = W("$VK_STORED/keep");
  // Slot 1 gets the panel's directory, slot 5 is emptied, then slot 0 (empty)
  // keeps the window open and Esc closes it.
  PostKeys({Key::Down, Key::Insert, Key::Down, Key::Down, Key::Down, Key::Down, Key::Delete, L'0', Key::Esc});
  RunStoredPaths(Left());
  EXPECT_EQ(Utf8(g_settings.directories[1]), dir / "keep");
  EXPECT_TRUE(g_settings.directories[5].IsEmpty());

  g_settings.directories[3] = W("$VK_STORED");
  PostKey(L'3');
  RunStoredPaths(Left());
  EXPECT_EQ(LeftDirectory(), dir.Path()) << "a digit enters its slot, expanded";
  EnterStoredPath(Left(), 1);
  EXPECT_EQ(LeftDirectory(), dir / "keep");
  unsetenv("VK_STORED");
}

TEST_F(CommandLineTest, CommandHistoryWindowSearchesAndRemoves) {
  for (const wchar_t* command : {L"make test", L"ls -l", L"grep -r foo", L"less notes"}) AddCommand(command, true);
  PostKeys({L'm', L'a', Key::Enter});
  EXPECT_EQ(Utf8(ChooseFromCommandHistory()), "make test");
  {
    TBoxWatcher box("String not found", {Key::Enter, Key::Esc});
    PostKey(L'z');
    EXPECT_TRUE(ChooseFromCommandHistory().IsEmpty());
    EXPECT_TRUE(box.seen);
  }
  PostKeys({Key::Up, Key::Delete, L'y', Key::Esc});
  ChooseFromCommandHistory();
  ASSERT_EQ(CommandHistory().Count(), 3);
  EXPECT_EQ(Utf8(*CommandHistory().At(2)), "less notes") << "the selected command went";
}

TEST_F(CommandLineTest, EditingKeysAndPrompt) {
  CCommandLine line;
  for (wchar_t ch : std::wstring(L"echo wrld")) line.InsertChar(ch);
  EXPECT_FALSE(line.HandleEditKey(Key::Up)) << "the panel keeps Up";
  line.HandleEditKey(Key::Left);
  line.HandleEditKey(Key::Left);
  line.HandleEditKey(Key::Left);
  line.InsertChar(L'o');
  line.HandleEditKey(Key::CtrlLeft);
  line.HandleEditKey(Key::CtrlLeft);
  line.HandleEditKey(Key::Delete);
  EXPECT_EQ(Utf8(line.Text()), "cho world");
  line.HandleEditKey(Key::End);
  line.HandleEditKey(Key::BackSpace);
  EXPECT_EQ(Utf8(line.Text()), "cho worl");
  line.HandleEditKey(Key::Esc);
  EXPECT_TRUE(line.IsEmpty());
  EXPECT_FALSE(line.HandleEditKey(Key::Home)) << "with nothing typed Home moves the panel";

  for (int i = 0; i < 600; ++i) line.InsertChar(L'x');
  EXPECT_EQ(line.Text().Length(), CommandLineLimit + 1);

  AddCommand(L"first", true);
  AddCommand(L"second", true);
  line.HandleEditKey(Key::CtrlE);
  line.HandleEditKey(Key::CtrlE);
  EXPECT_EQ(Utf8(line.Text()), "first");
  line.HandleEditKey(Key::CtrlX);
  EXPECT_EQ(Utf8(line.Text()), "second");

  g_settings.pathPrompt = true;
  line.SetText(L"ls");
  line.Draw(L"/srv/data");
  const int row = Con().Lines() - 2;
  EXPECT_EQ(ScreenText(0, row, 13), U"/srv/data>ls ");
  EXPECT_EQ(Con().CursorColumn(), 12);
  g_settings.pathPrompt = false;
  line.Draw(L"/srv/data");
  EXPECT_EQ(ScreenText(0, row, 4), U">ls ");
}
