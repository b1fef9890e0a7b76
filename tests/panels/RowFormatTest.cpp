#include "panels/RowFormat.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "config/LocaleConventions.h"
#include "foundation/NumberFormat.h"

namespace {

std::unique_ptr<entry> File(int64_t size) {
  std::unique_ptr<entry> e(entry::Make(L"f"));
  e->size = size;
  e->sortClass = SortClass::File;
  return e;
}

std::unique_ptr<entry> Directory(const wchar_t* name, uint16_t extraFlags = 0) {
  std::unique_ptr<entry> e(entry::Make(name));
  e->flags = EntryFlag::Directory | extraFlags;
  e->sortClass = SortClassOf(*e);
  return e;
}

std::unique_ptr<entry> At(int year, int month, int day, int hour, int minute) {
  std::unique_ptr<entry> e(entry::Make(L"f"));
  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  e->timeSec = static_cast<uint32_t>(mktime(&local));
  return e;
}

struct RowFormat : testing::Test {
  void TearDown() override {
    g_groupThousands = false;
    g_thousandsSeparator = L',';
    SetDateConventions("%m/%d/%y");
  }
};

}  // namespace

TEST_F(RowFormat, SizesAtWidthsEightAndTen) {
  struct TCase {
    int64_t size;
    int width;
    bool grouped;
    const wchar_t* text;
  } const cases[] = {
      {99999999, 8, false, L"99999999"}, {100000000, 8, false, L"  97656K"},
      {-1, 8, false, L"        "},       {10000000000, 10, false, L"  9765625K"},
      {999999, 8, true, L" 999,999"},    {1000000, 8, true, L"    976K"},
  };
  for (const TCase& c : cases) {
    g_groupThousands = c.grouped;
    EXPECT_EQ(SizeText(*File(c.size), c.width), Westring(c.text))
        << "input: " << c.size << " at width " << c.width << (c.grouped ? ", grouped" : "");
  }
  g_thousandsSeparator = L'.';
  EXPECT_EQ(SizeText(*File(1234), 8), L"   1.234");
}

TEST_F(RowFormat, DirectoryLabels) {
  EXPECT_EQ(SizeText(*Directory(L".."), 8), L"\x10UP-DIR\x11");
  EXPECT_EQ(SizeText(*Directory(L".."), 10), L"\x10 UP-DIR \x11");
  EXPECT_EQ(SizeText(*Directory(L"src"), 8), L"\x10SUBDIR\x11");
  EXPECT_EQ(SizeText(*Directory(L"ln", EntryFlag::Link), 10), L"\x10  LINK  \x11");
  std::unique_ptr<entry> counted = Directory(L"src");
  counted->size = 4096;
  counted->sizeKnown = 1;
  EXPECT_EQ(SizeText(*counted, 8), L"    4096");
}

TEST_F(RowFormat, DatesFollowTheLocaleOrder) {
  const std::unique_ptr<entry> e = At(1999, 12, 31, 23, 59);
  SetDateConventions("%d.%m.%Y");
  EXPECT_EQ(DateText(*e), L"31.12.99");
  SetDateConventions("%Y-%m-%d");
  EXPECT_EQ(DateText(*e), L"99-12-31");
  std::unique_ptr<entry> unknown = File(1);
  unknown->timeSec = entry::NoTime;
  unknown->timeNs = entry::NoTime;
  EXPECT_EQ(DateText(*unknown), L"        ");
  EXPECT_EQ(TimeText(*unknown, 24), L"      ");
}

TEST_F(RowFormat, TwelveAndTwentyFourHourTimes) {
  struct TCase {
    int hour, minute, mode;
    const wchar_t* text;
  } const cases[] = {{0, 0, 12, L"12:00a"}, {13, 5, 12, L" 1:05p"}, {12, 30, 12, L"12:30p"},
                     {0, 7, 24, L"  0:07"}};
  for (const TCase& c : cases)
    EXPECT_EQ(TimeText(*At(2024, 1, 2, c.hour, c.minute), c.mode), Westring(c.text))
        << "input: " << c.hour << ":" << c.minute << " mode " << c.mode;
}

TEST(CutName, EndOrMiddleCutsAndPadding) {
  struct TCase {
    const wchar_t* name;
    int width;
    bool keepExtension;
    const wchar_t* text;
  } const cases[] = {
      {L"short", 8, false, L"short   "},
      {L"exactly8", 8, true, L"exactly8"},
      {L"verylongfilename.txt", 12, false, L"verylongfil\x10"},
      {L"verylongfilename.txt", 12, true, L"verylon\x10.txt"},
      {L"name.extension", 12, true, L"name.extens\x10"},      // extension over half the width
      {L"abcdefghijklmnop", 12, true, L"abcdefghijk\x10"},  // no dot: the end is cut
  };
  for (const TCase& c : cases)
    EXPECT_EQ(CutName(c.name, c.width, c.keepExtension), Westring(c.text))
        << "input: " << testing::PrintToString(c.name) << " at " << c.width;
}

TEST(NameMarker, LinksToFilesAndHiddenEntries) {
  std::unique_ptr<entry> e(entry::Make(L"x"));
  const struct {
    uint16_t flags;
    wchar_t marker;
  } cases[] = {{0, 0}, {EntryFlag::Link, L'@'}, {EntryFlag::Link | EntryFlag::Directory, 0},
               {EntryFlag::Hidden, 0x2591}};
  for (const auto& c : cases) {
    e->flags = c.flags;
    EXPECT_EQ(NameMarker(*e), c.marker) << "input: flags " << c.flags;
  }
}
