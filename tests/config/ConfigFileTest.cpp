// vk.ini read into the settings and written back, including the hand-edited
// and broken files users will give it.
#include "config/ConfigFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
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
    SetConfigMessageHandler([this](const Westring& text, const Westring& second) {
      m_messages.push_back(text.ToUtf8().c_str());
      m_seconds.push_back(second.ToUtf8().c_str());
    });
  }
  void TearDown() override {
    g_console = m_console;
    SetConfigMessageHandler(std::function<void(const Westring&, const Westring&)>());
    ResetSettings();
  }
  int Load(const std::string& bytes, bool reload = false) {
    WriteFile(m_path, bytes);
    return LoadConfig(Westring(m_path.c_str()), reload);
  }
  Westring Path() const { return Westring(m_path.c_str()); }

  CConsole* m_console = nullptr;
  TTempDirectory m_temp{"vk-config"};
  const std::string m_dir = m_temp.Path();
  std::string m_path;
  std::vector<std::string> m_messages, m_seconds;
};

// Every value of the settings as vk.ini writes it, with the lists.
std::vector<std::string> Snapshot() {
  std::vector<std::string> values;
  for (int i = 0; i < SettingRowCount(); ++i) {
    const TSettingRow& row = SettingRows()[i];
    if (row.variable) values.push_back(std::string(row.key) + "=" + SettingText(row).c_str());
  }
  for (const Westring& slot : g_settings.directories) values.push_back(slot.ToUtf8().c_str());
  for (const TArchiverRecord& a : g_archivers) {
    for (const Estring* field : {&a.extract, &a.extractListfileSwitch, &a.compress,
                                 &a.compressListfileSwitch, &a.remove, &a.compressDirSpec,
                                 &a.extractDirSpec})
      values.push_back(field->c_str());
  }
  for (int section = 0; section < PatternSectionCount; ++section) {
    for (const TAssociation* entry : g_patterns[section])
      values.push_back(std::to_string(section) + entry->pattern.ToUtf8().c_str() + ":" +
                       entry->command.ToUtf8().c_str());
  }
  for (const TAssociation* entry : g_environment)
    values.push_back(std::string("env ") + entry->pattern.ToUtf8().c_str() + "=" +
                     entry->command.ToUtf8().c_str());
  return values;
}

// A value unlike the default for each row, distinct between rows of one type,
// in the form vk.ini writes it.
std::string NonDefaultValue(const TSettingRow& row, int index) {
  const std::string key = row.key;
  switch (row.type) {
    case SettingType::Narrow:
    case SettingType::Wide: return "value of " + key + (row.type == SettingType::Wide ? " \xC3\xA9" : "");
    case SettingType::Integer:
      if (key == "TabWidth") return "3";
      if (key == "Lines") return "40";
      if (key == "MouSpeed") return "20";
      return std::to_string(100 + index);
    case SettingType::Flag: return SettingText(row).Equals("on") ? "off" : "on";
    case SettingType::Byte: return key == "StartupSide" ? "R" : "#";
    case SettingType::TimeMode: return "24";
    case SettingType::Sort: return key == "LeftSort" ? "rextension" : "rtime";
    case SettingType::Style: return key == "LeftStyle" ? "unix" : "wide";
    case SettingType::Type: return "info";
    case SettingType::Colours: {
      std::string text;
      for (int i = 0; i < ColourClassCount; ++i) text += std::to_string(200 + i) + " ";
      return text;
    }
    case SettingType::None: break;
  }
  return "";
}

}  // namespace

TEST_F(ConfigFileTest, AMissingFileLeavesEveryDefault) {
  ResetSettings();
  const std::vector<std::string> defaults = Snapshot();
  g_shadows = false;
  g_settings.tabWidth = 3;
  EXPECT_EQ(LoadConfig(Path(), false), 0);
  EXPECT_EQ(Snapshot(), defaults);
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

  // Edit Associations opens the file where its section starts.
  WriteFile(m_path, "Shadows=off\r\n[associations]\r\n[Associations]\r\n*.txt: vi\r\n");
  EXPECT_EQ(ConfigSectionOffset(Path(), "[Associations]"), 29);
  EXPECT_EQ(ConfigSectionOffset(Path(), "[Environment]"), -1);
  EXPECT_EQ(ConfigSectionOffset(Westring((m_dir + "/none.ini").c_str()), "[Associations]"), -1);
}

TEST_F(ConfigFileTest, ACompleteFileRoundTrips) {
  ResetSettings();
  const std::vector<std::string> defaults = Snapshot();
  std::string file;
  std::vector<std::string> written;  // the [General Options] lines as the file has them
  for (int i = 0; i < PatternSectionCount; ++i) {
    file += std::string(ConfigSectionHeaders[10 + i]) + "\r\n";
    file += "*.a" + std::to_string(i) + ": command " + std::to_string(i) + "\r\n";
    file += "(size>10)&*.b: yel on blu\r\n\r\n";
  }
  file += "[Environment]\nLANG=C\nPAGER=less -R\n\r\n";
  for (int a = 0; a < ArchiverCount; ++a) {
    file += std::string(ConfigSectionHeaders[a]) + "\r\n";
    for (const char* field : {"Compress", "CompressListfileSwitch", "Extract",
                              "ExtractListfileSwitch", "Delete", "CompressDirSpec",
                              "ExtractDirSpec"})
      file += std::string(field) + "=" + field + " " + std::to_string(a) + "\r\n";
  }
  file += "[General Options]\r\n";
  for (int i = 0; i < SettingRowCount(); ++i) {
    const TSettingRow& row = SettingRows()[i];
    if (!row.variable) continue;
    const std::string line = std::string(row.key) + "=" + NonDefaultValue(row, i);
    file += line + "\r\n";
    written.push_back(line);
  }
  for (int n = 0; n < 10; ++n) file += "d" + std::to_string(n) + "=/slot/" + std::to_string(n) + "\r\n";

  ASSERT_EQ(Load(file), 0);
  EXPECT_TRUE(m_messages.empty());
  const std::vector<std::string> loaded = Snapshot();
  ASSERT_EQ(loaded.size(), defaults.size() + 5 * 2 + 2);
  for (size_t i = 0; i < loaded.size() && i < defaults.size(); ++i)
    EXPECT_NE(loaded[i], defaults[i]) << "value " << i << " was not read";
  for (size_t i = 0; i < written.size(); ++i)
    EXPECT_EQ(loaded[i], written[i]) << "read back differently";
  EXPECT_TRUE(g_groupThousands);
  EXPECT_EQ(g_scrollDelay, 100 + static_cast<int>(FindSetting("ScrollDelay") - SettingRows()));
  EXPECT_FALSE(g_shadows);
  EXPECT_EQ(g_colours[17], 217);

  ASSERT_EQ(SaveConfig(Path()), 0);
  const std::string saved = ReadFile(m_path);
  ResetSettings();
  ASSERT_EQ(LoadConfig(Path(), false), 0);
  EXPECT_EQ(Snapshot(), loaded);
  ASSERT_EQ(SaveConfig(Path()), 0);
  EXPECT_EQ(ReadFile(m_path), saved);
  // Written in the fixed order: patterns, environment, archivers, options.
  EXPECT_EQ(saved.find("[Associations]\r\n*.a0: command 0\r\n"), 0u);
  EXPECT_LT(saved.find("[Directory Colours]"), saved.find("[Environment]\nLANG=C\nPAGER=less -R\n\r\n"));
  EXPECT_LT(saved.find("[Environment]"), saved.find("[Archiver:ZIP]\r\nCompress=Compress 0\r\n"));
  EXPECT_LT(saved.find("[Archiver:BZIP2]"), saved.find("[General Options]\r\nAutoIndent=on\r\n"));
  EXPECT_NE(saved.find("WaitDOS=on\r\nColours=200 201 "), std::string::npos);
  EXPECT_NE(saved.find("d9=/slot/9\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, SavingRoundTripsAndKeepsHandEditsOfTheLists) {
  Load("[Associations]\n*.txt: vi !\n[Environment]\nA=1\n[General Options]\n"
       "Clock=on\nLeftSort=rtime\nColours=1 2 3\nd0=/home\nCaseMod=UL\n");
  g_settings.tabWidth = 4;
  g_settings.rightSort = SortOrder::RUnsorted;
  ASSERT_EQ(SaveConfig(Path()), 0);
  const std::string first = ReadFile(m_path);
  EXPECT_NE(first.find("RightSort=unsorted\r\n"), std::string::npos) << "reversed unsorted is still unsorted";
  EXPECT_NE(first.find("[Environment]\r\nA=1\n\r\n"), std::string::npos);
  EXPECT_EQ(first.find("Manual="), std::string::npos) << "keys without a variable are not written";
  EXPECT_EQ(access((m_dir + "/vk.!!!").c_str(), F_OK), -1) << "the temporary file is gone";

  // Values are trimmed when read, so a default ending in a blank (ZIP's
  // "-@ < ") settles after the first round; from then on nothing changes.
  ASSERT_EQ(LoadConfig(Path(), false), 0);
  ASSERT_EQ(SaveConfig(Path()), 0);
  const std::string settled = ReadFile(m_path);
  ASSERT_EQ(LoadConfig(Path(), false), 0);
  EXPECT_EQ(g_settings.tabWidth, 4);
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
  // Longer than the file buffer, so writes fail before the file is closed.
  std::string associations = "[Associations]\n";
  for (int i = 0; i < 200; ++i) associations += "*." + std::to_string(i) + ": run " + std::to_string(i) + "\n";
  Load(associations + "[General Options]\nTabWidth=6\n");
  const std::string old = ReadFile(m_path);
  g_settings.tabWidth = 3;

  // The temporary file cannot be opened.
  ASSERT_EQ(mkdir((m_dir + "/vk.!!!").c_str(), 0755), 0);
  EXPECT_EQ(SaveConfig(Path()), EISDIR);
  EXPECT_EQ(ReadFile(m_path), old);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], "Cannot create the configuration file: " + std::string(strerror(EISDIR)) +
                               " (" + std::to_string(EISDIR) + ")");
  EXPECT_EQ(m_seconds[0], m_dir + "/vk.!!!");
  ASSERT_EQ(rmdir((m_dir + "/vk.!!!").c_str()), 0);

  // The disk fills up half way through: a file size limit makes the writes fail.
  m_messages.clear();
  struct rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const struct rlimit small = {512, limit.rlim_max};
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = SaveConfig(Path());
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(ReadFile(m_path), old);
  EXPECT_EQ(access((m_dir + "/vk.!!!").c_str(), F_OK), -1) << "the part written is removed";
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].rfind("Cannot write the configuration file: ", 0), 0u);

  // A new account: the per-user directory is made by the first save; one
  // level further down nothing is made, and that is reported.
  m_messages.clear();
  EXPECT_EQ(SaveConfig(Westring((m_dir + "/fresh/vk.ini").c_str())), 0);
  EXPECT_NE(ReadFile(m_dir + "/fresh/vk.ini").find("TabWidth=3"), std::string::npos);
  EXPECT_EQ(SaveConfig(Westring((m_dir + "/missing/deeper/vk.ini").c_str())), ENOENT);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0].rfind("Cannot create the configuration file: ", 0), 0u);
}

TEST_F(ConfigFileTest, MessagesAreCollectedWithoutAHandler) {
  SetConfigMessageHandler(std::function<void(const Westring&, const Westring&)>());
  Load("[General Options]\nOops=1\n");
  std::vector<TConfigMessage> messages = TakeConfigMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, Westring(L"Bad directive (Oops) in vk.ini, line 2"));
  EXPECT_TRUE(messages[0].second.IsEmpty());
  EXPECT_TRUE(TakeConfigMessages().empty()) << "taking empties the collection";
}

// Random files are the fuzz target's job (fuzz/ConfigFileFuzz.cpp); here the
// cases that once set values by accident.
TEST_F(ConfigFileTest, BrokenLinesSetNothingByAccident) {
  // A 0 byte ends a line like a line feed; a line too long for the buffer
  // is read in pieces, none of which may set anything by accident.
  ASSERT_EQ(Load(std::string("[General Options]\nTabWidth=4") + '\0' + "Shadows=off\n" +
                 std::string(100000, 'x') + "\nClock=on\n"),
            0);
  EXPECT_EQ(g_settings.tabWidth, 4);
  EXPECT_FALSE(g_shadows);
  EXPECT_TRUE(g_settings.clock);
  EXPECT_TRUE(m_messages.empty());

  // An unreadable configuration is reported, not read; the defaults stand.
  EXPECT_EQ(LoadConfig(Westring(m_dir.c_str()), false), EISDIR);
  EXPECT_TRUE(g_shadows);
  chmod(m_path.c_str(), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(LoadConfig(Path(), false), EACCES);
  }
}
