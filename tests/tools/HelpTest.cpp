// The help text end to end: records walked as they lie in the file, the
// file the build wrote holding every topic the code names and reading back
// as the sources say, the sources' faults found with their lines, and F1
// without a help file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "../TempDirectory.h"
#include "../dialogs/DialogTestUtil.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "help/HelpSources.h"
#include "tools/HelpFile.h"
#include "tools/HelpViewer.h"

namespace {

std::string Record(int topic, const std::string& lines) {
  const size_t length = lines.size() + 4;
  std::string record = {static_cast<char>(topic & 0xFF), static_cast<char>(topic >> 8 & 0xFF),
                        static_cast<char>(length & 0xFF), static_cast<char>(length >> 8 & 0xFF)};
  return record + lines;
}

std::vector<Westring> Lines(const CHelpFile& file, int topic, int* found, int tabWidth = 8) {
  return file.TopicLines(topic, tabWidth, found);
}

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }

std::vector<std::string> SourceFiles() {
  const std::string directory = VK_SOURCE_DIR "/help/topics";
  std::vector<std::string> files;
  if (DIR* dir = opendir(directory.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) files.push_back(directory + "/" + name);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST(HelpFileTest, RecordsAreWalkedAsTheyLie) {
  // "caf\x82" is "café" in code page 850; 0xC4 its horizontal rule.
  const std::string bytes = Record(7, std::string("caf\x82\0\xC4\xC4\0a\tb\0", 12)) + Record(9, "") +
                            Record(7, std::string("second\0", 7)) + Record(-2, std::string("minus\0", 6)) +
                            Record(LastHelpRecord, std::string("no such topic\0", 14)) +
                            Record(11, std::string("after the end\0", 14));
  CHelpFile file;
  file.LoadBytes(bytes.data(), bytes.size());
  int found = 0;
  const std::vector<Westring> seven = Lines(file, 7, &found);
  ASSERT_EQ(found, 7);
  ASSERT_EQ(seven.size(), 3u);
  EXPECT_EQ(Utf8(seven[0]), "café");
  EXPECT_EQ(Utf8(seven[1]), "──");
  EXPECT_EQ(Utf8(seven[2]), "a      b") << "a tab at column 1 gives one space fewer than the distance to 8";
  EXPECT_TRUE(Lines(file, 9, &found).empty()) << "a record of only its header is an empty topic";
  EXPECT_EQ(found, 9);
  EXPECT_EQ(Utf8(Lines(file, -2, &found).at(0)), "minus") << "topic numbers are signed";
  const std::vector<Westring> missing = Lines(file, 11, &found);
  EXPECT_EQ(found, LastHelpRecord) << "the walk stops at the last record";
  EXPECT_EQ(Utf8(missing.at(0)), "no such topic");

  // A record whose length runs past the end, or is shorter than its
  // header, ends the walk: nothing beyond it is read.
  const std::string cut = Record(3, std::string("fine\0", 5)) + Record(4, std::string("cut short\0", 10)).substr(0, 8);
  file.LoadBytes(cut.data(), cut.size());
  EXPECT_EQ(Utf8(Lines(file, 3, &found).at(0)), "fine");
  EXPECT_TRUE(Lines(file, 4, &found).empty());
  EXPECT_EQ(found, -1);
  std::string looping = Record(5, "");
  looping[2] = 2;
  file.LoadBytes(looping.data(), looping.size());
  EXPECT_TRUE(Lines(file, 6, &found).empty());
  EXPECT_EQ(found, -1);
  // A last string without its terminator ends with the record.
  const std::string open = Record(8, "open");
  file.LoadBytes(open.data(), open.size());
  EXPECT_EQ(Utf8(Lines(file, 8, &found).at(0)), "open");

  EXPECT_EQ(file.Load(Westring("/nonexistent/vk.vkh")), ENOENT);
  EXPECT_FALSE(file.Loaded());
}

TEST(HelpFileTest, TheBuiltFileHoldsEveryTopicAsItsSourcesSay) {
  CHelpFile file;
  ASSERT_EQ(file.Load(Westring(VK_BUILD_DATA_DIR "/vk.vkh")), 0);
  std::vector<THelpTopic> topics;
  std::vector<std::string> errors;
  ASSERT_EQ(ReadHelpSources(SourceFiles(), &topics, &errors), 0) << (errors.empty() ? "" : errors[0]);
  int found = 0;
#define VK_EXPECT_TOPIC(name, number, where)                                 \
  EXPECT_FALSE(Lines(file, HelpTopic::name, &found).empty()) << #name;      \
  EXPECT_EQ(found, number) << #name " has no record of its own";
  VK_HELP_TOPIC_LIST(VK_EXPECT_TOPIC)
#undef VK_EXPECT_TOPIC
  for (const THelpTopic& topic : topics) {
    const std::vector<Westring> read = Lines(file, topic.number, &found);
    const std::vector<std::string> shown = ShownLines(topic, topics);
    ASSERT_EQ(read.size(), shown.size()) << topic.name;
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(Utf8(read[i]), shown[i]) << topic.name << " line " << i;
  }
  const std::vector<Westring> index = Lines(file, HelpTopic::Index, &found);
  for (const THelpTopic& topic : topics) {
    if (topic.number == HelpTopic::Index || topic.number == HelpTopic::NoTopic) continue;
    EXPECT_TRUE(std::any_of(index.begin(), index.end(), [&](const Westring& line) { return Utf8(line).find(topic.title) != std::string::npos; }))
        << "the index lists " << topic.name;
  }
}

TEST(HelpFileTest, FaultsInTheSourcesAreToldWithTheirLines) {
  TTempDirectory dir("vk-help");
  std::ofstream(dir / "a.txt") << "stray text\n"
                               << "= Panels: The panels\n"
                               << std::string(73, 'x') << "\n"
                               << "tab\there\n"
                               << "an arrow \xE2\x86\x92 that code page 850 lacks\n"
                               << "= Panels: Again\n"
                               << "= Nonsense: Unknown\n"
                               << "= NoColon\n";
  std::vector<THelpTopic> topics;
  std::vector<std::string> errors;
  EXPECT_EQ(ReadHelpSources({dir / "a.txt"}, &topics, &errors), EINVAL);
  auto told = [&](const std::string& where, const std::string& what) {
    return std::any_of(errors.begin(), errors.end(), [&](const std::string& e) {
      return e.rfind(dir / where, 0) == 0 && e.find(what) != std::string::npos;
    });
  };
  EXPECT_TRUE(told("a.txt:1:", "before the first topic"));
  EXPECT_TRUE(told("a.txt:3:", "longer than 72"));
  EXPECT_TRUE(told("a.txt:4:", "tab"));
  EXPECT_TRUE(told("a.txt:5:", "code page 850"));
  EXPECT_TRUE(told("a.txt:6:", "written already at"));
  EXPECT_TRUE(told("a.txt:7:", "Nonsense is not in the list"));
  EXPECT_TRUE(told("a.txt:8:", "\"= Name: Title\""));
  EXPECT_TRUE(std::find(errors.begin(), errors.end(), "no help text for topic Copy") != errors.end());
  EXPECT_TRUE(std::find(errors.begin(), errors.end(), "no help text for topic Panels") == errors.end());

  errors.clear();
  EXPECT_NE(ReadHelpSources({dir / "missing.txt"}, &topics, &errors), 0);
  EXPECT_FALSE(errors.empty());
}

TEST(HelpFileTest, WithoutAHelpFileF1SaysSo) {
  dialogtest::ResetScreen();
  SetHelpViewer(RunHelpViewer);
  {
    dialogtest::TBoxWatcher box("Help not loaded", {Key::Enter});
    ShowHelp(HelpTopic::Panels);
    EXPECT_TRUE(box.seen);
  }
  SetHelpViewer(nullptr);
  dialogtest::TBoxWatcher box("Help not loaded", {Key::Enter});
  ShowHelp(HelpTopic::Copy);
  EXPECT_TRUE(box.seen) << "no viewer installed";
}
