// The panel filter dialog on the real console: accepting, and refusing a bad
// expression with the dialog kept open until Esc.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/InputHistory.h"
#include "foundation/Westring.h"
#include "panels/FilterDialog.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

struct FilterDialogTest : ScreenTest {
  void TearDown() override { Con().SetIdleHandler(nullptr); }
};

// The screen row holding `text`, or -1.
int FindRow(const std::u32string& text) {
  for (int r = 0; r < Con().Lines(); ++r)
    if (ScreenText(0, r, Con().Columns()).find(text) != std::u32string::npos) return r;
  return -1;
}

}  // namespace

TEST_F(FilterDialogTest, AcceptsAValidExpressionIntoTheFilterAndHistory) {
  Westring filter(L"*");
  int titleRow = -1;
  Con().SetIdleHandler([&] {
    if (titleRow < 0) titleRow = FindRow(U" Filter for right panel ");
  });
  PostText(L"*.c|*.h");
  PostKey(Key::Enter);
  EXPECT_TRUE(RunFilterDialog(L"right", &filter));
  EXPECT_EQ(filter, Westring(L"*.c|*.h")) << "the first typed key replaces the old text";
  EXPECT_GE(titleRow, 0) << "the title names the panel";
  const WestringStore* history = InputHistory(7);
  ASSERT_GT(history->Count(), 0);
  EXPECT_EQ(*history->At(history->Count() - 1), Westring(L"*.c|*.h"));
}

TEST_F(FilterDialogTest, RefusesASyntaxErrorAndKeepsTheText) {
  Westring filter(L"*");
  int messageRow = -1;
  std::u32string textRow;
  Con().SetIdleHandler([&] {
    if (messageRow >= 0) return;
    messageRow = FindRow(U"Syntax error in expression");
    if (messageRow >= 0) textRow = ScreenText(0, messageRow + 1, Con().Columns());
  });
  // "(*.c" is refused; OK closes the message, the dialog stays with the
  // text, and completing it to "(*.c)" is accepted.
  PostText(L"(*.c");
  PostKey(Key::Enter);
  PostKey(Key::Enter);
  PostKeys({Key::End, L')', Key::Enter});
  EXPECT_TRUE(RunFilterDialog(L"left", &filter));
  ASSERT_GE(messageRow, 0) << "the message box was shown";
  EXPECT_NE(textRow.find(U"(*.c"), std::u32string::npos) << "with the refused text";
  EXPECT_EQ(filter, Westring(L"(*.c)"));

  // A refused text followed by Esc leaves the filter alone.
  messageRow = -1;
  PostText(L"%size=>0");
  PostKeys({Key::Enter, Key::Enter, Key::Esc});
  EXPECT_FALSE(RunFilterDialog(L"left", &filter));
  EXPECT_GE(messageRow, 0);
  EXPECT_EQ(filter, Westring(L"(*.c)"));
}
