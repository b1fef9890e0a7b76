#include <gtest/gtest.h>

#include <string>

#include "foundation/Westring.h"

namespace {

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }

TEST(WestringTest, ShortTextsLiveInlineAndLongOnesGetExactlyTheirSize) {
  Westring empty;
  EXPECT_EQ(empty.Capacity(), 21);
  EXPECT_TRUE(empty.IsEmpty());

  Westring twenty(L"abcdefghijklmnopqrst");
  EXPECT_EQ(twenty.Length(), 20);
  EXPECT_EQ(twenty.Capacity(), 21) << "20 characters and the terminator fit inline";

  Westring twentyOne(L"abcdefghijklmnopqrstu");
  EXPECT_EQ(twentyOne.Capacity(), 22);
  EXPECT_EQ(Westring(twentyOne).Capacity(), 22) << "a copy is sized to its text";

  EXPECT_EQ(Westring::WithRoom(20).Capacity(), 21);
  EXPECT_EQ(Westring::WithRoom(21).Capacity(), 22);
  EXPECT_EQ(Westring(30, L'x').Capacity(), 31);
  EXPECT_EQ(Westring(30, L'x'), Westring(L"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"));
  EXPECT_TRUE(Westring(-1, L'x').IsEmpty());
}

TEST(WestringTest, AppendingGrowsByAQuarterAndKeepsTheText) {
  Westring s(L"abcdefghijklmnopqrst");
  s += L'u';
  EXPECT_EQ(s.Capacity(), 27) << "needs 21: 21 + 21/4 + 1";
  EXPECT_EQ(s, L"abcdefghijklmnopqrstu");
  while (s.Length() < 26) s += L'.';
  EXPECT_EQ(s.Capacity(), 27) << "26 characters still fit";
  s += L'!';
  EXPECT_EQ(s.Capacity(), 34) << "needs 27: 27 + 27/4 + 1";
  EXPECT_EQ(Utf8(s), "abcdefghijklmnopqrstu.....!");

  s += L'\0';
  EXPECT_EQ(s.Length(), 27) << "appending 0 changes nothing";
}

TEST(WestringTest, AssignmentReallocatesOnlyWhenTooSmall) {
  Westring s;
  s = L"0123456789012345678901234";  // 25
  EXPECT_EQ(s.Capacity(), 26);
  s = L"short";
  EXPECT_EQ(s.Capacity(), 26) << "a buffer large enough is kept";
  EXPECT_EQ(s, L"short");
  s = L"01234567890123456789012345";  // 26 does not fit a capacity of 26
  EXPECT_EQ(s.Capacity(), 27);

  s.MakeRoom(26);
  EXPECT_EQ(s.Capacity(), 27);
  EXPECT_TRUE(s.IsEmpty()) << "MakeRoom discards the text";
  s.MakeRoom(27);
  EXPECT_EQ(s.Capacity(), 28);
}

TEST(WestringTest, NullPointersGiveEmptyStrings) {
  const wchar_t* noWide = nullptr;
  const char* noNarrow = nullptr;
  EXPECT_TRUE(Westring(noWide).IsEmpty());
  EXPECT_TRUE(Westring(noNarrow).IsEmpty());
  Westring s(L"text");
  s = noWide;
  EXPECT_TRUE(s.IsEmpty());
  s = L"text";
  s = noNarrow;
  EXPECT_TRUE(s.IsEmpty());
  s = L"text";
  s += noWide;
  EXPECT_EQ(s, L"text");
  s.Assign(nullptr, 5);
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(s == noWide) << "null compares as the empty string";
}

TEST(WestringTest, MovesTakeTheHeapBufferAndCopiesAreDeep) {
  Westring source(40, L'a');
  const wchar_t* buffer = source.c_str();
  Westring moved(std::move(source));
  EXPECT_EQ(moved.c_str(), buffer);
  EXPECT_TRUE(source.IsEmpty());  // NOLINT: the moved-from state is specified
  EXPECT_EQ(source.Capacity(), 21);

  Westring target(L"old");
  target = std::move(moved);
  EXPECT_EQ(target.c_str(), buffer);
  EXPECT_EQ(target.Length(), 40);

  Westring inlineSource(L"short");
  Westring inlineTarget(std::move(inlineSource));
  EXPECT_EQ(inlineTarget, L"short");
  EXPECT_TRUE(inlineSource.IsEmpty());  // NOLINT

  Westring copy(target);
  copy[0] = L'b';
  EXPECT_EQ(target[0], L'a');
  EXPECT_NE(copy.c_str(), target.c_str());
}

TEST(WestringTest, AppendingFromItselfSurvivesGrowth) {
  Westring s(L"abcdefghijklmnopqrst");
  s += s;
  EXPECT_EQ(Utf8(s), "abcdefghijklmnopqrstabcdefghijklmnopqrst");
  s.Append(s.c_str() + 38, 2);
  EXPECT_EQ(Utf8(s.Right(4)), "stst");
  s = s.c_str() + 30;  // assigning from its own buffer
  EXPECT_EQ(Utf8(s), "klmnopqrstst");
}

TEST(WestringTest, IndexOutsideTheBufferGivesTheLastSlot) {
  Westring s(L"abc");
  EXPECT_EQ(s[1], L'b');
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(&s[21], &s[20]);
  EXPECT_EQ(&s[-1], &s[20]);
  EXPECT_EQ(s[1000], 0) << "the last inline slot is still zero";
}

TEST(WestringTest, Searches) {
  Westring s(L"a.b.c");
  EXPECT_EQ(s.Find(L'.'), 1);
  EXPECT_EQ(s.FindLast(L'.'), 3);
  EXPECT_EQ(s.Find(L'x'), -1);
  EXPECT_EQ(s.Find(0), -1);
  EXPECT_EQ(s.FindLast(0), -1);
  EXPECT_EQ(s.FindNth(L'.', 1), 1);
  EXPECT_EQ(s.FindNth(L'.', 2), 3);
  EXPECT_EQ(s.FindNth(L'.', 3), -1);
  EXPECT_EQ(s.FindNth(L'.', 0), -1);

  Westring text(L"one two one");
  EXPECT_EQ(text.FindSub(L"one"), 0);
  EXPECT_EQ(text.FindSubFrom(L"one", 1), 8);
  EXPECT_EQ(text.FindSubFrom(L"one", 9), -1);
  EXPECT_EQ(text.FindSubFrom(L"one", 50), -1);
  EXPECT_EQ(text.FindSubFrom(L"one", -3), 0);
  EXPECT_EQ(text.FindSub(L"three"), -1);
  EXPECT_EQ(text.FindSubNoCase(L"TWO"), 4);
  EXPECT_EQ(Westring(L"ONE Two").FindSubNoCase(L"two"), 4);
}

TEST(WestringTest, FindUnquotedSkipsQuotedStretches) {
  struct Row {
    const wchar_t* text;
    wchar_t ch;
    int expected;
  } rows[] = {
      {L"a,b", L',', 1},   {L"\"a,b\",c", L',', 5}, {L"\"a,b,c", L',', -1},
      {L"\"\"x", L'x', 2}, {L"a\"b\"", L'"', -1},   {L"\"x\" \"y\" z", L'z', 8},
      {L"", L',', -1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Westring(row.text).FindUnquoted(row.ch), row.expected) << Utf8(row.text);
}

TEST(WestringTest, PartsClampTheirArguments) {
  Westring s(L"abcdef");
  struct Row {
    Westring actual;
    const char* expected;
  } rows[] = {
      {s.Left(2), "ab"},         {s.Left(-1), ""},       {s.Left(99), "abcdef"},
      {s.Right(2), "ef"},        {s.Right(-1), ""},      {s.Right(99), "abcdef"},
      {s.Mid(2, 2), "cd"},       {s.Mid(2), "cdef"},     {s.Mid(2, 0), "cdef"},
      {s.Mid(4, 10), "ef"},      {s.Mid(10, 2), ""},     {s.Mid(-3, 2), "ab"},
      {s.AllButLast(2), "abcd"}, {s.AllButLast(99), ""}, {s.AllButLast(-1), "abcdef"},
  };
  int i = 0;
  for (const Row& row : rows) EXPECT_EQ(Utf8(row.actual), row.expected) << "row " << i++;
}

TEST(WestringTest, FittingToAWidth) {
  Westring s(L"abcdef");
  EXPECT_EQ(s.FitRight(3, L'.'), L"def");
  EXPECT_EQ(s.FitLeft(3, L'.'), L"abc");
  EXPECT_EQ(Westring(L"ab").FitRight(4, L'.'), L"..ab");
  EXPECT_EQ(Westring(L"ab").FitLeft(4, L'.'), L"ab..");
  EXPECT_EQ(s.FitRight(6, L'.'), L"abcdef");
  EXPECT_EQ(s.FitLeft(0, L'.'), L"");
  EXPECT_EQ(Westring().FitLeft(2), L"  ");
  Westring wide = Westring(L"x").FitLeft(30, L'-');
  EXPECT_EQ(wide.Length(), 30);
  EXPECT_EQ(wide[29], L'-');
}

TEST(WestringTest, Trimming) {
  Westring s(L" \t a b \n ");
  EXPECT_EQ(Westring(s).TrimLeft(), L"a b \n ");
  EXPECT_EQ(Westring(s).TrimRight(), L" \t a b");
  EXPECT_EQ(Westring(s).Trim(), L"a b");
  EXPECT_EQ(Westring(L"   ").Trim(), L"");
  EXPECT_EQ(Westring(L"x").Trim(), L"x");
}

TEST(WestringTest, ReplaceFirstAndAll) {
  Westring s(L"a-b-c");
  EXPECT_TRUE(s.Replace(L"-", L"+"));
  EXPECT_EQ(s, L"a+b-c");
  EXPECT_FALSE(s.Replace(L"x", L"y"));
  EXPECT_EQ(s, L"a+b-c");

  Westring t(L"a.b.c");
  EXPECT_TRUE(t.ReplaceAll(L".", L".."));
  EXPECT_EQ(t, L"a..b..c") << "inserted text is not searched again";
  EXPECT_TRUE(t.ReplaceAll(L"..", L""));
  EXPECT_EQ(t, L"abc");
  EXPECT_FALSE(t.ReplaceAll(L"x", L"y"));
  EXPECT_FALSE(t.ReplaceAll(L"", L"y"));
  EXPECT_EQ(t, L"abc");

  Westring u(L"aaaa");
  EXPECT_TRUE(u.ReplaceAll(L"aa", L"b"));
  EXPECT_EQ(u, L"bb");
}

TEST(WestringTest, PathParts) {
  struct Row {
    const wchar_t* path;
    int separator;
    const char* dir;
    const char* name;
  } rows[] = {
      {L"/usr/bin", 4, "/usr", "bin"}, {L"C:/x", 2, "C:/", "x"}, {L"C:\\x", 2, "C:\\", "x"},
      {L"name", -1, "", "name"},       {L"/", 0, "", ""},        {L"a\\b/c", 3, "a\\b", "c"},
      {L"/a/", 2, "/a", ""},           {L"ab/x", 2, "ab", "x"},  {L"", -1, "", ""},
  };
  for (const Row& row : rows) {
    Westring path(row.path);
    EXPECT_EQ(path.LastSeparator(), row.separator) << Utf8(path);
    EXPECT_EQ(Utf8(path.DirPart()), row.dir) << Utf8(path);
    EXPECT_EQ(Utf8(path.NamePart()), row.name) << Utf8(path);
  }
}

TEST(WestringTest, TrailingSlashes) {
  struct Row {
    const wchar_t* path;
    const char* removed;
    const char* added;
  } rows[] = {
      {L"/a/b/", "/a/b", "/a/b/"},
      {L"/a/b", "/a/b", "/a/b/"},
      {L"/", "", "/"},
      {L"//", "//", "//"},
      {L"a//", "a//", "a//"},
      {L"ab/", "ab", "ab/"},
      {L"", "", ""},
      {L"a\\", "a\\", "a\\/"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Utf8(Westring(row.path).RemoveTrailingSlash()), row.removed) << Utf8(row.path);
    EXPECT_EQ(Utf8(Westring(row.path).AddTrailingSlash()), row.added) << Utf8(row.path);
  }
}

TEST(WestringTest, ComparisonsAndConcatenation) {
  Westring abc(L"abc");
  EXPECT_TRUE(abc == L"abc");
  EXPECT_TRUE(abc != L"ABC");
  EXPECT_TRUE(abc.EqualsNoCase(L"ABC"));
  EXPECT_FALSE(abc.EqualsNoCase(L"ABCD"));
  EXPECT_TRUE(Westring().EqualsNoCase(nullptr));
  EXPECT_LT(abc.Compare(L"abd"), 0);
  EXPECT_TRUE(Westring(L"ab") < abc);
  EXPECT_EQ(abc.ComparePrefix(L"abX", 2), 0);
  EXPECT_NE(abc.ComparePrefix(L"abX", 3), 0);
  EXPECT_EQ(abc.ComparePrefix(L"zzz", 0), 0);
  EXPECT_TRUE(abc.StartsWith(L"ab"));
  EXPECT_FALSE(abc.StartsWith(L"abcd"));

  EXPECT_EQ(abc + Westring(L"def"), L"abcdef");
  EXPECT_EQ(abc + L"!", L"abc!");
  EXPECT_EQ(L"<" + abc, L"<abc");
  Westring longer = Westring(15, L'x') + Westring(15, L'y');
  EXPECT_EQ(longer.Length(), 30);
  EXPECT_EQ(longer.Capacity(), 31) << "concatenation sizes the result once";
}

TEST(WestringTest, LowerCasing) {
  EXPECT_EQ(Westring(L"MiXeD 1").Lower(), L"mixed 1");
  EXPECT_EQ(LowerChar(L'Q'), L'q');
  EXPECT_EQ(LowerChar(L'1'), L'1');
}

TEST(WestringTest, Latin1WideningKeepsByteValues) {
  Westring wide = Westring::FromLatin1(Estring("\xE9t\xFF"));
  ASSERT_EQ(wide.Length(), 3);
  EXPECT_EQ(wide[0], 0xE9);
  EXPECT_EQ(wide[1], L't');
  EXPECT_EQ(wide[2], 0xFF);
  EXPECT_TRUE(Estring::FromLowBytes(Westring(L"\u0141B")).Equals("AB"))
      << "U+0141 keeps its low byte 0x41";
}

}  // namespace
