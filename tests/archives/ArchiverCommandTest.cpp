// The archiver commands: what a name becomes on the archiver's command
// line, batches and list files, and a member extracted for viewing that
// goes back into its archive once changed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archives/ArchiveEntry.h"
#include "archives/ArchiverCommand.h"
#include "archives/ExtractedMember.h"
#include "console/KeyCodes.h"
#include "console/RunCommand.h"
#include "foundation/SysCalls.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"

namespace {

using dialogtest::PostKeys;

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }

// Runs a command through the shell as the terminal would, keeping what it printed.
struct TShellRunner {
  std::vector<std::string> commands, outputs;
  int failAt = -1;  // the index of a command that fails instead of running
  int operator()(const Westring& command) {
    commands.push_back(Utf8(command));
    if (failAt == static_cast<int>(commands.size()) - 1) return 1;
    std::string output;
    FILE* pipe = popen(commands.back().c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    outputs.push_back(output);
    return WEXITSTATUS(pclose(pipe));
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int RunFor(const TArchiverRecord& record, const std::vector<TMemberName>& members, TShellRunner* runner,
        std::vector<size_t>* taken = nullptr) {
  return RunArchiver(record.compress, Westring(L"/x/my arc.zip"), members, record, ArchiverMode::AddOrDelete,
                     [&](size_t i) { if (taken) taken->push_back(i); },
                     [&](const Westring& command) { return (*runner)(command); });
}

TEST(ArchiverCommandTest, ANameReachesTheArchiverAsOneWord) {
  const std::string odd = "a b$c!*'\"\xC3\xBC.txt";
  TArchiverRecord patterns;  // names taken as patterns: each *, ? and ! keeps a backslash
  patterns.compress = "printf '[%s]\\n'";
  TShellRunner runner;
  ASSERT_EQ(RunFor(patterns, {{Westring::FromUtf8(odd.c_str()), false}}, &runner), 0);
  EXPECT_EQ(Lines(runner.outputs.at(0)), (std::vector<std::string>{"[/x/my arc.zip]", "[a b$c\\!\\*'\"\xC3\xBC.txt]"}));

  // The one-file formats' %f is the file a redirection writes: no pattern backslashes.
  TArchiverRecord& gzip = g_archivers[ArchiveGzip];
  const TArchiverRecord saved = gzip;
  gzip.compress = "printf '[%s]\\n' %a %f";
  runner = TShellRunner();
  ASSERT_EQ(RunFor(gzip, {{Westring::FromUtf8(odd.c_str()), false}}, &runner), 0);
  gzip = saved;
  EXPECT_EQ(Lines(runner.outputs.at(0)), (std::vector<std::string>{"[/x/my arc.zip]", "[" + odd + "]"}));
  EXPECT_EQ(runner.commands.at(0).rfind(Utf8(FindProgram(L"printf")), 0), 0u) << "the program by its full path";

  // A name holding "%f" is no place for the members.
  EXPECT_EQ(Utf8(ExpandArchiverTemplate(L"tar -f %a -x %f", L"/t/%f.tar", L"m")), "tar -f /t/%f.tar -x m");
  EXPECT_EQ(Utf8(ExpandArchiverTemplate(L"arc %f into %a", L"z", L"m")), "arc m into z");
}

TEST(ArchiverCommandTest, LongListsRunInBatchesThatStopAtAFailure) {
  TArchiverRecord record;
  record.compress = "true";
  std::vector<TMemberName> members;
  for (int i = 0; i < 500; ++i) members.push_back({Westring(std::string(60, 'a' + i % 26).c_str()) + L"!", false});
  TShellRunner runner;
  std::vector<size_t> taken;
  ASSERT_EQ(RunFor(record, members, &runner, &taken), 0);
  EXPECT_EQ(taken.size(), 500u);
  ASSERT_GT(runner.commands.size(), 1u);
  const size_t programGrowth = Utf8(FindProgram(L"true")).size() - 4;
  size_t names = 0;
  for (const std::string& command : runner.commands) {
    EXPECT_LE(command.size() - programGrowth, 1019u);
    for (size_t at = command.find("!"); at != std::string::npos; at = command.find("!", at + 1)) ++names;
  }
  EXPECT_EQ(names, 500u) << "every name in exactly one command";

  runner = TShellRunner();
  runner.failAt = 1;
  EXPECT_EQ(RunFor(record, members, &runner), 1);
  EXPECT_EQ(runner.commands.size(), 2u) << "no batch after the failing one";
}

TEST(ArchiverCommandTest, AListFileHoldsTheNamesAsTheyAreAndGoesAfterwards) {
  TArchiverRecord record;
  record.compress = "cat %f #%a";
  record.compressListfileSwitch = "<";  // cat then prints the list file
  record.compressDirSpec = "! !/*";
  TShellRunner runner;
  ASSERT_EQ(RunFor(record, {{L"one $file!", false}, {L"a dir", true}}, &runner), 0);
  ASSERT_EQ(runner.commands.size(), 1u);
  EXPECT_EQ(Lines(runner.outputs.at(0)), (std::vector<std::string>{"one $file!", "a dir", "a dir/*"}));
  const std::string& command = runner.commands[0];
  const std::string listName = command.substr(command.rfind('<') + 1);
  struct stat info {};
  EXPECT_NE(stat(Utf8(Unescape(Westring::FromUtf8(listName.c_str()))).c_str(), &info), 0) << listName;
}

TEST(ArchiverCommandTest, AMissingProgramIsNamedAndNothingRuns) {
  TArchiverRecord record;
  record.compress = "no-such-archiver-here a";
  TShellRunner runner;
  dialogtest::TBoxWatcher box("no-such-archiver-here", {Key::Enter});
  EXPECT_EQ(RunFor(record, {{L"m", false}}, &runner), 127);
  EXPECT_TRUE(box.seen);
  EXPECT_TRUE(runner.commands.empty());
}

class ExtractedMemberTest : public testing::Test {
 protected:
  void SetUp() override {
    dialogtest::ResetScreen();
    ASSERT_EQ(std::system(("cd '" + m_dir.Path() + "' && printf one > a.txt && printf two > b.txt && zip -q t.zip a.txt b.txt")
                              .c_str()),
              0);
    g_archivers[ArchiveZip] = {"unzip -q", "", "zip -q", "", "zip -d", "!", "!/*", false};
  }
  Westring Extract(const wchar_t* member) {
    return m_member.Extract(m_archive, g_archivers[ArchiveZip], {member, false}, &g_archivers[ArchiveZip], Runner());
  }
  ArchiverRunner Runner() {
    return [this](const Westring& command) { return m_runner(command); };
  }
  std::string Member(const char* name) {
    TShellRunner reader;
    reader(Westring::FromUtf8(("unzip -p '" + m_dir / "t.zip" + "' " + name).c_str()));
    return reader.outputs.at(0);
  }

  TTempDirectory m_dir{"extracted"};
  Westring m_archive = Westring::FromUtf8((m_dir / "t.zip").c_str());
  TShellRunner m_runner;
  CExtractedMember m_member;
};

TEST_F(ExtractedMemberTest, AChangedMemberGoesBackBeforeTheNextOne) {
  const Westring first = Extract(L"a.txt");
  ASSERT_FALSE(first.IsEmpty());
  const Westring directory = m_member.Directory();
  EXPECT_EQ(Extract(L"A.TXT"), first) << "the same member, letter case aside, is not extracted again";
  EXPECT_EQ(m_runner.commands.size(), 1u);
  Extract(L"b.txt");
  EXPECT_EQ(Member("a.txt"), "one") << "viewing alone changes nothing";
  EXPECT_FALSE(Sys::Exists(directory + L"/a.txt")) << "the earlier member's file goes";

  std::ofstream(Utf8(m_member.Directory() + L"/b.txt"), std::ios::trunc) << "edited";
  const TTimeValue later{1000000000, 0};
  ASSERT_EQ(Sys::SetModificationTime(m_member.Directory() + L"/b.txt", later), 0);
  Extract(L"a.txt");
  EXPECT_EQ(Member("b.txt"), "edited");
}

TEST_F(ExtractedMemberTest, AFailedUpdateKeepsTheEditedFile) {
  ASSERT_FALSE(Extract(L"a.txt").IsEmpty());
  const Westring file = m_member.Directory() + L"/a.txt";
  std::ofstream(Utf8(file), std::ios::trunc) << "edited";
  ASSERT_EQ(Sys::SetModificationTime(file, TTimeValue{1000000000, 0}), 0);
  m_runner.failAt = static_cast<int>(m_runner.commands.size());
  PostKeys({Key::Enter, Key::Enter});  // the failure, then where the file stays
  m_member.Finish(m_archive, Runner());
  EXPECT_TRUE(Sys::Exists(file));
  EXPECT_EQ(Member("a.txt"), "one");
  (void)Sys::RemoveTree(file.DirPart());

  // A member the archive does not hold: reported, nothing left behind.
  PostKeys({Key::Enter});
  EXPECT_TRUE(Extract(L"missing.txt").IsEmpty());
  EXPECT_TRUE(m_member.Directory().IsEmpty());
}

}  // namespace
