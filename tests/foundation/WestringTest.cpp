#include <gtest/gtest.h>

#include <string>

#include "foundation/Westring.h"

namespace {

std::string Utf8(const Westring& text) { return text.ToUtf8().c_str(); }

TEST(WestringTest, ShortTextsLiveInlineLongOnesGrowByAQuarter) {
  EXPECT_EQ(Westring().Capacity(), 21);
  EXPECT_EQ(Westring(L"abcdefghijklmnopqrst").Capacity(), 21) << "20 and the terminator fit inline";
  EXPECT_EQ(Westring(L"abcdefghijklmnopqrstu").Capacity(), 22) << "built to exactly its size";
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

TEST(WestringTest, PartsFittingAndTrimmingClampTheirArguments) {
  Westring s(L"abcdef");
  struct Row {
    Westring actual;
    const char* expected;
  } rows[] = {
      {s.Left(-1), ""},       {s.Left(99), "abcdef"}, {s.Mid(2, 0), "cdef"},
      {s.Mid(10, 2), ""},     {s.Mid(-3, 2), "ab"},   {s.AllButLast(99), ""},
      {s.FitRight(3, L'.'), "def"},                   {Westring(L"ab").FitRight(4, L'.'), "..ab"},
      {Westring(L"   ").Trim(), ""},
  };
  int i = 0;
  for (const Row& row : rows) EXPECT_EQ(Utf8(row.actual), row.expected) << "row " << i++;
}

TEST(WestringTest, ReplaceAllDoesNotSearchInsertedText) {
  Westring t(L"a.b.c");
  EXPECT_TRUE(t.ReplaceAll(L".", L".."));
  EXPECT_EQ(t, L"a..b..c") << "inserted text is not searched again";
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
      {L"/", 0, "", "", "", "/"},
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
  EXPECT_TRUE(Westring(L"abc") != L"ABC") << "== compares case";
  Westring wide = Westring::FromLatin1(Estring("\xE9t\xFF"));
  ASSERT_EQ(wide.Length(), 3);
  EXPECT_EQ(wide[0], 0xE9);
  EXPECT_EQ(wide[2], 0xFF);
}

}  // namespace
