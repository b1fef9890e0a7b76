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
  EXPECT_EQ(Estring::WithRoom(20).Capacity(), 21);
  EXPECT_EQ(Estring::WithRoom(21).Capacity(), 22);

  Estring s("abcdefghijklmnopqrst");
  s += 'u';
  EXPECT_EQ(s.Capacity(), 27) << "needs 21: 21 + 21/4 + 1";
  s += "vwxyz!";
  EXPECT_EQ(s.Capacity(), 34) << "needs 27: 27 + 27/4 + 1";
  EXPECT_EQ(Str(s), "abcdefghijklmnopqrstuvwxyz!");

  s = "short";
  EXPECT_EQ(s.Capacity(), 34) << "assignment keeps a buffer that is large enough";
  Estring forty(40, 'z');
  s = forty;
  EXPECT_EQ(s.Capacity(), 41) << "and replaces a small one by exactly the size needed";
  s.MakeRoom(40);
  EXPECT_EQ(s.Capacity(), 41);
  s.MakeRoom(41);
  EXPECT_EQ(s.Capacity(), 42);
}

TEST(EstringTest, NullAndNegativeInputsGiveEmptyStrings) {
  const char* none = nullptr;
  EXPECT_TRUE(Estring(none).IsEmpty());
  EXPECT_TRUE(Estring(-3, 'x').IsEmpty());
  EXPECT_TRUE(Estring(0, 'x').IsEmpty());
  EXPECT_EQ(Str(Estring(3, 'x')), "xxx");
  Estring s("keep");
  s += none;
  EXPECT_EQ(Str(s), "keep");
  s += '\0';
  EXPECT_EQ(s.Length(), 4);
  s = none;
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(Estring("").EqualsNoCase(nullptr));
}

TEST(EstringTest, MovesCopiesAndAliasing) {
  Estring big(30, 'q');
  const char* buffer = big.c_str();
  Estring moved(std::move(big));
  EXPECT_EQ(moved.c_str(), buffer);
  EXPECT_TRUE(big.IsEmpty());  // NOLINT: the moved-from state is specified

  Estring copy(moved);
  copy[0] = 'Q';
  EXPECT_EQ(moved[0], 'q');

  Estring self("0123456789abcdefghij");
  self += self;
  EXPECT_EQ(Str(self), "0123456789abcdefghij0123456789abcdefghij");
  self = self.c_str() + 36;
  EXPECT_EQ(Str(self), "ghij");
  EXPECT_EQ(&self[500], &self[self.Capacity() - 1]) << "index clamped into the buffer";
}

TEST(EstringTest, SearchesAndParts) {
  Estring s("a/b/c");
  EXPECT_EQ(s.Find('/'), 1);
  EXPECT_EQ(s.FindLast('/'), 3);
  EXPECT_EQ(s.Find('\0'), -1);
  EXPECT_EQ(s.FindLast('\0'), -1);
  EXPECT_EQ(s.Find('x'), -1);
  EXPECT_EQ(s.FindSub("b/"), 2);
  EXPECT_EQ(s.FindSub("/", 2), 3);
  EXPECT_EQ(s.FindSub("/", 9), -1);
  EXPECT_EQ(s.FindSub("", 5), 5);

  Estring t("abcdef");
  EXPECT_EQ(Str(t.Left(2)), "ab");
  EXPECT_EQ(Str(t.Left(-2)), "");
  EXPECT_EQ(Str(t.Right(9)), "abcdef");
  EXPECT_EQ(Str(t.Mid(3)), "def");
  EXPECT_EQ(Str(t.Mid(3, 1)), "d");
  EXPECT_EQ(Str(t.Mid(5, 9)), "f");
  EXPECT_EQ(Str(t.Mid(7, 1)), "");
  EXPECT_EQ(Str(t.AllButLast(1)), "abcde");
  EXPECT_EQ(Str(t.AllButLast(7)), "");
}

TEST(EstringTest, FittingAndTrimming) {
  Estring s("abcdef");
  EXPECT_EQ(Str(s.FitRight(3, '.')), "def");
  EXPECT_EQ(Str(s.FitLeft(3, '.')), "abc");
  EXPECT_EQ(Str(Estring("ab").FitRight(4, '.')), "..ab");
  EXPECT_EQ(Str(Estring("ab").FitLeft(4, '.')), "ab..");
  EXPECT_EQ(Str(s.FitRight(-1)), "");
  EXPECT_EQ(Estring("x").FitRight(25).Length(), 25);

  EXPECT_EQ(Str(Estring("\t a \r\n").TrimLeft()), "a \r\n");
  EXPECT_EQ(Str(Estring("\t a \r\n").TrimRight()), "\t a");
  EXPECT_EQ(Str(Estring("\t a \r\n").Trim()), "a");
  EXPECT_EQ(Str(Estring(" \v\f ").Trim()), "");
}

TEST(EstringTest, ComparisonOperatorsIgnoreCase) {
  Estring key("Viewer");
  EXPECT_TRUE(key == "VIEWER");
  EXPECT_FALSE(key != "viewer");
  EXPECT_FALSE(key.Equals("viewer"));
  EXPECT_TRUE(key.Equals("Viewer"));
  EXPECT_TRUE(key < "viewers");
  EXPECT_TRUE(key <= "VIEWER");
  EXPECT_TRUE(key > "VIEW");
  EXPECT_TRUE(key >= "viewer");
  EXPECT_TRUE(Estring("a") < Estring("B")) << "'a' sorts before 'B' when case is ignored";
  EXPECT_TRUE(Estring("b") > Estring("A"));
}

TEST(EstringTest, TrailingSlashes) {
  struct Row {
    const char* path;
    const char* removed;
    const char* added;
  } rows[] = {
      {"/a/b/", "/a/b", "/a/b/"}, {"/", "", "/"}, {"//", "//", "//"},
      {"x//", "x//", "x//"},      {"", "", ""},   {"ab/", "ab", "ab/"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Str(Estring(row.path).RemoveTrailingSlash()), row.removed) << row.path;
    EXPECT_EQ(Str(Estring(row.path).AddTrailingSlash()), row.added) << row.path;
  }
}

TEST(EstringTest, Concatenation) {
  EXPECT_EQ(Str(Estring("ab") + Estring("cd")), "abcd");
  EXPECT_EQ(Str(Estring("ab") + "cd"), "abcd");
  EXPECT_EQ(Str("ab" + Estring("cd")), "abcd");
  EXPECT_EQ(Str(Estring("ab") + static_cast<const char*>(nullptr)), "ab");
}

TEST(EstringTest, NumbersInBases) {
  struct Row {
    int64_t value;
    int base;
    const char* text;
  } rows[] = {
      {0, 10, "0"},
      {255, 16, "FF"},
      {-255, 2, "-11111111"},
      {35, 36, "Z"},
      {36, 36, "10"},
      {1234567890123LL, 10, "1234567890123"},
      {INT64_MIN, 10, "-9223372036854775808"},
      {INT64_MAX, 16, "7FFFFFFFFFFFFFFF"},
      {-1, 16, "-1"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Str(Estring::FromInt64(row.value, row.base)), row.text)
        << row.value << " base " << row.base;
  EXPECT_EQ(Str(Estring::FromInt(-42)), "-42");
  EXPECT_EQ(Str(Estring::FromInt(2147483647L)), "2147483647");
}

TEST(EstringTest, FormatCutsAt1023Bytes) {
  EXPECT_EQ(Str(Estring::Format("%s=%d", "x", 5)), "x=5");
  std::string longText(2000, 'w');
  Estring formatted = Estring::Format("<%s>", longText.c_str());
  EXPECT_EQ(formatted.Length(), 1023);
  EXPECT_EQ(formatted[0], '<');
  EXPECT_EQ(formatted[1022], 'w');
  std::string exact(1022, 'e');
  EXPECT_EQ(Estring::Format("%s!", exact.c_str()).Length(), 1023) << "1023 bytes fit whole";
}

TEST(EstringTest, ExpandTabsStopsOneShortOfTheTabStop) {
  struct Row {
    const char* text;
    int width;
    const char* expanded;
  } rows[] = {
      {"\tx", 4, "   x"},         {"a\tb", 4, "a  b"},     {"abc\td", 4, "abcd"},
      {"abcd\te", 4, "abcd   e"}, {"\t\t", 4, "   "},  // the second tab sits at column 3: no spaces
      {"a\tb", 1, "ab"},          {"a\tb", 8, "a      b"}, {"no tabs", 4, "no tabs"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Str(Estring(row.text).ExpandTabs(row.width)), row.expanded)
        << '"' << row.text << "\" width " << row.width;
}

TEST(EstringTest, ErrorTextHasNoTrailingSpace) {
  EXPECT_EQ(Str(Estring::ErrorText(ENOENT)), "No such file or directory");
  Estring unknown = Estring::ErrorText(99999);
  EXPECT_FALSE(unknown.IsEmpty());
  EXPECT_FALSE(isspace(static_cast<unsigned char>(unknown[unknown.Length() - 1])));
}

}  // namespace
