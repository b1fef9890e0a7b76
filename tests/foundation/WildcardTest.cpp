#include <gtest/gtest.h>

#include "foundation/Westring.h"
#include "foundation/Wildcard.h"

namespace {

struct TMatchRow {
  const char* pattern;
  const char* name;
  bool matches;
};

// ASCII rows hold for both widths; each is checked in both forms.
template <size_t N>
void CheckBothForms(const TMatchRow (&rows)[N]) {
  for (const TMatchRow& row : rows) {
    EXPECT_EQ(WildcardMatch(row.pattern, row.name), row.matches)
        << "narrow input: '" << row.pattern << "' against '" << row.name << "'";
    EXPECT_EQ(WildcardMatch(Westring(row.pattern), Westring(row.name)), row.matches)
        << "wide input: '" << row.pattern << "' against '" << row.name << "'";
  }
}

TEST(WildcardTest, QuestionMarksStarsAndPlainCharacters) {
  const TMatchRow rows[] = {
      {"", "", true},          {"", "a", false},          {"abc", "ABC", true},
      {"abc", "abcd", false},  {"abcd", "abc", false},    {"?", "", false},
      {"a?c", "abc", true},    {"a?c", "ac", false},      {"*", "", true},
      {"*c", "abd", false},    {"a*b*c", "aXbYc", true},  {"a*b*c", "aXbYcZ", false},
      {"*.txt", "readme.TXT", true}, {"*.txt", "readme.txt.bak", false},
      {"**a", "ba", true},     {"*?", "", false},         {"*a*a*", "aa", true},
      {"*a*a*", "ab", false},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, CharacterClasses) {
  const TMatchRow rows[] = {
      {"[abc]", "B", true},    {"[abc]", "", false},      {"[a-c]x", "bx", true},
      {"[a-c]x", "dx", false}, {"[^a-c]*", "Bob", false}, {"[^a-c]*", "dob", true},
      {"[c-a]", "b", false},   {"[c-a]", "c", false},     {"[c-ax]", "x", true},
      {"[x-]", "~", true},     {"[x-]", "a", false},      {"[x-]", "-", false},
      {"[^a^b]", "b", true},   {"[a^a]", "a", false},     {"[^]", "x", true},
      {"[]", "x", false},      {"[]]", "]", false},       {"[-a]", "-", true},
      {"A[", "a[", true},      {"a[", "a", false},        {"[*]", "abc", false},
      {"[?]x", "ax", false},   {"*[0-9]", "file7", true},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, Alternatives) {
  const TMatchRow rows[] = {
      {"*.{c,h}", "main.C", true}, {"*.{c,h}", "x.cpp", false}, {"{a,b}c", "bc", true},
      {"{a,b}c", "cc", false},     {"{,x}y", "y", true},        {"{,x}y", "zy", false},
      {"{ab,a}b", "ab", true},     {"{ab,a}b", "abb", true},    {"{?x,[0-9]}z", "5z", true},
      {"{?x,[0-9]}z", "az", false}, {"{a,b", "{a,b", true},     {"{a,b", "a", false},
      {"{a}", "a", true},          {"{a}", "{a}", true},        {"{a*}", "a*", true},
      {"{a*}", "ab", false},       {"{}x", "x", true},          {"{}x", "{}x", true},
      {"*{.c,.h}", "a.b.c", true}, {"{x,y}*{1,2}", "x--2", true}, {"{x,y}*{1,2}", "x--3", false},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, WideFormFoldsThroughTheCaseTable) {
  struct Row {
    const wchar_t *pattern, *name;
    bool matches;
  } rows[] = {
      {L"\u00E9*", L"\u00C9clair", true},
      {L"[\u0430-\u044F]*", L"\u0416\u0443\u043A", true},
      {L"[^\u0430-\u044F]*", L"\u0416\u0443\u043A", false},
      {L"*.{\uFF41,b}", L"x.\uFF21", true},
      {L"\U00010428", L"\U00010400", false},
      {L"?", L"\U0001F600", true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(WildcardMatch(row.pattern, row.name), row.matches)
        << "input: " << Westring(row.pattern).ToUtf8().c_str() << " against "
        << Westring(row.name).ToUtf8().c_str();
  EXPECT_TRUE(WildcardMatch(static_cast<const wchar_t*>(nullptr), L""));
  EXPECT_FALSE(WildcardMatch(static_cast<const wchar_t*>(nullptr), L"x"));
  EXPECT_TRUE(WildcardMatch(L"*", static_cast<const wchar_t*>(nullptr)));
}

TEST(WildcardTest, NarrowFormComparesBytes) {
  EXPECT_TRUE(WildcardMatch("[x-]", "\xFF")) << "a range open to 255 covers the top byte";
  EXPECT_FALSE(WildcardMatch("\xE9", "\xC9")) << "the C locale folds no byte above 127";
  EXPECT_TRUE(WildcardMatch("[\xE0-\xEF]", "\xE9")) << "bytes above 127 compare unsigned";
  EXPECT_FALSE(WildcardMatch("?", static_cast<const char*>(nullptr)));
}

}  // namespace
