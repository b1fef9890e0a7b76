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
  g_groupThousands = false;
  EXPECT_EQ(SizeText(*File(99999999), 8), L"99999999");
  EXPECT_EQ(SizeText(*File(100000000), 8), L"  97656K");
  EXPECT_EQ(SizeText(*File(0), 8), L"       0");
  EXPECT_EQ(SizeText(*File(-1), 8), L"        ");
  EXPECT_EQ(SizeText(*File(9999999999), 10), L"9999999999");
  EXPECT_EQ(SizeText(*File(10000000000), 10), L"  9765625K");
  g_groupThousands = true;
  EXPECT_EQ(SizeText(*File(999999), 8), L" 999,999");
  EXPECT_EQ(SizeText(*File(1000000), 8), L"    976K");
  EXPECT_EQ(SizeText(*File(12345678), 10), L"12,345,678");
  g_thousandsSeparator = L'.';
  EXPECT_EQ(SizeText(*File(1234), 8), L"   1.234");
}

TEST_F(RowFormat, DirectoryLabels) {
  EXPECT_EQ(SizeText(*Directory(L".."), 8), L"\x10UP-DIR\x11");
  EXPECT_EQ(SizeText(*Directory(L".."), 10), L"\x10 UP-DIR \x11");
  EXPECT_EQ(SizeText(*Directory(L"src"), 8), L"\x10SUBDIR\x11");
  EXPECT_EQ(SizeText(*Directory(L"src"), 10), L"\x10 SUBDIR \x11");
  EXPECT_EQ(SizeText(*Directory(L"ln", EntryFlag::Link), 8), L"\x10 LINK \x11");
  EXPECT_EQ(SizeText(*Directory(L"ln", EntryFlag::Link), 10), L"\x10  LINK  \x11");
  std::unique_ptr<entry> counted = Directory(L"src");
  counted->size = 4096;
  counted->sizeKnown = 1;
  EXPECT_EQ(SizeText(*counted, 8), L"    4096");
}

TEST_F(RowFormat, DatesFollowTheLocaleOrder) {
  const std::unique_ptr<entry> e = At(1999, 12, 31, 23, 59);
  SetDateConventions("%m/%d/%y");
  EXPECT_EQ(DateText(*e), L"12/31/99");
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
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 0, 0), 12), L"12:00a");
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 13, 5), 12), L" 1:05p");
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 12, 30), 12), L"12:30p");
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 11, 59), 12), L"11:59a");
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 13, 5), 24), L" 13:05");
  EXPECT_EQ(TimeText(*At(2024, 1, 2, 0, 7), 24), L"  0:07");
}

TEST(CutName, EndOrMiddleCutsAndPadding) {
  EXPECT_EQ(CutName(L"short", 8, false), L"short   ");
  EXPECT_EQ(CutName(L"exactly8", 8, true), L"exactly8");
  EXPECT_EQ(CutName(L"verylongfilename.txt", 12, false), L"verylongfil\x10");
  EXPECT_EQ(CutName(L"verylongfilename.txt", 12, true), L"verylon\x10.txt");
  // An extension longer than half the width is not kept.
  EXPECT_EQ(CutName(L"name.extension", 12, true), L"name.extens\x10");
  // No dot: the end is cut as usual.
  EXPECT_EQ(CutName(L"abcdefghijklmnop", 12, true), L"abcdefghijk\x10");
}

TEST(NameMarker, LinksToFilesAndHiddenEntries) {
  std::unique_ptr<entry> e(entry::Make(L"x"));
  EXPECT_EQ(NameMarker(*e), 0);
  e->flags = EntryFlag::Link;
  EXPECT_EQ(NameMarker(*e), L'@');
  e->flags = EntryFlag::Link | EntryFlag::Directory;
  EXPECT_EQ(NameMarker(*e), 0);
  e->flags = EntryFlag::Hidden;
  EXPECT_EQ(NameMarker(*e), 0x2591);
  e->flags = EntryFlag::System;
  EXPECT_EQ(NameMarker(*e), 0x2591);
}
