// Desktop integration: the launcher text, where the desktop directory is,
// names that are never overwritten, and the file browser chosen.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/TempDirectory.h"
#include "tools/DesktopObjects.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

Westring W(const std::string& text) { return Westring::FromUtf8(text.c_str()); }

TEST(DesktopLauncher, PlainFileOpensThroughXdgOpenAndProgramsRunThemselves) {
  EXPECT_STREQ(LauncherText(L"notes", L"/home/u/notes.txt", false, false).c_str(),
               "#!/usr/bin/env xdg-open\n[Desktop Entry]\nVersion=1.0\nEncoding=UTF-8\nName=notes\n"
               "Exec=xdg-open /home/u/notes.txt\nTerminal=false\nType=Application\n");
  // A program runs itself; paths are quoted.
  const std::string program = LauncherText(L"Build", L"/opt/tools/build.sh", true, true).c_str();
  EXPECT_NE(program.find("\nExec=/opt/tools/build.sh\n"), std::string::npos);
  EXPECT_NE(program.find("\nTerminal=true\n"), std::string::npos);
  // Blanks quote the argument; $ and a backslash are escaped inside the
  // quotes, the backslash once more as the file's string escape; % doubles.
  const std::string odd = LauncherText(L"x", L"/tmp/my $dir/50% a\\b", false, false).c_str();
  EXPECT_NE(odd.find("\nExec=xdg-open \"/tmp/my \\\\$dir/50%% a\\\\\\\\b\"\n"), std::string::npos) << odd;
  // A title cannot break the file into more lines.
  EXPECT_NE(std::string(LauncherText(L"two\nlines", L"/a", false, false).c_str()).find("\nName=two lines\n"),
            std::string::npos);
}

TEST(DesktopDirectory, UserDirsFileAndEnvironment) {
  EXPECT_EQ(DesktopDirectoryFromUserDirs("# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
                                         "/home/u"),
            "/home/u/Schreibtisch");
  EXPECT_EQ(DesktopDirectoryFromUserDirs("XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/home/u"), "/srv/desk");
  EXPECT_EQ(DesktopDirectoryFromUserDirs("#XDG_DESKTOP_DIR=\"$HOME/x\"\nXDG_MUSIC_DIR=\"$HOME/m\"\n", "/home/u"), "");

  TTempDirectory home("vk-desk-home");
  const std::string saved[3] = {std::getenv("HOME") ? std::getenv("HOME") : "",
                                std::getenv("XDG_DESKTOP_DIR") ? std::getenv("XDG_DESKTOP_DIR") : "",
                                std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : ""};
  setenv("HOME", home.Path().c_str(), 1);
  unsetenv("XDG_DESKTOP_DIR");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_STREQ(DesktopDirectory().c_str(), W(home / "Desktop").c_str());
  mkdir((home / ".config").c_str(), 0700);
  std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n";
  EXPECT_STREQ(DesktopDirectory().c_str(), W(home / "Bureau").c_str());
  setenv("XDG_DESKTOP_DIR", "/srv/shared-desk", 1);
  EXPECT_STREQ(DesktopDirectory().c_str(), L"/srv/shared-desk");
  setenv("HOME", saved[0].c_str(), 1);
  if (saved[1].empty()) unsetenv("XDG_DESKTOP_DIR");
  else setenv("XDG_DESKTOP_DIR", saved[1].c_str(), 1);
  if (!saved[2].empty()) setenv("XDG_CONFIG_HOME", saved[2].c_str(), 1);
}

TEST(DesktopLauncherFile, ExistingNamesAreLeftAlone) {
  TTempDirectory desk("vk-desk");
  const Westring directory = W(desk.Path());
  const Westring first = FreeLauncherPath(directory, L"notes");
  EXPECT_STREQ(first.c_str(), W(desk / "notes.desktop").c_str());
  ASSERT_EQ(WriteLauncherFile(first, "one\n"), 0);
  EXPECT_EQ(WriteLauncherFile(first, "two\n"), EEXIST);
  EXPECT_EQ(ReadFile(desk / "notes.desktop"), "one\n");
  const Westring second = FreeLauncherPath(directory, L"notes");
  EXPECT_STREQ(second.c_str(), W(desk / "notes (2).desktop").c_str());
  ASSERT_EQ(WriteLauncherFile(second, "two\n"), 0);
  EXPECT_STREQ(FreeLauncherPath(directory, L"notes").c_str(), W(desk / "notes (3).desktop").c_str());
  struct stat status {};
  ASSERT_EQ(stat((desk / "notes.desktop").c_str(), &status), 0);
  EXPECT_NE(status.st_mode & S_IXUSR, 0u);  // desktops run only executable launchers
  EXPECT_EQ(WriteLauncherFile(W(desk / "missing/x.desktop"), "x"), ENOENT);
}

Westring OnlyDolphin(const Westring& name) { return name.Compare(L"dolphin") == 0 ? Westring(L"/usr/bin/dolphin") : Westring(); }
Westring Everything(const Westring& name) { return L"/usr/bin/" + name; }
Westring OnlyXdgOpen(const Westring& name) { return name.Compare(L"xdg-open") == 0 ? Westring(L"/usr/bin/xdg-open") : Westring(); }
Westring Nothing(const Westring&) { return Westring(); }

TEST(DesktopBrowser, FirstKnownBrowserOnTheQuotedDirectory) {
  EXPECT_STREQ(GuiBrowserCommand(L"/home/u/My Files", OnlyDolphin).c_str(), L"dolphin /home/u/My\\ Files &");
  EXPECT_STREQ(GuiBrowserCommand(L"/home/u", Everything).c_str(), L"nautilus --browser /home/u &");
  EXPECT_STREQ(GuiBrowserCommand(L"/home/u", OnlyXdgOpen).c_str(), L"xdg-open /home/u &");
  EXPECT_TRUE(GuiBrowserCommand(L"/home/u", Nothing).IsEmpty());
}

}  // namespace
