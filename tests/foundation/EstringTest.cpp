#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>

#include "foundation/Estring.h"

namespace {

std::string Str(const Estring& text) { return text.c_str(); }

TEST(EstringTest, StorageFollowsTheGrowthRules) {
  EXPECT_EQ(Estring().Capacity(), 21);
  EXPECT_EQ(Estring("abcdefghijklmnopqrst").Capacity(), 21);
  EXPECT_EQ(Estring("abcdefghijklmnopqrstu").Capacity(), 22);
  EXPECT_EQ(Estring::WithRoom(21).Capacity(), 22);
  Estring s("abcdefghijklmnopqrst");
  s += 'u';
  EXPECT_EQ(s.Capacity(), 27) << "needs 21: 21 + 21/4 + 1";
  s += "vwxyz!";
  EXPECT_EQ(s.Capacity(), 34) << "needs 27: 27 + 27/4 + 1";
  EXPECT_EQ(Str(s), "abcdefghijklmnopqrstuvwxyz!");
  s = "short";
  EXPECT_EQ(s.Capacity(), 34) << "assignment keeps a buffer that is large enough";
  s = Estring(40, 'z');
  EXPECT_EQ(s.Capacity(), 41) << "and replaces a small one by exactly the size needed";
  s.MakeRoom(41);
  EXPECT_EQ(s.Capacity(), 42);
}

TEST(EstringTest, NullNegativeAndZeroInputs) {
  const char* none = nullptr;
  EXPECT_TRUE(Estring(none).IsEmpty());
  EXPECT_TRUE(Estring(-3, 'x').IsEmpty());
  Estring s("keep");
  s += none;
  s += '\0';
  EXPECT_EQ(Str(s), "keep");
  EXPECT_EQ(Str(s + none), "keep");
  s = none;
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(Estring("").EqualsNoCase(nullptr));
}

// Parts, fitting and trailing slashes are the storage code WestringTest checks.
TEST(EstringTest, SearchesAndTrimming) {
  Estring s("a/b/c");
  EXPECT_EQ(s.FindLast('/'), 3);
  EXPECT_EQ(s.Find('\0'), -1);
  EXPECT_EQ(s.FindSub("/", 2), 3);
  EXPECT_EQ(s.FindSub("/", 9), -1);
  EXPECT_EQ(s.FindSub("", 5), 5);
  EXPECT_EQ(Str(Estring("\t a \r\n").TrimLeft()), "a \r\n");
  EXPECT_EQ(Str(Estring("\t a \r\n").TrimRight()), "\t a");
  EXPECT_EQ(Str(Estring(" \v\f ").Trim()), "");
}

TEST(EstringTest, OperatorsIgnoreCaseAndEqualsDoesNot) {
  Estring key("Viewer");
  EXPECT_TRUE(key == "VIEWER");
  EXPECT_FALSE(key.Equals("viewer"));
  EXPECT_TRUE(key < "viewers");
  EXPECT_TRUE(key > "VIEW");
  EXPECT_TRUE(Estring("a") < Estring("B")) << "'a' sorts before 'B' when case is ignored";
}

TEST(EstringTest, NumbersInBases) {
  struct Row {
    int64_t value;
    int base;
    const char* text;
  } rows[] = {
      {0, 10, "0"},          {255, 16, "FF"},
      {-255, 2, "-11111111"}, {35, 36, "Z"},
      {INT64_MIN, 10, "-9223372036854775808"}, {INT64_MAX, 16, "7FFFFFFFFFFFFFFF"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Str(Estring::FromInt64(row.value, row.base)), row.text)
        << "input: " << row.value << " base " << row.base;
  EXPECT_EQ(Str(Estring::FromInt(-42)), "-42");
}

TEST(EstringTest, FormatCutsAt1023Bytes) {
  EXPECT_EQ(Str(Estring::Format("%s=%d", "x", 5)), "x=5");
  Estring formatted = Estring::Format("<%s>", std::string(2000, 'w').c_str());
  EXPECT_EQ(formatted.Length(), 1023);
  EXPECT_EQ(formatted[1022], 'w');
  EXPECT_EQ(Estring::Format("%s!", std::string(1022, 'e').c_str()).Length(), 1023)
      << "1023 bytes fit whole";
}

TEST(EstringTest, ExpandTabsStopsOneShortOfTheTabStop) {
  struct Row {
    const char* text;
    int width;
    const char* expanded;
  } rows[] = {
      {"\tx", 4, "   x"},   {"abc\td", 4, "abcd"}, {"abcd\te", 4, "abcd   e"},
      {"\t\t", 4, "   "},  // the second tab sits at column 3: no spaces
      {"a\tb", 1, "ab"},    {"a\tb", 8, "a      b"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Str(Estring(row.text).ExpandTabs(row.width)), row.expanded)
        << "input: \"" << row.text << "\" width " << row.width;
}

TEST(EstringTest, ErrorTextHasNoTrailingSpace) {
  EXPECT_EQ(Str(Estring::ErrorText(ENOENT)), "No such file or directory");
  Estring unknown = Estring::ErrorText(99999);
  ASSERT_FALSE(unknown.IsEmpty());
  EXPECT_FALSE(isspace(static_cast<unsigned char>(unknown[unknown.Length() - 1])));
}

}  // namespace
