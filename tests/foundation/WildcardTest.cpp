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
      {"", "a", false},        {"abc", "ABC", true},      {"abcd", "abc", false},
      {"?", "", false},        {"*", "", true},           {"a*b*c", "aXbYcZ", false},
      {"*.txt", "readme.txt.bak", false},                 {"*?", "", false},
      {"*a*a*", "aa", true},   {"*a*a*", "ab", false},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, CharacterClasses) {
  const TMatchRow rows[] = {
      {"[abc]", "B", true},    {"[abc]", "", false},      {"[^a-c]*", "Bob", false},
      {"[^a-c]*", "dob", true}, {"[c-a]", "b", false},    {"[c-ax]", "x", true},
      {"[x-]", "~", true},     {"[x-]", "-", false},      {"[^a^b]", "b", true},
      {"[a^a]", "a", false},   {"[^]", "x", true},        {"[]", "x", false},
      {"[]]", "]", false},     {"[-a]", "-", true},       {"a[", "a", false},
      {"[*]", "abc", false},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, Alternatives) {
  const TMatchRow rows[] = {
      {"*.{c,h}", "main.C", true}, {"*.{c,h}", "x.cpp", false}, {"{,x}y", "y", true},
      {"{ab,a}b", "ab", true},     {"{ab,a}b", "abb", true},    {"{?x,[0-9]}z", "5z", true},
      {"{a,b", "{a,b", true},      {"{a,b", "a", false},        {"{a}", "{a}", true},
      {"{a*}", "ab", false},       {"{}x", "{}x", true},        {"{x,y}*{1,2}", "x--3", false},
  };
  CheckBothForms(rows);
}

TEST(WildcardTest, WideFormFoldsThroughTheCaseTableAndNarrowComparesBytes) {
  EXPECT_TRUE(WildcardMatch(L"\u00E9*", L"\u00C9clair"));
  EXPECT_FALSE(WildcardMatch(L"[^\u0430-\u044F]*", L"\u0416\u0443\u043A"));
  EXPECT_FALSE(WildcardMatch(L"\U00010428", L"\U00010400"));
  EXPECT_TRUE(WildcardMatch(L"?", L"\U0001F600"));
  EXPECT_FALSE(WildcardMatch(static_cast<const wchar_t*>(nullptr), L"x"));
  EXPECT_TRUE(WildcardMatch("[x-]", "\xFF")) << "a range open to 255 covers the top byte";
  EXPECT_FALSE(WildcardMatch("\xE9", "\xC9")) << "the C locale folds no byte above 127";
  EXPECT_TRUE(WildcardMatch("[\xE0-\xEF]", "\xE9")) << "bytes above 127 compare unsigned";
}

}  // namespace
