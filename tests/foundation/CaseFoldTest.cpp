#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/CaseFold.h"
#include "foundation/Westring.h"

namespace {

std::string Utf8(const wchar_t* text) { return Westring(text).ToUtf8().c_str(); }

TEST(CaseFoldTest, FoldsBeyondAsciiAndLeavesTheRest) {
  const uint32_t rows[][2] = {
      {0xFF, 0x178},     {0xB5, 0x39C},      {0xF7, 0xF7},      {0x3C2, 0x3A3},
      {0x24D0, 0x24B6},  {0x2170, 0x2170},   {0x10428, 0x10428}, {0xFFFFFFFF, 0xFFFFFFFF},
  };
  for (const auto& row : rows)
    EXPECT_EQ(static_cast<uint32_t>(FoldChar(static_cast<wchar_t>(row[0]))), row[1])
        << std::hex << "U+" << row[0];
  Westring text(L"\u00E9t\u00E9 \u044F ok \U00010428");
  text.FoldUpper();
  EXPECT_EQ(text, L"\u00C9T\u00C9 \u042F OK \U00010428");
}

TEST(CaseFoldTest, FoldCompareGivesTheDifferenceOfFoldedCharacters) {
  struct Row {
    const wchar_t *a, *b;
    int expected;
  } rows[] = {
      {L"abc", L"ABD", 'C' - 'D'}, {L"ab", L"abc", -'C'}, {L"\u00E9", L"\u00C9a", -'A'},
  };
  for (const Row& row : rows)
    EXPECT_EQ(FoldCompare(row.a, row.b), row.expected) << Utf8(row.a) << " / " << Utf8(row.b);
  EXPECT_EQ(FoldCompareN(L"abcX", L"ABCY", 3), 0);
  EXPECT_EQ(FoldCompareN(L"ab", L"ab", 10), 0) << "stops at the common end";
}

TEST(CaseFoldTest, NameSortPutsUnderscoresFirst) {
  EXPECT_GT(FoldCompare(L"_x", L"ax"), 0) << "plain folding puts '_' after the letters";
  EXPECT_LT(NameSortCompare(L"_x", L"ax"), 0);
  EXPECT_GT(NameSortCompare(L"_", L""), 0) << "the end of a name still sorts first";
  std::vector<Westring> names = {L"beta", L"_tmp", L"Alpha", L"a_b", L"ab", L"1st", L"_"};
  std::sort(names.begin(), names.end(),
            [](const Westring& a, const Westring& b) { return NameSortCompare(a, b) < 0; });
  std::vector<std::string> sorted;
  for (const Westring& name : names) sorted.push_back(name.ToUtf8().c_str());
  EXPECT_EQ(sorted, (std::vector<std::string>{"_", "_tmp", "1st", "a_b", "ab", "Alpha", "beta"}));
}

}  // namespace
