// Ctrl+K's comparison on real files with set times and sizes: each date and
// size rule, contents, files without a counterpart, the mask, and a file
// that cannot be read clearing every tag.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "fileops/CompareDirectories.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;

namespace {

void Write(const std::string& path, const std::string& bytes, time_t seconds) {
  std::ofstream(path) << bytes;
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// "left names | right names", tagged entries in panel order.
std::wstring Tagged(const CPanel& left, const CPanel& right) {
  std::wstring text;
  for (const CPanel* panel : {&left, &right}) {
    if (panel == &right) text += L"|";
    for (int i = 0; i < panel->Count(); ++i) {
      if (panel->At(i)->tagged) text += std::wstring(L" ") + panel->At(i)->Name();
    }
  }
  return text;
}

TCompareRules Rules(int32_t date, int32_t size, bool unmatched, bool contents = false, const wchar_t* mask = L"*") {
  TCompareRules rules;
  rules.date = date;
  rules.size = size;
  rules.unmatched = unmatched;
  rules.contents = contents;
  rules.mask = mask;
  return rules;
}

}  // namespace

TEST(CompareDirectories, EachRuleTagsTheFilesItNames) {
  ResetScreen();
  TTempDirectory a("vk-cmp-a"), b("vk-cmp-b");
  Write(a / "big.txt", "0123456789", 5000);
  Write(b / "big.txt", "01234", 5000);
  Write(a / "newer.txt", "same", 9000);
  Write(b / "newer.txt", "same", 3000);
  Write(a / "diff.txt", "abcd", 5000);
  Write(b / "diff.txt", "abce", 5000);
  Write(a / "same.txt", "abcd", 5000);
  Write(b / "same.txt", "abcd", 5000);
  Write(a / "empty", "", 5000);
  Write(b / "empty", "", 5000);
  Write(a / "Case.txt", "x", 5000);
  Write(b / "case.txt", "x", 5000);
  Write(a / "only.c", "x", 5000);
  Write(b / "descript.ion", "x", 5000);
  paneltest::MakeDirectory(a / "sub");
  Write(b / "sub", "a file where the other side has a directory", 5000);
  CPanel left(PanelSide::Left), right(PanelSide::Right);
  paneltest::ReadInto(left, a.Path());
  paneltest::ReadInto(right, b.Path());
  auto compare = [&](const TCompareRules& rules) {
    EXPECT_EQ(CompareDirectories(left, right, rules), 0);
    return Tagged(left, right);
  };
  using R = TCompareRules;
  EXPECT_EQ(compare(Rules(R::Ignore, R::Ignore, true)), L" Case.txt only.c| case.txt sub")
      << "names differing in case are unmatched; a directory is no counterpart; descript.ion is never tagged";
  EXPECT_EQ(compare(Rules(R::Greater, R::Ignore, false)), L" newer.txt|");
  EXPECT_EQ(compare(Rules(R::Less, R::Ignore, false)), L"| newer.txt");
  EXPECT_EQ(compare(Rules(R::Different, R::Greater, false)), L" big.txt newer.txt| newer.txt")
      << "equal times and Tag Larger: only the larger file";
  EXPECT_EQ(compare(Rules(R::Ignore, R::Less, false)), L"| big.txt");
  EXPECT_EQ(compare(Rules(R::Ignore, R::Different, false)), L" big.txt| big.txt");
  EXPECT_EQ(compare(Rules(R::Ignore, R::Ignore, false, true)), L" big.txt diff.txt| big.txt diff.txt")
      << "equal bytes, and two empty files, stay untagged";
  EXPECT_EQ(compare(Rules(R::Ignore, R::Different, true, false, L"*.c")), L" only.c|");
  EXPECT_EQ(left.TaggedCount(), 1);
  EXPECT_EQ(right.TaggedCount(), 0) << "the tag counts follow";
}

TEST(CompareDirectories, AFileThatCannotBeOpenedStopsTheComparisonWithNoTagsLeft) {
  ResetScreen();
  TTempDirectory a("vk-cmp-a"), b("vk-cmp-b");
  Write(a / "locked", "abcd", 5000);
  Write(b / "locked", "abcd", 5000);
  Write(a / "only", "x", 5000);
  CPanel left(PanelSide::Left), right(PanelSide::Right);
  paneltest::ReadInto(left, a.Path());
  paneltest::ReadInto(right, b.Path());
  unlink((a / "locked").c_str());  // gone since the panel was read
  TBoxWatcher watcher("locked", {Key::Enter});
  EXPECT_EQ(CompareDirectories(left, right, Rules(TCompareRules::Ignore, TCompareRules::Ignore, true, true)), -1);
  EXPECT_TRUE(watcher.seen) << "the message names the file";
  EXPECT_EQ(Tagged(left, right), L"|");
  EXPECT_EQ(CompareFileContents(Westring((b / "locked").c_str()), Westring((b / "locked").c_str())), 0);
}
