// Menu files: key texts, command lines, submenus, includes in place, and
// the messages for includes that are missing, loop or nest too deeply and
// for a submenu left open; the menu file found from a directory upwards.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "config/FileLocations.h"
#include "console/KeyCodes.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tools/UserMenu.h"
#include "tools/UserMenuWindow.h"

using namespace dialogtest;

namespace {

// "KEY title [commands] {submenu}" for every entry.
std::wstring Outline(const MenuStore& menu) {
  std::wstring text;
  for (const MenuEntry* entry : menu.entries) {
    text += L" " + std::wstring(entry->keyText.c_str()) + L"=" + entry->title.c_str();
    for (const Westring* line : entry->commands) text += L" [" + std::wstring(line->c_str()) + L"]";
    if (entry->submenu) text += L" {" + Outline(*entry->submenu) + L" }";
  }
  return text;
}

Westring W(const std::string& path) { return Westring(path.c_str()); }

}  // namespace

TEST(UserMenu, KeyTextsGiveTheKeysThatSelectEntries) {
  EXPECT_EQ(MenuKeyCode(L"X"), static_cast<uint32_t>('X'));
  EXPECT_EQ(MenuKeyCode(L"F5"), Key::F5);
  EXPECT_EQ(MenuKeyCode(L"F12"), Key::F12);
  EXPECT_EQ(MenuKeyCode(L"CF5"), Key::CtrlF5);
  EXPECT_EQ(MenuKeyCode(L"SF10"), Key::ShiftF10);
  EXPECT_EQ(MenuKeyCode(L"AF11"), Key::AltF11);
  for (const wchar_t* refused : {L"F13", L"F0", L"XF1", L"CF", L"AB", L"F1X"}) EXPECT_EQ(MenuKeyCode(refused), 0u) << refused;
}

TEST(UserMenu, EntriesCommandsSubmenusAndIncludesInPlace) {
  ResetScreen();
  TTempDirectory dir("vk-menu");
  std::ofstream(dir / "inc.mnu") << "i: Included\n  echo inc\n";
  std::ofstream(dir / "vk.mnu") << "  orphan command\n"
                                  "f5 :  Fifth  \n"
                                  "\techo one\n"
                                  "\n"
                                  "\t  \n"
                                  "no colon here\n"
                                  ":no key\n"
                                  "cf5: Ctrl\n"
                                  "{\n"
                                  "a: Inner\n"
                                  "  echo inner\n"
                                  "}\n"
                                  "  after brace\n"
                                  "{\n"
                                  "!INCLUDE  inc.mnu  \n"
                                  "  after include\n"
                                  "x: Last\r\n"
                                  " echo last\r\n";
  MenuStore menu;
  ASSERT_EQ(ReadMenuFile(W(dir / "vk.mnu"), &menu), 0);
  EXPECT_EQ(Outline(menu),
            L" F5=Fifth [echo one] CF5=Ctrl { A=Inner [echo inner] } I=Included [echo inc] X=Last [echo last]");
  EXPECT_EQ(menu.keyTextWidth, 3);
  EXPECT_EQ(menu.entries.At(0)->key, Key::F5);
  EXPECT_NE(ReadMenuFile(W(dir / "none.mnu"), &menu), 0) << "a missing menu file is an error without a message";
}

TEST(UserMenu, BrokenIncludesAndAnOpenSubmenuAreToldWithFileAndLine) {
  ResetScreen();
  TTempDirectory dir("vk-menu");
  std::ofstream(dir / "a.mnu") << "a: A\n!include b.mnu\n";
  std::ofstream(dir / "b.mnu") << "b: B\n!include " + (dir / "a.mnu") + "\nc: C\n";
  {
    TBoxWatcher watcher((dir / "b.mnu:2").c_str(), {Key::Enter});
    MenuStore menu;
    ASSERT_EQ(ReadMenuFile(W(dir / "a.mnu"), &menu), 0);
    EXPECT_TRUE(watcher.seen) << "the loop is told where it closes";
    EXPECT_EQ(Outline(menu), L" A=A B=B C=C");
  }
  std::ofstream(dir / "gap.mnu") << "s: S\n!include deeper.mnu\n";
  for (int i = 0; i <= kMaxMenuIncludeDepth + 1; ++i)
    std::ofstream(dir / ("d" + std::to_string(i) + ".mnu")) << "!include d" + std::to_string(i + 1) + ".mnu\n";
  {
    TBoxWatcher watcher("included too deeply", {Key::Enter});
    MenuStore menu;
    ASSERT_EQ(ReadMenuFile(W(dir / "d0.mnu"), &menu), 0);
    EXPECT_TRUE(watcher.seen);
  }
  {
    TBoxWatcher watcher("Unable to open included menu", {Key::Enter});
    MenuStore menu;
    ASSERT_EQ(ReadMenuFile(W(dir / "gap.mnu"), &menu), 0);
    EXPECT_TRUE(watcher.seen);
    EXPECT_EQ(Outline(menu), L" S=S");
  }
  std::ofstream(dir / "open.mnu") << "m: Menu\n{\nn: Inner\n";
  {
    TBoxWatcher watcher((dir / "open.mnu:2").c_str(), {Key::Enter});
    MenuStore menu;
    ASSERT_EQ(ReadMenuFile(W(dir / "open.mnu"), &menu), 0);
    EXPECT_TRUE(watcher.seen) << "the line of the \"{\" left open";
    EXPECT_EQ(Outline(menu), L" M=Menu { N=Inner }");
  }
}

TEST(UserMenu, AMenuFileNearerTheDirectoryHidesTheOnesAbove) {
  TTempDirectory dir("vk-menu");
  const std::string name = GetFileLocation(FileKind::UserMenu).NamePart().ToUtf8().c_str();
  ASSERT_EQ(system(("mkdir -p " + (dir / "a/b/c")).c_str()), 0);
  std::ofstream(dir / ("a/" + name)) << "x: X\n";
  EXPECT_EQ(FindMenuFile(W(dir / "a/b/c")), W(dir / ("a/" + name)));
  std::ofstream(dir / ("a/b/c/" + name)) << "y: Y\n";
  EXPECT_EQ(FindMenuFile(W(dir / "a/b/c")), W(dir / ("a/b/c/" + name)));
  EXPECT_EQ(FindMenuFile(W(dir.Path())), FindMainMenu()) << "none above: the main menu";
}
