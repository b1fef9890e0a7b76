// Filter and selection expressions: patterns, operators, attribute tests and
// the syntax errors that must be reported wherever they sit.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "config/LocaleConventions.h"
#include "panels/Entry.h"
#include "panels/Expression.h"

namespace {

std::unique_ptr<entry> File(const wchar_t* name, int64_t size = 0, uint16_t flags = 0) {
  std::unique_ptr<entry> e(entry::Make(name));
  e->size = size;
  e->flags = flags;
  return e;
}

// Local time of a day at noon, so no time zone moves it to another date.
uint32_t LocalNoon(int year, int month, int day) {
  struct tm local = {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return static_cast<uint32_t>(mktime(&local));
}

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

bool AllAlphanumeric(const std::wstring& text) {
  for (wchar_t ch : text)
    if (!iswalnum(static_cast<wint_t>(ch))) return false;
  return !text.empty();
}

struct TCase {
  const wchar_t* expression;
  const wchar_t* name;
  int expected;
};

}  // namespace

TEST(Expression, NamePatternsAndLogic) {
  const TCase cases[] = {
      {L"*.c|*.h", L"main.c", 1},
      {L"*.c|*.h", L"main.o", 0},
      {L"!*.o", L"main.o", 0},
      {L"README", L"readme", 1},  // letter case is ignored
      {L"{foo,bar}.txt", L"bar.txt", 1},
      {L"  *.c   ", L"a.c", 1},  // blanks around a pattern are not part of it
      {L"\"a|b&c\"", L"a|b&c", 1},
      {L"x\"|\"y", L"x|y", 1},  // quotes protect only what they enclose
      {L"\"a \"", L"a ", 1},  // a quoted trailing blank stays
      {L"a(b", L"a(b", 1},  // "(" inside a pattern is an ordinary character
      {L"(*.c|*.h)&!a*", L"a.c", 0},
      {L"*.c|*.h&b*", L"a.c", 1},  // "&" binds tighter than "|"
      {L"(*.c|*.h)&b*", L"a.c", 0},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(EvaluateOnName(c.expression, c.name), c.expected)
        << "input: " << std::string(c.expression, c.expression + wcslen(c.expression)) << " on "
        << std::string(c.name, c.name + wcslen(c.name));
  }
}

TEST(Expression, SyntaxErrorsAnywhereAreReported) {
  std::vector<std::wstring> bad = {
      L"(*.c", L"", L"   ", L"a)", L"(*.c))", L"*|(", L"!*&(", L"!", L"a|", L"&a", L"a||b", L"\"\"",
      L"()",
      // attribute tests
      L"%size=>0", L"%size", L"%size>", L"%size<>1", L"%size!1", L"%size=k", L"%size=10q",
      L"%size=1k0", L"%foo=1", L"%=1", L"%sizes=1", L"%size=1 x", L"*|%bogus=1", L"%date=1/2",
      L"%date=1/2/3/4", L"%date=13/01/99", L"%date=12/32/99", L"%date=12//99", L"%age=1w",
      L"%age=d",
  };
  bad.push_back(std::wstring(1000, L'(') + L"a" + std::wstring(1000, L')'));
  bad.push_back(std::wstring(100000, L'!') + L"a");
  for (const std::wstring& text : bad) {
    EXPECT_EQ(EvaluateOnName(text.c_str(), L"test"), -1)
        << "input: " << std::string(text.begin(), text.begin() + std::min<size_t>(text.size(), 40));
    EXPECT_FALSE(IsValidExpression(text.c_str()));
  }
  EXPECT_EQ(EvaluateOnName(nullptr, L"test"), -1);

  // Moderate nesting is fine, as is "%" inside a pattern that is not first.
  const std::wstring nested = std::wstring(30, L'(') + L"te*" + std::wstring(30, L')');
  EXPECT_EQ(EvaluateOnName(nested.c_str(), L"test"), 1);
  EXPECT_EQ(EvaluateOnName(L"te%t", L"te%t"), 1);
  EXPECT_TRUE(IsValidExpression(L"%size>=0"));
}

TEST(Expression, SizeWithEveryOperatorAndUnit) {
  auto small = File(L"notes.txt", 10240);
  auto large = File(L"notes.txt", 10241);

  struct TOpCase {
    const wchar_t* expression;
    int at10240, at10241;
  };
  const TOpCase ops[] = {
      {L"%size=10k", 1, 0},   {L"%size==10240", 1, 0}, {L"%size!=10K", 0, 1},
      {L"%size<10241", 1, 0}, {L"%size<=10k", 1, 0},   {L"%size>=10241", 0, 1},
      {L"%size>10k", 0, 1},   {L"%SIZE = 10k", 1, 0},  {L"% size=1", -1, -1},
  };
  for (const TOpCase& op : ops) {
    const std::string shown(op.expression, op.expression + wcslen(op.expression));
    EXPECT_EQ(EvaluateExpression(op.expression, *small), op.at10240) << "input: " << shown;
    EXPECT_EQ(EvaluateExpression(op.expression, *large), op.at10241) << "input: " << shown;
  }

  EXPECT_EQ(EvaluateExpression(L"%size=1G", *File(L"x", 1073741824)), 1);
  EXPECT_EQ(EvaluateExpression(L"%size=3g", *File(L"x", 3LL * 1073741824)), 1)
      << "sizes beyond 32 bits";
  EXPECT_EQ(EvaluateExpression(L"%size<99999999999999999999999", *File(L"x", 1LL << 62)), 1)
      << "a huge number saturates instead of wrapping";
}

TEST(Expression, AgeCountsSecondsToNow) {
  const uint32_t now = static_cast<uint32_t>(time(nullptr));
  auto recent = File(L"a");
  recent->timeSec = now - 3600;
  auto old = File(L"b");
  old->timeSec = now - 2 * 86400;
  EXPECT_EQ(EvaluateExpression(L"%age<1d", *recent), 1);
  EXPECT_EQ(EvaluateExpression(L"%age<1d", *old), 0);
  EXPECT_EQ(EvaluateExpression(L"%age>3000", *recent), 1);
}

struct ExpressionDate : testing::Test {
  void TearDown() override { g_dateOrder = order, g_dateFormat = format; }
  const int order = g_dateOrder;
  const Estring format = g_dateFormat;
};

TEST_F(ExpressionDate, LocaleOrderSeparatorAndCentury) {
  auto e = File(L"a");
  e->timeSec = LocalNoon(1999, 12, 31);

  g_dateOrder = 1;
  g_dateFormat = "%02d.%02d.%02d";
  const TCase dayFirst[] = {
      {L"%date=31.12.99", nullptr, 1},  {L"%date=31.12.1999", nullptr, 1},
      {L"%date=30.12.99", nullptr, 0},  {L"%date>30.12.99", nullptr, 1},
      {L"%date<1.1.00", nullptr, 1},    {L"%date=12.31.99", nullptr, -1},
      {L"%date=31/12/99", nullptr, -1},  // not this locale's separator
  };
  for (const TCase& c : dayFirst)
    EXPECT_EQ(EvaluateExpression(c.expression, *e), c.expected)
        << std::string(c.expression, c.expression + wcslen(c.expression));

  // Two-digit years: below 71 in this century, otherwise the last.
  auto in1971 = File(L"b");
  in1971->timeSec = LocalNoon(1971, 1, 1);
  auto in1970 = File(L"c");
  in1970->timeSec = LocalNoon(1970, 1, 2);
  EXPECT_EQ(EvaluateExpression(L"%date=1.1.71", *in1971), 1);
  EXPECT_EQ(EvaluateExpression(L"%date=2.1.1970", *in1970), 1);
  EXPECT_EQ(EvaluateExpression(L"%date=2.1.70", *in1970), 0) << "70 is 2070";

  g_dateOrder = 0;
  g_dateFormat = "%02d/%02d/%02d";
  EXPECT_EQ(EvaluateExpression(L"%date=31/12/99", *e), -1) << "month 31";

  g_dateOrder = 2;
  g_dateFormat = "%02d-%02d-%02d";
  EXPECT_EQ(EvaluateExpression(L"%date=99-12-31", *e), 1);
  EXPECT_EQ(EvaluateExpression(L"%date>=1999-12-31 & %date<2000-1-1", *e), 1);
}

TEST(Expression, AttributesOwnersAndPermissions) {
  auto dir = File(L"src", 0, EntryFlag::Directory);
  auto hiddenDir = File(L".git", 0, EntryFlag::Directory | EntryFlag::Hidden);
  auto file = File(L"a.c", 0, EntryFlag::Archive | EntryFlag::ReadOnly);
  EXPECT_EQ(EvaluateExpression(L"%attrib=d", *dir), 1);
  EXPECT_EQ(EvaluateExpression(L"%attrib=d", *file), 0);
  EXPECT_EQ(EvaluateExpression(L"%attrib=dh", *hiddenDir), 1);
  EXPECT_EQ(EvaluateExpression(L"%attrib=dz", *dir), 1) << "unknown letters are ignored";
  EXPECT_EQ(EvaluateExpression(L"%attrib=ar", *file), 1);
  EXPECT_EQ(EvaluateExpression(L"!%attrib=d & *.c", *file), 1);

  // Permissions: the owner's bits for our own entry, the others' otherwise.
  auto mine = File(L"mine");
  mine->owner = static_cast<uint16_t>(getuid());
  mine->group = static_cast<uint16_t>(getgid());
  mine->mode = S_IFREG | 0640;
  EXPECT_EQ(EvaluateExpression(L"%perm=rw", *mine), 1);
  EXPECT_EQ(EvaluateExpression(L"%perm=x", *mine), 0);

  std::vector<gid_t> groups(static_cast<size_t>(getgroups(0, nullptr)) + 1);
  groups.resize(static_cast<size_t>(getgroups(static_cast<int>(groups.size()), groups.data())));
  groups.push_back(getgid());
  groups.push_back(getegid());
  gid_t foreignGroup = 4242;
  while (std::find(groups.begin(), groups.end(), foreignGroup) != groups.end()) ++foreignGroup;
  auto theirs = File(L"theirs");
  theirs->owner = static_cast<uint16_t>(geteuid() + 1);
  theirs->group = static_cast<uint16_t>(foreignGroup);
  theirs->mode = S_IFREG | 0764;
  EXPECT_EQ(EvaluateExpression(L"%perm=r", *theirs), 1);
  EXPECT_EQ(EvaluateExpression(L"%perm=w", *theirs), 0);

  // The owner through the user database.
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::wstring userName = Widen(user->pw_name);
  if (AllAlphanumeric(userName)) {
    EXPECT_EQ(EvaluateExpression((L"%owner=" + userName).c_str(), *mine), 1);
    EXPECT_EQ(EvaluateExpression((L"%owner=" + userName).c_str(), *theirs), 0);
  }
  // An unknown name compares as the database's failure value -1.
  EXPECT_EQ(EvaluateExpression(L"%owner=nosuchuser8x", *mine), 0);
  EXPECT_EQ(EvaluateExpression(L"%owner>nosuchuser8x", *mine), 1);
}

TEST(Expression, OnNameEverythingButTheNameIsZero) {
  EXPECT_EQ(EvaluateOnName(L"%size=0 & %attrib!=d & test", L"test"), 1);
  EXPECT_EQ(EvaluateOnName(L"*", nullptr), 1);
}
