// Ctrl+A, Ctrl+C, File Date/Time and Ctrl+I on real files: permission rows
// typed as octal digits, cells that keep each tagged file's bit, unknown
// owners; case rules, names that are taken and directories walked into;
// the date checks; what the information window lists.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/Settings.h"
#include "fileops/FileAttributes.h"
#include "fileops/FileCase.h"
#include "fileops/FileDateTime.h"
#include "fileops/FileInformation.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;
namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

}  // namespace

TEST(FileAttributes, DigitsFillTheFocusedRowAndKeptCellsKeepEachFilesBit) {
  ResetScreen();
  TTempDirectory dir("vk-attr"), far("vk-attr-other");
  std::ofstream(dir / "a") << "a";
  std::ofstream(dir / "b") << "b";
  chmod((dir / "a").c_str(), 0600);
  chmod((dir / "b").c_str(), 0644);
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, dir.Path());
  paneltest::ReadInto(other, far.Path());
  active.PutCursorOn(L"b");
  PostKeys({Key::Tab, Key::Tab, '7', Key::Enter});
  RunFileAttributes(active, other);
  EXPECT_EQ(ModeOf(dir / "b"), 0647u) << "7 on the Other row";
  EXPECT_EQ(ModeOf(dir / "a"), 0600u) << "only the cursor's file";

  active.TagAll(TagMode::Tag, false);
  PostKeys({Key::Tab, Key::Tab, '5', Key::Enter});
  RunFileAttributes(active, other);
  EXPECT_EQ(ModeOf(dir / "a"), 0605u) << "the Group read cell differed, so it kept each file's bit";
  EXPECT_EQ(ModeOf(dir / "b"), 0645u);
  EXPECT_TRUE(other.RereadPending());

  TBoxWatcher watcher("Invalid user", {Key::Enter, Key::Esc});
  PostKeys({Key::Tab, Key::Tab, Key::Tab});
  PostText(L"no-such-user-here");
  PostKey(Key::Enter);
  RunFileAttributes(active, other);
  EXPECT_TRUE(watcher.seen);
  EXPECT_EQ(ModeOf(dir / "a"), 0605u) << "nothing changed after the refused name";
}

TEST(FileCase, RulesForNameAndExtension) {
  EXPECT_EQ(CasedName(L"HELLO world.TXT", "ml"), L"Hello World.txt");
  EXPECT_EQ(ConvertCase(L"o'brien don't we'll 2nd-file x_y", 'm'), L"O'Brien Don't We'll 2nd-File X_Y");
  EXPECT_EQ(CasedName(L"archive.tar.GZ", "un"), L"ARCHIVE.TAR.GZ");
  EXPECT_EQ(CasedName(L"README", "ln"), L"readme");
  EXPECT_EQ(CasedName(L"Straße.Ä", "lu"), L"straße.Ä");
}

TEST(FileCase, ATakenNameIsReportedAndDirectoriesAreWalkedInto) {
  ResetScreen();
  TTempDirectory dir("vk-case");
  std::ofstream(dir / "MixedCase.TXT") << "keep";
  std::ofstream(dir / "mixedcase.txt") << "other";
  {
    TBoxWatcher watcher("File already exists named", {Key::Enter});
    EXPECT_EQ(RenameToCase(Westring((dir / "MixedCase.TXT").c_str()), L"mixedcase.txt"), 0);
    EXPECT_TRUE(watcher.seen);
  }
  std::string kept;
  std::ifstream(dir / "MixedCase.TXT") >> kept;
  EXPECT_EQ(kept, "keep") << "neither file lost";
  fs::create_directories(dir / "Sub/Deeper");
  std::ofstream(dir / "Sub/Deeper/Inner.TXT") << "x";
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, dir.Path());
  paneltest::ReadInto(other, dir.Path());
  active.PutCursorOn(L"Sub");
  g_settings.caseMod = "nn";
  g_settings.caseModRecurse = g_settings.caseModDirs = false;
  g_settings.caseModFiles = true;
  // Lower name, lower extension; recurse, directories and files.
  PostKeys({Key::AltL, Key::AltW, Key::AltR, Key::AltD, Key::Enter});
  RunFileCase(active, other);
  EXPECT_TRUE(fs::exists(dir / "sub/deeper/inner.txt"));
}

TEST(FileDateTime, DatesOutsideTheCalendarAreRefused) {
  time_t stamp;
  EXPECT_TRUE(DateTimeStamp({2000, 2, 29, 23, 59, 59}, &stamp));
  EXPECT_FALSE(DateTimeStamp({1999, 2, 29, 0, 0, 0}, &stamp));
  EXPECT_FALSE(DateTimeStamp({2100, 1, 1, 0, 0, 0}, &stamp));
  EXPECT_FALSE(DateTimeStamp({1979, 12, 31, 0, 0, 0}, &stamp));
  EXPECT_FALSE(DateTimeStamp({2001, 4, 31, 0, 0, 0}, &stamp));
  EXPECT_FALSE(DateTimeStamp({2001, 4, 1, 0, 60, 0}, &stamp));
  ASSERT_TRUE(DateTimeStamp({2001, 2, 3, 12, 5, 0, 0}, &stamp));
  struct tm local;
  localtime_r(&stamp, &local);
  EXPECT_EQ(local.tm_hour, 0) << "12 AM is midnight";
  ASSERT_TRUE(DateTimeStamp({2001, 2, 3, 4, 5, 0, 1}, &stamp));
  localtime_r(&stamp, &local);
  EXPECT_EQ(local.tm_hour, 16);
  EXPECT_FALSE(DateTimeStamp({2001, 2, 3, 13, 0, 0, 1}, &stamp));
}

TEST(FileInformation, ALinkIsShownAsItselfWithItsTarget) {
  TTempDirectory dir("vk-info");
  std::ofstream(dir / "file") << "12345";
  ASSERT_EQ(symlink("file", (dir / "link").c_str()), 0);
  struct stat info;
  ASSERT_EQ(lstat((dir / "link").c_str(), &info), 0);
  std::wstring text;
  for (const TInformationLine& line : FileInformationLines(info, L"file"))
    text += std::wstring(Westring(line.label).c_str()) + L"=" + line.value.c_str() + L";";
  EXPECT_NE(text.find(L"Type=Symbolic Link;Target=file;"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"Inode=" + std::to_wstring(info.st_ino) + L";"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"Mode=rwxrwxrwx (0777);"), std::wstring::npos) << text;
}
