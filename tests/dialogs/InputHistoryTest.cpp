// The twelve input histories and the rule that keeps one of each text.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "dialogs/Dialog.h"
#include "dialogs/InputHistory.h"

namespace {

struct InputHistoryTest : testing::Test {
  void SetUp() override {
    TearDown();
    SetInputHistorySaver(
        [this](int number, const Westring& text) { saved.emplace_back(number, text); });
  }
  void TearDown() override {
    SetInputHistorySaver(nullptr);
    for (int i = 0; i < InputHistoryCount; ++i) InputHistory(i)->Clear();
  }
  std::vector<std::pair<int, Westring>> saved;
};

}  // namespace

TEST_F(InputHistoryTest, EveryCaseVariantMakesWayAndTheListsStayApart) {
  AddToHistory(Westring(L"make"), 7, true);
  AddToHistory(Westring(L"Make"), 7, true);
  AddToHistory(Westring(L"\u00c4pfel"), 7, true);
  AddToHistory(Westring(L"MAKE"), 8);
  AddToHistory(Westring(L"mAkE"), 7);
  AddToHistory(Westring(L"\u00e4PFEL"), 7);

  WestringStore& seven = *InputHistory(7);
  ASSERT_EQ(seven.Count(), 2) << "case variants, also outside ASCII, are one entry";
  EXPECT_EQ(*seven.At(0), Westring(L"mAkE"));
  EXPECT_EQ(*seven.At(1), Westring(L"\u00e4PFEL")) << "the newest spelling is kept, at the end";
  ASSERT_EQ(InputHistory(8)->Count(), 1);

  // The saver hears of exactly the entries added with saving on, in order.
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0].first, 8);
  EXPECT_EQ(saved[1].first, 7);
  EXPECT_EQ(saved[1].second, Westring(L"mAkE"));
  EXPECT_EQ(saved[2].second, Westring(L"\u00e4PFEL"));
}
