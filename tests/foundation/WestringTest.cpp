#include <gtest/gtest.h>

#include <string>

#include "foundation/Westring.h"

namespace {

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }

TEST(WestringTest, ShortTextsLiveInlineLongOnesGrowByAQuarter) {
  EXPECT_EQ(Westring().Capacity(), 21);
  EXPECT_EQ(Westring(L"abcdefghijklmnopqrst").Capacity(), 21) << "20 and the terminator fit inline";
  EXPECT_EQ(Westring(L"abcdefghijklmnopqrstu").Capacity(), 22) << "built to exactly its size";
  EXPECT_EQ(Westring::WithRoom(21).Capacity(), 22);
  EXPECT_TRUE(Westring(-1, L'x').IsEmpty());
  Westring s(L"abcdefghijklmnopqrst");
  s += L'u';
  EXPECT_EQ(s.Capacity(), 27) << "needs 21: 21 + 21/4 + 1";
  while (s.Length() < 27) s += L'.';
  EXPECT_EQ(s.Capacity(), 34) << "needs 27: 27 + 27/4 + 1";
  EXPECT_EQ(Utf8(s), "abcdefghijklmnopqrstu......");
  s += L'\0';
  EXPECT_EQ(s.Length(), 27) << "appending 0 changes nothing";
  s = L"short";
  EXPECT_EQ(s.Capacity(), 34) << "a buffer large enough is kept";
  s.MakeRoom(34);
  EXPECT_EQ(s.Capacity(), 35);
  EXPECT_TRUE(s.IsEmpty()) << "MakeRoom discards the text";
  Westring longer = Westring(15, L'x') + Westring(15, L'y');
  EXPECT_EQ(longer.Capacity(), 31) << "concatenation sizes the result once";
}

TEST(WestringTest, NullPointersGiveEmptyStrings) {
  const wchar_t* noWide = nullptr;
  const char* noNarrow = nullptr;
  EXPECT_TRUE(Westring(noNarrow).IsEmpty());
  Westring s(L"text");
  s += noWide;
  EXPECT_EQ(s, L"text");
  s = noNarrow;
  EXPECT_TRUE(s.IsEmpty());
  s.Assign(nullptr, 5);
  EXPECT_TRUE(s == noWide) << "null compares as the empty string";
}

TEST(WestringTest, MovesCopiesAndAliasing) {
  Westring source(40, L'a');
  const wchar_t* buffer = source.c_str();
  Westring moved(std::move(source));
  EXPECT_EQ(moved.c_str(), buffer);
  EXPECT_TRUE(source.IsEmpty());  // NOLINT: the moved-from state is specified
  EXPECT_EQ(source.Capacity(), 21);
  Westring copy(moved);
  copy[0] = L'b';
  EXPECT_EQ(moved[0], L'a');

  Westring s(L"abcdefghijklmnopqrst");
  s += s;
  EXPECT_EQ(Utf8(s), "abcdefghijklmnopqrstabcdefghijklmnopqrst");
  s.Append(s.c_str() + 38, 2);
  EXPECT_EQ(Utf8(s.Right(4)), "stst");
  s = s.c_str() + 30;  // assigning from its own buffer
  EXPECT_EQ(Utf8(s), "klmnopqrstst");
  Westring shortText(L"abc");
  EXPECT_EQ(&shortText[-1], &shortText[20]) << "an index outside gives the last slot";
  EXPECT_EQ(shortText[1000], 0);
}

TEST(WestringTest, Searches) {
  Westring s(L"a.b.c");
  EXPECT_EQ(s.FindLast(L'.'), 3);
  EXPECT_EQ(s.Find(0), -1);
  EXPECT_EQ(s.FindNth(L'.', 2), 3);
  EXPECT_EQ(s.FindNth(L'.', 3), -1);
  EXPECT_EQ(s.FindNth(L'.', 0), -1);
  Westring text(L"one two one");
  EXPECT_EQ(text.FindSubFrom(L"one", 1), 8);
  EXPECT_EQ(text.FindSubFrom(L"one", 50), -1);
  EXPECT_EQ(text.FindSubFrom(L"one", -3), 0);
  EXPECT_EQ(text.FindSubNoCase(L"TWO"), 4);
  struct Row {
    const wchar_t* text;
    wchar_t ch;
    int expected;
  } rows[] = {
      {L"a,b", L',', 1},   {L"\"a,b\",c", L',', 5}, {L"\"a,b,c", L',', -1},
      {L"\"\"x", L'x', 2}, {L"a\"b\"", L'"', -1},   {L"\"x\" \"y\" z", L'z', 8},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Westring(row.text).FindUnquoted(row.ch), row.expected) << "input: " << Utf8(row.text);
}

TEST(WestringTest, PartsFittingAndTrimmingClampTheirArguments) {
  Westring s(L"abcdef");
  struct Row {
    Westring actual;
    const char* expected;
  } rows[] = {
      {s.Left(-1), ""},          {s.Left(99), "abcdef"},    {s.Right(2), "ef"},
      {s.Right(-1), ""},         {s.Mid(2, 2), "cd"},       {s.Mid(2, 0), "cdef"},
      {s.Mid(4, 10), "ef"},      {s.Mid(10, 2), ""},        {s.Mid(-3, 2), "ab"},
      {s.AllButLast(99), ""},    {s.AllButLast(-1), "abcdef"}, {s.FitRight(3, L'.'), "def"},
      {s.FitLeft(3, L'.'), "abc"}, {Westring(L"ab").FitRight(4, L'.'), "..ab"},
      {Westring(L"ab").FitLeft(4, L'.'), "ab.."}, {s.FitLeft(0, L'.'), ""},
      {Westring(L" \t a b \n ").TrimLeft(), "a b \n "}, {Westring(L" \t a b \n ").Trim(), "a b"},
      {Westring(L"   ").Trim(), ""},
  };
  int i = 0;
  for (const Row& row : rows) EXPECT_EQ(Utf8(row.actual), row.expected) << "row " << i++;
  EXPECT_EQ(Westring(L"x").FitLeft(30, L'-').Length(), 30);
}

TEST(WestringTest, ReplaceFirstAndAll) {
  Westring s(L"a-b-c");
  EXPECT_TRUE(s.Replace(L"-", L"+"));
  EXPECT_EQ(s, L"a+b-c");
  EXPECT_FALSE(s.Replace(L"x", L"y"));
  Westring t(L"a.b.c");
  EXPECT_TRUE(t.ReplaceAll(L".", L".."));
  EXPECT_EQ(t, L"a..b..c") << "inserted text is not searched again";
  EXPECT_TRUE(t.ReplaceAll(L"..", L""));
  EXPECT_EQ(t, L"abc");
  EXPECT_FALSE(t.ReplaceAll(L"", L"y"));
  Westring u(L"aaaa");
  EXPECT_TRUE(u.ReplaceAll(L"aa", L"b"));
  EXPECT_EQ(u, L"bb");
}

// Estring shares the trailing-slash, part and fitting code, so it is checked here once.
TEST(WestringTest, PathPartsAndTrailingSlashes) {
  struct Row {
    const wchar_t* path;
    int separator;
    const char *dir, *name, *removed, *added;
  } rows[] = {
      {L"/usr/bin", 4, "/usr", "bin", "/usr/bin", "/usr/bin/"},
      {L"C:\\x", 2, "C:\\", "x", "C:\\x", "C:\\x/"},
      {L"name", -1, "", "name", "name", "name/"},
      {L"/", 0, "", "", "", "/"},
      {L"a\\b/c", 3, "a\\b", "c", "a\\b/c", "a\\b/c/"},
      {L"/a/", 2, "/a", "", "/a", "/a/"},
      {L"a//", 2, "a/", "", "a//", "a//"},
      {L"", -1, "", "", "", ""},
      {L"a\\", 1, "a", "", "a\\", "a\\/"},  // only / counts as a trailing slash
  };
  for (const Row& row : rows) {
    Westring path(row.path);
    EXPECT_EQ(path.LastSeparator(), row.separator) << "input: " << Utf8(path);
    EXPECT_EQ(Utf8(path.DirPart()), row.dir) << "input: " << Utf8(path);
    EXPECT_EQ(Utf8(path.NamePart()), row.name) << "input: " << Utf8(path);
    EXPECT_EQ(Utf8(Westring(path).RemoveTrailingSlash()), row.removed) << "input: " << Utf8(path);
    EXPECT_EQ(Utf8(Westring(path).AddTrailingSlash()), row.added) << "input: " << Utf8(path);
  }
}

TEST(WestringTest, ComparisonsCaseAndLatin1) {
  Westring abc(L"abc");
  EXPECT_TRUE(abc != L"ABC");
  EXPECT_TRUE(abc.EqualsNoCase(L"ABC"));
  EXPECT_FALSE(abc.EqualsNoCase(L"ABCD"));
  EXPECT_TRUE(Westring(L"ab") < abc);
  EXPECT_EQ(abc.ComparePrefix(L"abX", 2), 0);
  EXPECT_NE(abc.ComparePrefix(L"abX", 3), 0);
  EXPECT_FALSE(abc.StartsWith(L"abcd"));
  EXPECT_EQ(Westring(L"MiXeD 1").Lower(), L"mixed 1");
  Westring wide = Westring::FromLatin1(Estring("\xE9t\xFF"));
  ASSERT_EQ(wide.Length(), 3);
  EXPECT_EQ(wide[0], 0xE9);
  EXPECT_EQ(wide[2], 0xFF);
  EXPECT_TRUE(Estring::FromLowBytes(Westring(L"\u0141B")).Equals("AB"))
      << "U+0141 keeps its low byte 0x41";
}

}  // namespace
