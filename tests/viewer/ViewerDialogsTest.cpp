// The viewer's small dialogs answered through the event queue, and the Alt-T
// code-page cycle.
#include <gtest/gtest.h>

#include "dialogs/InputHistory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "viewer/ViewerDialogs.h"

using namespace dialogtest;
using ViewerDialogsTest = ScreenTest;

TEST_F(ViewerDialogsTest, GotoOffsetReadsHexUpToTheFirstOtherCharacter) {
  const std::pair<const wchar_t*, int64_t> cases[] = {
      {L"1f zz", 0x1f},
      {L"DEADbeef", 0xdeadbeef},
      {L"zz", 0},
      {L"", 0x1f0},  // Enter alone: the offset the field starts with
      {L"ffffffffffffffff", INT64_MAX}};
  for (const auto& [typed, want] : cases) {
    int64_t offset = 0x1f0;
    PostText(typed);
    PostKey(Key::Enter);
    EXPECT_TRUE(AskGotoOffset(&offset));
    EXPECT_EQ(offset, want) << Westring(typed).ToUtf8().c_str();
  }
}

TEST_F(ViewerDialogsTest, EnterStoresWhatWasTypedAndEscKeepsTheOldValue) {
  int64_t offset = 5;
  int32_t line = 7;
  Estring list = "866";
  PostKeys({L'9', Key::Esc, L'4', Key::Esc, L'1', Key::Esc});
  EXPECT_FALSE(AskGotoOffset(&offset) || AskGotoLine(&line) || AskCodePageList(&list));
  EXPECT_TRUE(offset == 5 && line == 7 && list.Equals("866"));
  PostText(L"1x23456789");
  PostKey(Key::Enter);
  PostText(L"1251,866");
  PostKey(Key::Enter);
  EXPECT_TRUE(AskGotoLine(&line) && AskCodePageList(&list));
  EXPECT_EQ(line, 12345678) << "letters are refused and eight digits fill the field";
  EXPECT_STREQ(list.c_str(), "1251,866");
}

TEST_F(ViewerDialogsTest, SearchUpdatesTextOptionsAndHistoryOnlyWhenAccepted) {
  TViewerSearch search{L"old", false, true, false};
  PostText(L"needle");
  PostKeys({Key::AltC, Key::AltR, Key::Enter});
  PostText(L"other");
  PostKeys({Key::AltW, Key::Esc});
  EXPECT_TRUE(AskViewerSearch(&search));
  EXPECT_FALSE(AskViewerSearch(&search));
  EXPECT_EQ(search.text, Westring(L"needle"));
  EXPECT_TRUE(search.caseSensitive && !search.reverse && !search.wholeWord);
  const WestringStore& history = *InputHistory(ViewerSearchHistory);
  EXPECT_EQ(*history.At(history.Count() - 1), Westring(L"needle"));
}

TEST_F(ViewerDialogsTest, TranslateCycleEndsEachRoundWithTheDefault) {
  const struct {
    const char* list;
    int expected[4];
    bool invalid[4];
  } cases[] = {{"1251,866", {1251, 866, 0, 1251}, {}},
               {"819, 1251", {0, 1251, 0, 0}, {}},  // the default text code page is 0
               {"99999,,866", {0, 0, 0, 0}, {true, false, true, false}}};  // "" ends the list
  for (const auto& c : cases) {
    int cursor = 0;
    for (int step = 0; step < 4; ++step) {
      bool invalid = !c.invalid[step];
      EXPECT_EQ(NextTranslateCodePage(c.list, &cursor, 819, &invalid), c.expected[step])
          << c.list << " step " << step;
      EXPECT_EQ(invalid, c.invalid[step]) << c.list << " step " << step;
    }
  }
  int cursor = 9;  // the list shrank since
  EXPECT_EQ(NextTranslateCodePage("1251", &cursor, 819, nullptr), 0);
  EXPECT_EQ(NextTranslateCodePage("1251", &cursor, 819, nullptr), 1251);
}
