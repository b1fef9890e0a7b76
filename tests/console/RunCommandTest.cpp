// Commands run for real: attached ones on a pseudo-terminal whose output the
// console emulates (the cell grid is read back), detached ones in the
// background, full-screen programs driven by real X key presses.
#include "console/RunCommand.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../TempDirectory.h"
#include "console/ChildEnvironment.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/ScrollBack.h"
#include "foundation/CellString.h"

// After the gtkmm headers: Xlib defines macros they would trip over.
#include <gdk/gdkx.h>

namespace {

CConsole& Con() { return *g_console; }

std::u32string RowText(int row, int col = 0, int width = 20) {
  std::u32string text;
  for (int c = col; c < col + width && c < Con().Columns(); ++c)
    text += static_cast<char32_t>(Con().CellAt(c, row).ch);
  return text;
}

std::u32string U32(const std::string& ascii) { return std::u32string(ascii.begin(), ascii.end()); }

// The first row holding `ascii`, or -1.
int RowWith(const std::string& ascii) {
  const std::u32string wanted = U32(ascii);
  for (int row = 0; row < Con().Lines(); ++row)
    if (RowText(row, 0, Con().Columns()).find(wanted) != std::u32string::npos) return row;
  return -1;
}

// From another thread while a command runs: reads the grid under the lock
// its writers take, until `ascii` is on `row` (any row when -1).
bool WaitForText(const std::string& ascii, int row, int seconds = 15) {
  for (int step = 0; step < seconds * 20; ++step) {
    bool found = false;
    Con().RunOnWindowThread([&] {
      const int at = RowWith(ascii);
      found = row < 0 ? at >= 0 : RowText(row, 0, Con().Columns()).find(U32(ascii)) == 0;
    });
    if (found) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

unsigned long WindowId() {
  unsigned long id = 0;
  Con().RunOnWindowThread([&] { id = GDK_WINDOW_XID(Con().get_window()->gobj()); });
  return id;
}

// Real key presses through the X server, as a user types them.
void Xdotool(const std::string& args) {
  const std::string command = "xdotool windowfocus --sync " + std::to_string(WindowId()) + " " + args;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Zombie children of this process: detached commands nobody reaped.
int ZombieChildren() {
  int zombies = 0;
  DIR* proc = opendir("/proc");
  while (dirent* entry = readdir(proc)) {
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const size_t close = line.rfind(')');
    char state = 0;
    int parent = 0;
    if (close != std::string::npos && std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        state == 'Z' && parent == getpid())
      ++zombies;
  }
  closedir(proc);
  return zombies;
}

class RunCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    if (Con().Columns() != 80 || Con().Lines() != 25) Con().SetScreenSize(25, 80);
    Con().SetOutputAttr(0x07);
    Con().FillArea(0, 0, 80, 25, 0x07);
    setenv("SHELL", "/bin/sh", 1);
    setenv("LESSHISTFILE", "-", 1);
    unsetenv("LESS");
    g_keepScrollBack = true;
    g_scrollBack.Clear();
    g_childProcessHooks.pathAppend = [this] { return m_pathAppend; };
  }
  void TearDown() override {
    g_childProcessHooks = TChildProcessHooks();
    g_scrollBack.Clear();
    Con().SetIdleHandler(nullptr);
  }
  int Run(const std::string& command) { return RunCommand(Westring::FromUtf8(command.c_str())); }
  Westring m_pathAppend;
};

}  // namespace

TEST_F(RunCommandTest, OutputColoursAndCursorMovesReachTheGrid) {
  EXPECT_EQ(Run("printf '\\033[31mred\\033[0m \\033[1;44mB\\033[0m\\033[5;10Hxy'"), 0);
  EXPECT_EQ(RowText(24, 0, 6), U"red B ") << "output starts on the last line";
  EXPECT_EQ(Con().CellAt(0, 24).attr, 0x04);
  EXPECT_EQ(Con().CellAt(3, 24).attr, 0x07);
  EXPECT_EQ(Con().CellAt(4, 24).attr, 0x1F);
  EXPECT_EQ(RowText(4, 9, 2), U"xy");
  EXPECT_EQ(Con().Session(), nullptr) << "the session ends with the command";

  Run("printf 'junk\\n'; tput clear; printf top");
  EXPECT_EQ(RowText(0, 0, 4), U"top ");
  EXPECT_EQ(RowWith("junk"), -1) << "tput clear erased the screen";
}

TEST_F(RunCommandTest, CharactersAndSequencesSplitBetweenWritesJoin) {
  Run("printf 'a\\303'; sleep 0.3; printf '\\251b'");
  EXPECT_EQ(RowText(24, 0, 3), U"aéb");
  Con().FillArea(0, 0, 80, 25, 0x07);
  Run("printf '\\033[3'; sleep 0.3; printf '2mG'");
  EXPECT_EQ(RowText(24, 0, 2), U"G ");
  EXPECT_EQ(Con().CellAt(0, 24).attr, 0x02);
}

TEST_F(RunCommandTest, ExitStatusesAndMissingPrograms) {
  EXPECT_EQ(Run("exit 3"), 3);
  EXPECT_EQ(Run("kill -9 $$"), -1) << "killed by a signal";
  EXPECT_EQ(Run("no-such-program-for-vk"), 127);
  EXPECT_GE(RowWith("not found"), 0) << "the shell says what went wrong on the console";
}

TEST_F(RunCommandTest, ChildrenSeeTheConfiguredEnvironment) {
  TTempDirectory dir("vk-run");
  const std::string tool = dir / "vk-appended-tool";
  std::ofstream(tool) << "#!/bin/sh\necho tool-ran\n";
  chmod(tool.c_str(), 0755);
  SetEnvironmentVariable(L"VK_TEST_VAR", L"from ini");
  SetEnvironmentVariable(L"VK_EMPTIED", L"x");
  SetEnvironmentVariable(L"VK_EMPTIED", L"");
  m_pathAppend = Westring(dir.Path().c_str());
  Run("echo \"$VK_TEST_VAR:$TERM:${VK_EMPTIED-unset}\"; vk-appended-tool; stty -a");
  EXPECT_GE(RowWith("erase = ^H;"), 0) << "the terminal erases with the byte BackSpace sends";
  EXPECT_GE(RowWith("from ini:xterm:unset"), 0) << "an emptied variable is not passed on";
  EXPECT_GE(RowWith("tool-ran"), 0) << "PathAppend extends the child's PATH";
  EXPECT_EQ(EnvironmentValue(L"VK_TEST_VAR"), Westring(L"from ini"));
  const std::string savedPath = getenv("PATH");
  unsetenv("PATH");
  Con().FillArea(0, 0, 80, 25, 0x07);
  Run("vk-appended-tool");
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_GE(RowWith("tool-ran"), 0) << "without PATH, PathAppend follows the system's default path";
  unsetenv("VK_TEST_VAR");
  unsetenv("VK_EMPTIED");
}

TEST_F(RunCommandTest, FindProgramSearchesPathThenPathAppend) {
  TTempDirectory first("vk-path"), second("vk-path"), appended("vk-path");
  for (const std::string& path : {first / "both", second / "both", second / "second-only", appended / "late"})
    std::ofstream(path) << "#!/bin/sh\n";
  mkdir((first / "a-directory").c_str(), 0755);
  const char* saved = getenv("PATH");
  const std::string savedPath = saved != nullptr ? saved : "";
  setenv("PATH", (first.Path() + ":" + second.Path()).c_str(), 1);
  auto find = [](const char* name) { return std::string(FindProgram(Westring(name)).ToUtf8().c_str()); };
  EXPECT_EQ(find("both"), first / "both");
  EXPECT_EQ(find("second-only"), second / "second-only");
  EXPECT_EQ(find("late"), "");
  EXPECT_EQ(find("a-directory"), "");
  m_pathAppend = Westring(appended.Path().c_str());
  EXPECT_EQ(find("late"), appended / "late");
  EXPECT_EQ(find((second / "both").c_str()), second / "both") << "a name with / is taken as it is";
  EXPECT_EQ(find("/no/such/program"), "");

  setenv("PATH", "", 1);
  m_pathAppend = Westring();
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(second.Path().c_str()), 0);
  EXPECT_EQ(find("second-only"), "./second-only") << "an empty PATH means the current directory";
  EXPECT_EQ(chdir(cwd), 0);
  setenv("PATH", savedPath.c_str(), 1);

  const std::string script = first / "both";
  chmod(script.c_str(), 0644);
  EXPECT_EQ(IsExecutable(Westring(script.c_str())), 11);
  chmod(script.c_str(), 0610);
  EXPECT_EQ(IsExecutable(Westring(script.c_str())), 10) << "any execute bit counts";
  EXPECT_EQ(IsExecutable(Westring(L"/no/such/file")), 11);

  EXPECT_TRUE(IsX11Program(Westring(L"/usr/bin/xdotool")));
  EXPECT_FALSE(IsX11Program(Westring(L"/bin/ls")));
  EXPECT_FALSE(IsX11Program(Westring(L"/no/such/program")));
}

TEST_F(RunCommandTest, EscapesAreFoundAndDropped) {
  EXPECT_EQ(FindUnescaped(Westring(L"my\\ prog arg"), L' '), 8);
  EXPECT_EQ(FindUnescaped(Westring(L"a\\|b|c"), L'|'), 4);
  EXPECT_EQ(FindUnescaped(Westring(L"a\\ b"), L' '), -1);
  EXPECT_EQ(Unescape(Westring(L"my\\ prog\\\\x")), Westring(L"my prog\\x"));
  EXPECT_EQ(Unescape(Westring(L"end\\")), Westring(L"end\\")) << "a last backslash stays";
}

TEST_F(RunCommandTest, DetachedAndForcedAttachedCommands) {
  TTempDirectory dir("vk-run");
  const std::string marker = dir / "marker";
  EXPECT_EQ(Run("sleep 1; touch '" + marker + "'  &  "), 0);
  EXPECT_NE(access(marker.c_str(), F_OK), 0) << "a command ending in & does not wait";
  for (int i = 0; i < 100 && access(marker.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(access(marker.c_str(), F_OK), 0) << "the detached command ran";
  for (int i = 0; i < 50 && ZombieChildren() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ZombieChildren(), 0) << "the reaper collects detached children";
  EXPECT_EQ(RowWith("marker"), -1);

  Run("xdotool version");
  EXPECT_EQ(RowWith("xdotool version"), -1) << "an X11 program runs detached, off the console";
  EXPECT_EQ(Run("#xdotool version"), 0);
  EXPECT_GE(RowWith("xdotool version"), 0) << "# runs it attached";
}

TEST_F(RunCommandTest, InternalCommandsIgnoreLetterCase) {
  std::vector<std::pair<InternalCommand, std::string>> ran;
  g_childProcessHooks.runInternal = [&](InternalCommand command, const Westring& arguments) {
    ran.emplace_back(command, arguments.ToUtf8().c_str());
  };
  EXPECT_EQ(Run("$VIEW notes.txt "), 0);
  EXPECT_EQ(Run("$Edit a\\ b.txt"), 0);
  EXPECT_EQ(Run("$view"), 0);
  ASSERT_EQ(ran.size(), 3u);
  EXPECT_EQ(ran[0], std::make_pair(InternalCommand::View, std::string("notes.txt")));
  EXPECT_EQ(ran[1], std::make_pair(InternalCommand::Edit, std::string("a\\ b.txt")));
  EXPECT_EQ(ran[2], std::make_pair(InternalCommand::View, std::string()));
  EXPECT_EQ(RowWith("notes.txt"), -1) << "no shell ran them";
}

TEST_F(RunCommandTest, FullScreenProgramsGetKeysAndGiveTheScreenBack) {
  TTempDirectory dir("vk-run");
  const std::string text = dir / "lines.txt";
  {
    std::ofstream out(text);
    for (int i = 1; i <= 100; ++i) out << "line " << i << "\n";
  }
  Con().WriteText(0, 3, L"PANELS", 0x1B);
  bool firstPage = false, scrolled = false;
  std::thread user([&] {
    firstPage = WaitForText("line 1", 0);
    Xdotool("key Down");
    scrolled = WaitForText("line 2", 0);
    Xdotool("key q");
  });
  EXPECT_EQ(Run("timeout --foreground 30 less '" + text + "'"), 0);
  user.join();
  EXPECT_TRUE(firstPage);
  EXPECT_TRUE(scrolled) << "Down arrived as the cursor key less knows";
  EXPECT_EQ(RowText(3, 0, 6), U"PANELS") << "leaving the alternate screen restores what was there";
  EXPECT_EQ(Con().CellAt(0, 3).attr, 0x1B);
  EXPECT_EQ(RowWith("line 50"), -1);

  const std::string edited = dir / "edit.txt";
  std::ofstream(edited) << "world\n";
  bool started = false;
  std::thread typist([&] {
    started = WaitForText("world", 0);
    Xdotool("type 'ihello '");
    Xdotool("key Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool("type ':wq'");
    Xdotool("key Return");
  });
  EXPECT_EQ(Run("timeout --foreground 30 vi -u NONE -i NONE -n -N '" + edited + "'"), 0);
  typist.join();
  EXPECT_TRUE(started);
  EXPECT_EQ(ReadFile(edited), "hello world\n") << "typed text, Escape and Enter reached vi";
  EXPECT_EQ(RowText(3, 0, 6), U"PANELS");
}
