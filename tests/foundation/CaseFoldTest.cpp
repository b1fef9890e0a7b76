#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/CaseFold.h"
#include "foundation/Westring.h"

namespace {

// The generated pairs, read the same way the table builder reads them.
const uint16_t GeneratedPairs[][2] = {
#include "foundation/CaseFoldData.inc"
};
constexpr int GeneratedPairCount = sizeof GeneratedPairs / sizeof GeneratedPairs[0];

TEST(CaseFoldTest, TableHoldsExactlyTheGeneratedPairs) {
  EXPECT_EQ(CaseFoldPairCount(), VK_CASE_FOLD_PAIR_COUNT);
  EXPECT_EQ(GeneratedPairCount, VK_CASE_FOLD_PAIR_COUNT);

  const uint16_t* table = CaseFoldTable();
  for (const auto& pair : GeneratedPairs)
    EXPECT_EQ(table[pair[0]], pair[1]) << std::hex << "U+" << pair[0];
  // Every other entry maps to itself, so no pair was lost or overwritten.
  int changed = 0;
  for (int i = 0; i < 65536; ++i) changed += table[i] != i;
  EXPECT_EQ(changed, VK_CASE_FOLD_PAIR_COUNT);
  EXPECT_EQ(CaseFoldTable(), table) << "built once";
}

TEST(CaseFoldTest, KnownFolds) {
  struct Row {
    uint32_t from;
    uint32_t to;
  } rows[] = {
      {'a', 'A'},
      {'z', 'Z'},
      {'A', 'A'},
      {'1', '1'},
      {'_', '_'},
      {0xE9, 0xC9},
      {0xFF, 0x178},
      {0xB5, 0x39C},
      {0xF7, 0xF7},
      {0x3B1, 0x391},
      {0x3C2, 0x3A3},
      {0x44F, 0x42F},
      {0x451, 0x401},
      {0x561, 0x531},
      {0x2C30, 0x2C00},
      {0x1E01, 0x1E00},
      {0x24D0, 0x24B6},
      {0x24E9, 0x24CF},
      {0xFF41, 0xFF21},
      {0xFF5A, 0xFF3A},
      {0x2170, 0x2170},
      {0xAB70, 0xAB70},
      {0x10428, 0x10428},
      {0x1F600, 0x1F600},
      {0xFFFFFFFF, 0xFFFFFFFF},
  };
  for (const Row& row : rows)
    EXPECT_EQ(static_cast<uint32_t>(FoldChar(static_cast<wchar_t>(row.from))), row.to)
        << std::hex << "U+" << row.from;

  Westring text(L"\u00E9t\u00E9 \u044F ok \U00010428");
  text.FoldUpper();
  EXPECT_EQ(text, L"\u00C9T\u00C9 \u042F OK \U00010428");
}

TEST(CaseFoldTest, FoldCompareGivesTheDifferenceOfFoldedCharacters) {
  struct Row {
    const wchar_t* a;
    const wchar_t* b;
    int expected;
  } rows[] = {
      {L"abc", L"ABD", 'C' - 'D'},   {L"abc", L"ABC", 0},     {L"ab", L"abc", -'C'},
      {L"abc", L"ab", 'C'},          {L"", L"", 0},           {L"\u044F\u0431", L"\u042F\u0411", 0},
      {L"\u00E9", L"\u00C9a", -'A'}, {L"_", L"a", '_' - 'A'},
  };
  for (const Row& row : rows) {
    std::string label =
        Westring(row.a).ToUtf8().c_str() + std::string(" / ") + Westring(row.b).ToUtf8().c_str();
    EXPECT_EQ(FoldCompare(row.a, row.b), row.expected) << label;
  }
  EXPECT_LT(FoldCompare(Westring(L"abc"), Westring(L"ABD")), 0);
  EXPECT_EQ(FoldCompareN(L"abcX", L"ABCY", 3), 0);
  EXPECT_LT(FoldCompareN(L"abcX", L"ABCY", 4), 0);
  EXPECT_EQ(FoldCompareN(L"x", L"y", 0), 0);
  EXPECT_EQ(FoldCompareN(L"ab", L"ab", 10), 0) << "stops at the common end";
}

TEST(CaseFoldTest, NameSortPutsUnderscoresFirst) {
  EXPECT_LT(NameSortCompare(L"_x", L"ax"), 0);
  EXPECT_GT(FoldCompare(L"_x", L"ax"), 0) << "plain folding puts '_' after the letters";
  EXPECT_LT(NameSortCompare(L"a_", L"aB"), 0);
  EXPECT_GT(NameSortCompare(L"ab", L"a_"), 0);
  EXPECT_EQ(NameSortCompare(L"__", L"__"), 0);
  EXPECT_EQ(NameSortCompare(L"Read", L"rEAD"), 0);
  EXPECT_GT(NameSortCompare(L"_", L""), 0) << "the end of a name still sorts first";
  EXPECT_LT(NameSortCompare(L"_", L"0"), 0);

  std::vector<Westring> names = {L"beta", L"_tmp", L"Alpha", L"a_b", L"ab", L"1st", L"_"};
  std::sort(names.begin(), names.end(),
            [](const Westring& a, const Westring& b) { return NameSortCompare(a, b) < 0; });
  std::vector<std::string> sorted;
  for (const Westring& name : names) sorted.push_back(name.ToUtf8().c_str());
  EXPECT_EQ(sorted, (std::vector<std::string>{"_", "_tmp", "1st", "a_b", "ab", "Alpha", "beta"}));
}

TEST(CaseFoldTest, NarrowTablesFollowTheLocale) {
  BuildNarrowFoldTables();
  EXPECT_TRUE(NarrowFoldTablesBuilt());
  EXPECT_EQ(NarrowUpper('a'), 'A');
  EXPECT_EQ(NarrowUpper('Z'), 'Z');
  EXPECT_EQ(NarrowLower('Q'), 'q');
  EXPECT_EQ(NarrowUpper(0xE9), 0xE9) << "the C locale leaves bytes above 127";
  EXPECT_EQ(NarrowUpper('_'), '_');

  EXPECT_EQ(NarrowFoldCompare("Makefile", "MAKEFILE"), 0);
  EXPECT_EQ(NarrowFoldCompare("abc", "abd"), 'C' - 'D');
  EXPECT_EQ(NarrowFoldCompare("ab", "abc"), -'C');
  EXPECT_EQ(NarrowFoldCompare("a\xE9", "A\xC9"), 0xE9 - 0xC9);
  EXPECT_EQ(NarrowFoldCompareN("abcX", "ABCY", 3), 0);
  EXPECT_LT(NarrowFoldCompareN("abcX", "ABCY", 4), 0);
  EXPECT_EQ(NarrowFoldCompareN("a", "b", 0), 0);
  EXPECT_EQ(NarrowFoldCompareN("ab", "AB", 99), 0);
}

}  // namespace
