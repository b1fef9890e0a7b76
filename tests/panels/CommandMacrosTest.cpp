// Command macros expanded on real panels with tagged files whose names hold
// blanks and shell characters, per-entry runs through the shell, list files,
// prompts and associations.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "panels/CommandMacros.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;
using namespace paneltest;

namespace {

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }
std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

struct CommandMacrosTest : testing::Test {
  void SetUp() override {
    ResetScreen();
    saved = g_settings;
    g_settings.hidden = true;
    g_settings.cmdChar = '!';
    setenv("SHELL", "/bin/sh", 1);
    setenv("TMP", temp.Path().c_str(), 1);
    MakeFile(left / "a b.txt");
    MakeFile(left / "x$y;z.c");
    MakeFile(left / "plain");
    MakeFile(left / ".profile");
    MakeDirectory(right / "sub");
    MakeFile(right / "other.tar.gz");
    ReadInto(panels[0], left.Path());
    ReadInto(panels[1], right.Path());
    for (int side = 0; side < 2; ++side) g_panels[side] = &panels[side];
    panels[1].PutCursorOn(L"other.tar.gz");
  }
  void TearDown() override {
    g_panels[0] = g_panels[1] = nullptr;
    g_settings = saved;
    unsetenv("TMP");
  }
  std::string Expand(const char* command, const wchar_t* name = L"a b.txt", MacroMode mode = MacroMode::Name,
                     int* result = nullptr) {
    Westring out;
    const int r = ExpandMacros(Westring(command), mode, Westring(name), 0, &out);
    if (result) *result = r;
    return r < 0 ? "<cancelled>" : Utf8(out);
  }
  int IndexOf(const wchar_t* name) {
    for (int i = 0; i < panels[0].Count(); ++i)
      if (std::wcscmp(panels[0].At(i)->Name(), name) == 0) return i;
    return -1;
  }

  TSettings saved;
  TTempDirectory left{"vk-macro-l"}, right{"vk-macro-r"}, temp{"vk-macro-t"};
  CPanel panels[2] = {CPanel(PanelSide::Left), CPanel(PanelSide::Right)};
};

}  // namespace

TEST_F(CommandMacrosTest, EveryMacroOnOneName) {
  EXPECT_EQ(Expand("less !"), "less a\\ b.txt");
  EXPECT_EQ(Expand("wc !.bak"), "wc a\\ b.txt.bak") << "the character after the macro stays";
  EXPECT_EQ(Expand("echo !! !n done"), "echo !  done");
  EXPECT_EQ(Expand("cp !f !P"), "cp " + left / "a\\ b.txt" + " " + right.Path());
  EXPECT_EQ(Expand("ls !s !S"), "ls " + left.Path() + "/ " + right.Path() + "/");
  EXPECT_EQ(Expand("tar tzf !F"), "tar tzf " + right / "other.tar.gz") << "upper case: the other panel's cursor";
  EXPECT_EQ(Expand("cc !x", L"x$y;z.c"), "cc x\\$y\\;z") << "!x drops the extension";
  EXPECT_EQ(Expand("ed !x", L".profile"), "ed .profile") << "a leading dot is no extension";

  setenv("VK_M", "value", 1);
  setenv("HOME", "/home/me", 1);
  EXPECT_EQ(Expand("echo $HOME/x $vk_m$. $VK_UNKNOWN_NAME/y"), "echo /home/me/x value. $VK_UNKNOWN_NAME/y");

  EXPECT_EQ(Expand("xv", L"a b.txt", MacroMode::Association), "xv a\\ b.txt");
  EXPECT_EQ(Expand("xv !n", L"a b.txt", MacroMode::Association), "xv ") << "a macro stops the appending";
  int result = 0;
  EXPECT_EQ(Expand("gzip !t", L"a b.txt", MacroMode::Name, &result), "gzip a\\ b.txt");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Expand("mv !t !tx.old", L"plain", MacroMode::Analyse, &result), "mv plain plain.old");
  EXPECT_EQ(result, 1);
  g_settings.cmdChar = '%';
  EXPECT_EQ(Expand("less % !"), "less a\\ b.txt !") << "the macro character is a setting";
}

TEST_F(CommandMacrosTest, TaggedListsAndListFiles) {
  EXPECT_EQ(Expand("rm !l"), "rm a\\ b.txt") << "nothing tagged: the current name";
  panels[0].Tag(IndexOf(L"x$y;z.c"), TagMode::Tag);
  panels[0].Tag(IndexOf(L"a b.txt"), TagMode::Tag);
  EXPECT_EQ(Expand("rm !l"), "rm a\\ b.txt x\\$y\\;z.c") << "panel order, not tagging order";
  EXPECT_EQ(Expand("rm !lf"), "rm " + left / "a\\ b.txt" + " " + left / "x\\$y\\;z.c");
  EXPECT_EQ(Expand("ls !L"), "ls other.tar.gz");

  const std::string expanded = Expand("zip -@ < !@");
  std::string path;
  for (size_t i = expanded.find("< ") + 2; i < expanded.size(); ++i)
    if (expanded[i] != '\\') path += expanded[i];
  EXPECT_EQ(path.rfind(temp.Path() + "/VK#", 0), 0u) << "the list file is made under TMP";
  EXPECT_EQ(ReadFile(path), "a\\ b.txt\nx\\$y\\;z.c\n");
}

TEST_F(CommandMacrosTest, PerEntryRunsInPanelOrder) {
  for (const wchar_t* name : {L"plain", L"x$y;z.c", L"a b.txt"}) panels[0].Tag(IndexOf(name), TagMode::Tag);
  ASSERT_EQ(RunForPanel(Westring(("printf '%s\\n' !t >> " + right / "log").c_str()), 0), 0);
  EXPECT_EQ(ReadFile(right / "log"), "a b.txt\nplain\nx$y;z.c\n");

  ASSERT_EQ(RunForPanel(Westring(("printf '%s|' !l > " + right / "once").c_str()), 0), 0);
  EXPECT_EQ(ReadFile(right / "once"), "a b.txt|plain|x$y;z.c|") << "without !t the command runs once";
}

TEST_F(CommandMacrosTest, PromptsAskAndCancel) {
  PostText(L"-9");
  PostKey(Key::Enter);
  EXPECT_EQ(Expand("kill !i\"Signal:\" 42"), "kill -9 42");
  PostKey(Key::Esc);
  EXPECT_EQ(Expand("kill !i 42"), "<cancelled>");
  EXPECT_EQ(Expand("kill !i 42", L"a", MacroMode::Analyse), "kill  42") << "analysing asks nothing";
}

TEST_F(CommandMacrosTest, AssociationsInFileOrder) {
  for (TObjectStore<TAssociation>& section : g_patterns) section.Clear();
  g_patterns[0].Append(new TAssociation{L"*.tar.gz", L"tar tzf"});
  g_patterns[0].Append(new TAssociation{L"*.gz", L"zcat"});
  g_patterns[1].Append(new TAssociation{L"*.c|*.h", L"less"});
  EXPECT_EQ(Utf8(FindAssociation(AssociationKind::Open, L"x.tar.gz")), "tar tzf");
  EXPECT_EQ(Utf8(FindAssociation(AssociationKind::Open, L"x.gz")), "zcat");
  EXPECT_EQ(Utf8(FindAssociation(AssociationKind::View, L"main.h")), "less");
  EXPECT_TRUE(FindAssociation(AssociationKind::Edit, L"main.h").IsEmpty());
  for (TObjectStore<TAssociation>& section : g_patterns) section.Clear();
}
