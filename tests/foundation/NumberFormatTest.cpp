#include "foundation/NumberFormat.h"

#include <gtest/gtest.h>

#include <string>

// Plain digits fill the column, then K, M, G, T, each step dividing by 1024
// (truncating) while the digits do not fit; grouped digits fit three
// quarters of the column, and a width that is no multiple of four gives up
// a digit for the unit. Negative values are blank, T is the last unit.
TEST(NumberFormatTest, SizesInAColumn) {
  struct Row {
    int64_t value;
    int width;
    wchar_t separator;  // 0: no grouping
    const wchar_t* text;
  } rows[] = {
      {99999999, 8, 0, L"99999999"},
      {100000000, 8, 0, L"  97656K"},
      {10239999, 7, 0, L"  9999K"},  // the K form fits one digit fewer than the column
      {10000, 4, 0, L"  9K"},
      {1000000, 8, L',', L"    976K"},
      {1234567, 12, L'.', L"   1.234.567"},
      {99999999, 10, L',', L"99,999,999"},
      {100000000, 10, L',', L"   97,656K"},
      {10240000000LL, 10, L',', L"    9,765M"},
      {int64_t{5} << 40, 4, L',', L"  5T"},
      {-5, 6, L',', L"      "},
      {INT64_MAX, 4, L',', L"8,388,607T"},
  };
  for (const Row& row : rows) {
    const std::wstring text =
        row.separator ? FormatSize(row.value, row.width, DigitGrouping::Thousands, row.separator).c_str()
                      : FormatSize(row.value, row.width, DigitGrouping::None).c_str();
    EXPECT_EQ(text, row.text) << "input: " << row.value << " width " << row.width
                              << (row.separator ? " grouped" : "");
  }
}
