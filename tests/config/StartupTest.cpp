// The command line, the file locations, the locale conventions and the
// applied configuration of start-up.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../TempDirectory.h"
#include "config/FileLocations.h"
#include "config/LocaleConventions.h"
#include "config/Settings.h"
#include "config/Startup.h"
#include "config/StartupOptions.h"
#include "console/ChildEnvironment.h"
#include "console/RunCommand.h"

namespace {

int Parse(std::vector<const char*> args, TStartupOptions* options, Estring* message) {
  args.insert(args.begin(), "vk");
  return ParseStartupOptions(static_cast<int>(args.size()), args.data(), options, message);
}

}  // namespace

TEST(StartupOptions, LettersInAnyCaseWithDashOrBackslash) {
  TStartupOptions options;
  Estring message;
  EXPECT_EQ(Parse({"-V", "notes.txt", "\\e", "edit.c", "-l", "/srv", "-R", "/opt", "-x", "/tmp/cd"},
                  &options, &message),
            0);
  EXPECT_EQ(options.viewFile, Westring(L"notes.txt"));
  EXPECT_EQ(options.editFile, Westring(L"edit.c"));
  EXPECT_EQ(options.leftDirectory, Westring(L"/srv"));
  EXPECT_EQ(options.rightDirectory, Westring(L"/opt"));
  EXPECT_EQ(options.exitDirectoryFile, Westring(L"/tmp/cd"));
  EXPECT_TRUE(options.configFile.IsEmpty());

  TStartupOptions files;
  EXPECT_EQ(Parse({"/tmp", "/tmp/alt.ini", "-l"}, &files, &message), 0);
  EXPECT_EQ(files.configFile, Westring(L"/tmp/alt.ini")) << "a directory argument is ignored";
  EXPECT_TRUE(files.leftDirectory.IsEmpty()) << "-l without a value stays empty";
  TStartupOptions relative;
  EXPECT_EQ(Parse({"sub\\my.ini"}, &relative, &message), 0);
  EXPECT_EQ(relative.configFile.Right(11), Westring(L"/sub/my.ini"));
  EXPECT_EQ(relative.configFile[0], L'/');
}

TEST(StartupOptions, MistakesEndWithAMessage) {
  TStartupOptions options;
  Estring message;
  EXPECT_EQ(Parse({"-q"}, &options, &message), 1);
  EXPECT_TRUE(message.Equals(UsageText));
  EXPECT_EQ(Parse({"-e"}, &options, &message), 1);
  EXPECT_TRUE(message.Equals("No file specified"));
}

TEST(FileLocations, FollowHomeOrTheNamedConfiguration) {
  const char* home = getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", "/home/ann", 1);
  SetFileLocations(Westring(L"/usr/local/bin/vk"), Westring());
  EXPECT_EQ(GetFileLocation(FileKind::Configuration), Westring(L"/home/ann/.vkl/vk.ini"));
  EXPECT_EQ(GetFileLocation(FileKind::SyntaxDefinitions), Westring(L"/home/ann/.vkl/vksyntax.ini"));
  EXPECT_EQ(GetFileLocation(FileKind::SyntaxDefinitions, true),
            Westring(L"/usr/local/share/varnak/vksyntax.ini"));
  EXPECT_EQ(GetFileLocation(FileKind::HelpText), Westring(L"/usr/local/share/varnak/vk.vkh"));

  SetFileLocations(Westring(L"/usr/local/bin/vk"), Westring(L"/tmp/alt.ini"));
  EXPECT_EQ(GetFileLocation(FileKind::Histories), Westring(L"/tmp/alt.hst"));
  EXPECT_EQ(GetFileLocation(FileKind::UserMenu), Westring(L"/tmp/alt.mnu"));
  EXPECT_EQ(GetFileLocation(FileKind::Configuration), Westring(L"/tmp/alt.ini"));

  unsetenv("HOME");
  SetFileLocations(Westring(L"/usr/local/bin/vk"), Westring());
  EXPECT_EQ(GetFileLocation(FileKind::Configuration), Westring(L"vk.ini")) << "relative without HOME";
  if (home) setenv("HOME", savedHome.c_str(), 1);
}

TEST(FileLocations, SyntaxDefinitionsPerUserThenSharedThenSourceTree) {
  TTempDirectory temp("vk-syntax");
  ASSERT_FALSE(temp.Path().empty());
  const char* home = getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", temp.Path().c_str(), 1);
  SetFileLocations(Westring(L"/usr/local/bin/vk"), Westring());
  auto in = [&](const char* leaf) { return Westring((temp / leaf).c_str()); };
  ASSERT_EQ(mkdir((temp / ".vkl").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((temp / "a-directory").c_str(), 0700), 0);
  std::ofstream(temp / "shared.ini") << "[Colour Classes]\n";
  std::ofstream(temp / "source.ini") << "[Colour Classes]\n";

  EXPECT_EQ(FindSyntaxDefinitions(in("shared.ini"), in("source.ini")), in("shared.ini"));
  EXPECT_EQ(FindSyntaxDefinitions(in("absent.ini"), in("source.ini")), in("source.ini"));
  EXPECT_EQ(FindSyntaxDefinitions(in("a-directory"), in("source.ini")), in("source.ini"))
      << "a directory is no file";
  EXPECT_TRUE(FindSyntaxDefinitions(in("absent.ini"), in("absent.ini")).IsEmpty());
  // Without a per-user file the build finds the shared or the shipped one.
  const Westring found = FindSyntaxDefinitions();
  EXPECT_TRUE(found == GetFileLocation(FileKind::SyntaxDefinitions, true) ||
              found.Right(16) == Westring(L"/data/syntax.ini"))
      << found.ToUtf8().c_str();
  std::ofstream(temp / ".vkl/vksyntax.ini") << "[Colour Classes]\n";
  EXPECT_EQ(FindSyntaxDefinitions(in("shared.ini"), in("source.ini")), in(".vkl/vksyntax.ini"));
  EXPECT_EQ(FindSyntaxDefinitions(), in(".vkl/vksyntax.ini")) << "the per-user file first";
  if (home) setenv("HOME", savedHome.c_str(), 1);
}

TEST(LocaleConventions, DateOrderAndSeparatorComeFromTheDateFormat) {
  struct TCase {
    const char* format;
    const char* printed;
    int order;
  } const cases[] = {{"%d.%m.%Y", "%02d.%02d.%02d", 1},
                     {"%m/%d/%y", "%02d/%02d/%02d", 0},
                     {"%Y-%m-%d", "%02d-%02d-%02d", 2}};
  for (const TCase& c : cases) {
    SetDateConventions(c.format);
    EXPECT_TRUE(g_dateFormat.Equals(c.printed)) << "input: " << c.format;
    EXPECT_EQ(g_dateOrder, c.order) << "input: " << c.format;
  }
}

TEST(ApplyConfiguration, EnvironmentSectionAndPathAppendReachChildren) {
  TTempDirectory dir("vk-startup");
  std::ofstream(dir / "vk-appended-tool") << "#!/bin/sh\n";
  g_environment.Append(new TAssociation{Westring(L"VK_FROM_INI"), Westring(L"value")});
  g_settings.pathAppend = Westring(dir.Path().c_str());
  ApplyConfiguration();
  EXPECT_EQ(EnvironmentValue(L"VK_FROM_INI"), Westring(L"value"));
  EXPECT_EQ(std::string(FindProgram(Westring(L"vk-appended-tool")).ToUtf8().c_str()), dir / "vk-appended-tool");
  g_settings.pathAppend = Westring();
  EXPECT_TRUE(FindProgram(Westring(L"vk-appended-tool")).IsEmpty()) << "the setting is read at every use";
  g_environment.Clear();
  unsetenv("VK_FROM_INI");
}
