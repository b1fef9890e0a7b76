// vk.ini read into the settings and written back, including the hand-edited
// and broken files users will give it.
#include "app/ConfigFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "foundation/Westring.h"
#include "tests/TempDirectory.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class ConfigFileTest : public testing::Test {
 protected:
  void SetUp() override {
    // The file alone is under test here: the console must not follow it.
    m_console = g_console;
    g_console = nullptr;
    ASSERT_FALSE(m_dir.empty());
    m_path = m_dir + "/vk.ini";
    SetConfigMessageHandler([this](const Westring& message) {
      m_messages.push_back(message.ToUtf8().c_str());
    });
  }
  void TearDown() override {
    g_console = m_console;
    SetConfigMessageHandler(nullptr);
    ResetSettings();
  }
  int Load(const std::string& bytes, bool reload = false) {
    WriteFile(m_path, bytes);
    return LoadConfig(Westring(m_path.c_str()), reload);
  }
  Westring Path() const { return Westring(m_path.c_str()); }

  CConsole* m_console = nullptr;
  // Memory-backed when the system has it: the garbage test writes 10,000 files.
  TTempDirectory m_temp{"vk-config", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"};
  const std::string m_dir = m_temp.Path();
  std::string m_path;
  std::vector<std::string> m_messages;
};

}  // namespace

TEST_F(ConfigFileTest, AMissingFileLeavesEveryDefault) {
  g_shadows = false;
  g_settings.tabWidth = 3;
  EXPECT_EQ(LoadConfig(Path(), false), 0);
  EXPECT_TRUE(g_shadows);
  EXPECT_EQ(g_settings.tabWidth, 8);
  EXPECT_TRUE(g_settings.fontFamily.Equals("DejaVu Sans Mono"));
  EXPECT_EQ(g_settings.leftStyle, PanelStyle::Full);
  EXPECT_EQ(g_settings.cmdChar, '!');
  EXPECT_TRUE(g_archivers[7].isTar);
  EXPECT_TRUE(g_archivers[0].extract.Equals("unzip --z"));
  EXPECT_TRUE(g_archivers[6].remove.IsEmpty());
  EXPECT_EQ(g_colours[7], 112);
  EXPECT_EQ(SettingRowCount(), 79);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ConfigFileTest, ValuesAreReadByTheirTypesAndNormalised) {
  EXPECT_EQ(Load("[General Options]\r\n"
                 "Shadows=yes\r\n"
                 "  clock = ON  \r\n"
                 "LeftStyle=tree\n"
                 "RightStyle=BRIEFWIDE\n"
                 "LeftSort=RSIZE\n"
                 "TimeMode=24h\n"
                 "Colours=1 2\n"
                 "StartupSide=Right\n"
                 "Editor2=\xC3\xA9" "dit\n"
                 "d3=/srv/data\n"
                 "d10=/nowhere\n"
                 "MouSpeed=0\n"
                 "Lines=300\n"
                 "TabWidth=9\n"
                 "Viewer:less\n"
                 "Manual=whatever\n"
                 "Nonsense=1\n"
                 "nonsense=2\n"),
            0);
  EXPECT_FALSE(g_shadows) << "only the word on switches a flag on";
  EXPECT_TRUE(g_settings.clock);
  EXPECT_EQ(g_settings.leftStyle, PanelStyle::Full) << "an unknown style is full";
  EXPECT_EQ(g_settings.rightStyle, PanelStyle::BriefWide);
  EXPECT_EQ(g_settings.leftSort, SortOrder::RSize);
  EXPECT_EQ(g_settings.timeMode, 12) << "only exactly 24 gives 24 hours";
  EXPECT_EQ(g_colours[0], 1);
  EXPECT_EQ(g_colours[1], 2);
  EXPECT_EQ(g_colours[2], DefaultColours[2]) << "missing colours keep theirs";
  EXPECT_EQ(g_settings.startupSide, 'R');
  EXPECT_EQ(g_settings.editor2, Westring(L"\u00E9dit"));
  EXPECT_EQ(g_settings.directories[3], Westring(L"/srv/data"));
  EXPECT_EQ(g_settings.mouSpeed, 8);
  EXPECT_EQ(g_settings.lines, 25);
  EXPECT_EQ(g_settings.tabWidth, 8);
  EXPECT_EQ(g_settings.viewer, Westring(L"less")) << "the first of = or : separates";
  ASSERT_EQ(m_messages.size(), 2u) << "each bad key once, whatever its case";
  EXPECT_EQ(m_messages[0], "Bad directive (d10) in vk.ini, line 12");
  EXPECT_EQ(m_messages[1], "Bad directive (Nonsense) in vk.ini, line 18");
}

TEST_F(ConfigFileTest, SectionsArchiversPatternsAndTheEnvironment) {
  Load("Shadows=off\n"
       "[Archiver:ZIP]\nextract=unzip -o\nBogus=1\n"
       "[Associations]\n*.txt: vi !\nno colon here\n[Archiver:NEW]\n"
       "[colours]\n*.c : yel on blu\n"
       "[Environment]\nEDITOR=vim\nEDITOR=nano\n"
       "[General Options]\nTabWidth=4\n[general options]\nTabWidth=2\n");
  EXPECT_FALSE(g_shadows) << "lines before any section are general options";
  EXPECT_TRUE(g_archivers[0].extract.Equals("unzip -o"));
  ASSERT_EQ(g_patterns[0].Count(), 2) << "a lower-case header is no header";
  EXPECT_EQ(g_patterns[0].At(0)->pattern, Westring(L"*.txt"));
  EXPECT_EQ(g_patterns[0].At(0)->command, Westring(L"vi !"));
  EXPECT_EQ(g_patterns[0].At(1)->pattern, Westring(L"*.c"));
  EXPECT_EQ(g_patterns[3].Count(), 0);
  ASSERT_EQ(g_environment.Count(), 1);
  EXPECT_EQ(g_environment.At(0)->command, Westring(L"nano"));
  EXPECT_EQ(g_settings.tabWidth, 2);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ConfigFileTest, SavingRoundTripsAndKeepsHandEditsOfTheLists) {
  Load("[Associations]\n*.txt: vi !\n[Environment]\nA=1\n[General Options]\n"
       "Clock=on\nLeftSort=rtime\nColours=1 2 3\nd0=/home\nCaseMod=UL\n");
  g_settings.tabWidth = 4;
  ASSERT_EQ(SaveConfig(Path()), 0);
  const std::string first = ReadFile(m_path);
  EXPECT_NE(first.find("[Associations]\r\n*.txt: vi !\r\n\r\n"), std::string::npos);
  EXPECT_NE(first.find("[Environment]\r\nA=1\n\r\n"), std::string::npos);
  EXPECT_NE(first.find("TabWidth=4\r\n"), std::string::npos);
  EXPECT_NE(first.find("Colours=1 2 3 62 26 32 7 112 "), std::string::npos);
  EXPECT_EQ(first.find("Manual="), std::string::npos) << "keys without a variable are not written";
  EXPECT_EQ(access((m_dir + "/vk.!!!").c_str(), F_OK), -1) << "the temporary file is gone";

  // Values are trimmed when read, so a default ending in a blank (ZIP's
  // "-@ < ") settles after the first round; from then on nothing changes.
  ASSERT_EQ(LoadConfig(Path(), false), 0);
  ASSERT_EQ(SaveConfig(Path()), 0);
  const std::string settled = ReadFile(m_path);
  ASSERT_EQ(LoadConfig(Path(), false), 0);
  EXPECT_TRUE(g_settings.clock);
  EXPECT_EQ(g_settings.leftSort, SortOrder::RTime);
  EXPECT_EQ(g_settings.tabWidth, 4);
  EXPECT_EQ(g_settings.directories[0], Westring(L"/home"));
  EXPECT_TRUE(g_settings.caseMod.Equals("UL"));
  ASSERT_EQ(SaveConfig(Path()), 0);
  EXPECT_EQ(ReadFile(m_path), settled) << "saving again without changes writes the same bytes";

  // A hand edit of a list section made while the program runs survives a save.
  std::string edited = settled;
  edited.replace(edited.find("*.txt: vi !"), 11, "*.md: less");
  WriteFile(m_path, edited);
  ASSERT_EQ(SaveConfig(Path()), 0);
  EXPECT_NE(ReadFile(m_path).find("*.md: less"), std::string::npos);
  EXPECT_NE(ReadFile(m_path).find("TabWidth=4"), std::string::npos);
}

TEST_F(ConfigFileTest, AFailedSaveLeavesTheOldFile) {
  Load("[General Options]\nTabWidth=6\n");
  const std::string old = ReadFile(m_path);
  ASSERT_EQ(mkdir((m_dir + "/vk.!!!").c_str(), 0755), 0);  // the temporary name cannot be a file
  g_settings.tabWidth = 3;
  EXPECT_NE(SaveConfig(Path()), 0);
  EXPECT_EQ(ReadFile(m_path), old);
}

TEST_F(ConfigFileTest, GarbageNeverCrashesAndKeepsTheDefaults) {
  std::mt19937 random(20261206);
  const std::string pieces[] = {"[General Options]", "[Associations]", "[Archiver:ZIP]", "=", ":",
                                "[", "]", "\r\n", "\n", std::string(1, '\0'), "Colours=",
                                "TabWidth=", "d9=", "\xFF\xFE", " ", "Shadows=on"};
  for (int file = 0; file < 10000; ++file) {
    std::string bytes;
    const int parts = static_cast<int>(random() % 40);
    for (int i = 0; i < parts; ++i) {
      if (random() % 3 == 0) {
        bytes += pieces[random() % (sizeof pieces / sizeof pieces[0])];
      } else {
        const int length = static_cast<int>(random() % 20);
        for (int k = 0; k < length; ++k) bytes += static_cast<char>(random() % 256);
      }
    }
    if (file % 1000 == 0) bytes += std::string(100000, 'x') + "=" + std::string(5000, 'y');
    ASSERT_EQ(Load(bytes), 0) << "file " << file;
    ASSERT_GE(g_settings.tabWidth, 1);
    ASSERT_LE(g_settings.tabWidth, 8);
  }
  // An unreadable configuration is reported, not read.
  chmod(m_path.c_str(), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(LoadConfig(Path(), false), EACCES);
  }
}
