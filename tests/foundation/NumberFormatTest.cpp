#include "foundation/NumberFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Plain(int64_t value, int width) {
  return FormatSize(value, width, DigitGrouping::None).c_str();
}
std::wstring Grouped(int64_t value, int width, wchar_t separator = L',') {
  return FormatSize(value, width, DigitGrouping::Thousands, separator).c_str();
}

}  // namespace

TEST(NumberFormatTest, PlainDigitsFillTheColumnThenKAndM) {
  EXPECT_EQ(Plain(0, 8), L"       0");
  EXPECT_EQ(Plain(99999999, 8), L"99999999");
  // 100000000 / 1024 = 97656.25: truncated, and seven digits would still fit.
  EXPECT_EQ(Plain(100000000, 8), L"  97656K");
  // The K form must fit one digit fewer than the column.
  EXPECT_EQ(Plain(10239999, 7), L"  9999K");
  EXPECT_EQ(Plain(1023999999, 7), L"999999K");
  EXPECT_EQ(Plain(1024000000, 7), L"   976M");
  EXPECT_EQ(Plain(9999, 4), L"9999");
  EXPECT_EQ(Plain(10000, 4), L"  9K");
}

TEST(NumberFormatTest, GroupedDigitsFitThreeQuartersOfTheColumn) {
  EXPECT_EQ(Grouped(999999, 8), L" 999,999");
  EXPECT_EQ(Grouped(1000000, 8), L"    976K");
  EXPECT_EQ(Grouped(999, 8), L"     999");
  EXPECT_EQ(Grouped(1000, 8), L"   1,000");
  EXPECT_EQ(Grouped(1234567, 12, L'.'), L"   1.234.567");
  // A field of 12 holds nine digits with their separators.
  EXPECT_EQ(Grouped(999999999, 12), L" 999,999,999");
  EXPECT_EQ(Grouped(1000000000, 12), L"    976,562K");
}

TEST(NumberFormatTest, AWidthThatIsNoMultipleOfFourGivesUpADigitForTheUnit) {
  // Width 10: eight digits fit without a unit (10 cells), seven with one.
  EXPECT_EQ(Grouped(99999999, 10), L"99,999,999");
  EXPECT_EQ(Grouped(100000000, 10), L"   97,656K");
  // 10240000000 / 1024 = 10000000 has eight digits: once more, to M.
  EXPECT_EQ(Grouped(10240000000LL, 10), L"    9,765M");
  // Each unit step divides by 1024 while the digits still do not fit.
  EXPECT_EQ(Grouped(int64_t{5} << 40, 4), L"  5T");
  EXPECT_EQ(Grouped(int64_t{3} << 30, 4), L"  3G");
}

TEST(NumberFormatTest, NegativeValuesAreBlankAndHugeOnesStayWhole) {
  EXPECT_EQ(Plain(-1, 6), L"      ");
  EXPECT_EQ(Grouped(-5, 6), L"      ");
  EXPECT_EQ(Plain(5, 0), L"");
  // T is the last unit: a value too large even then is longer than the column.
  EXPECT_EQ(Grouped(INT64_MAX, 4), L"8,388,607T");
  EXPECT_EQ(Plain(INT64_MAX, 19), L"9223372036854775807");
  EXPECT_EQ(Plain(INT64_MAX, 25), L"      9223372036854775807");
}

TEST(NumberFormatTest, TheShownFormFollowsTheSettings) {
  const bool grouping = g_groupThousands;
  const wchar_t separator = g_thousandsSeparator;
  g_groupThousands = false;
  EXPECT_EQ(std::wstring(FormatSizeAsShown(1234567, 12).c_str()), L"     1234567");
  g_groupThousands = true;
  g_thousandsSeparator = L' ';
  EXPECT_EQ(std::wstring(FormatSizeAsShown(1234567, 12).c_str()), L"   1 234 567");
  g_groupThousands = grouping;
  g_thousandsSeparator = separator;
}
