#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "foundation/TimeValue.h"
#include "foundation/Westring.h"

namespace {

// Central European time written as a POSIX rule, so no zone files are needed
// and both standard and daylight-saving time are exercised.
constexpr const char* TestZone = "CET-1CEST,M3.5.0,M10.5.0/3";

class TimeValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    m_hadZone = old != nullptr;
    if (old) m_oldZone = old;
    setenv("TZ", TestZone, 1);
    tzset();
  }
  void TearDown() override {
    if (m_hadZone) {
      setenv("TZ", m_oldZone.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

  static std::string Text(time_t seconds, int32_t ns) {
    char text[64];
    TTimeValue{seconds, ns}.FormatText(text, sizeof text);
    return text;
  }

 private:
  bool m_hadZone = false;
  std::string m_oldZone;
};

constexpr time_t Summer = 1625133600;  // 2021-07-01 10:00:00 UTC, 12:00 CEST
constexpr time_t Winter = 1610695810;  // 2021-01-15 07:30:10 UTC, 08:30:10 CET

TEST_F(TimeValueTest, TextTrimsTrailingZerosOfTheFraction) {
  struct Row {
    time_t seconds;
    int32_t ns;
    const char* text;
  } rows[] = {
      {Summer, 0, "2021-07-01 12:00:00"},
      {Summer, 500000000, "2021-07-01 12:00:00.5"},
      {Summer, 120000000, "2021-07-01 12:00:00.12"},
      {Summer, 1, "2021-07-01 12:00:00.000000001"},
      {Summer, 999999999, "2021-07-01 12:00:00.999999999"},
      {Winter, 0, "2021-01-15  8:30:10"},  // the hour is space-padded
  };
  for (const Row& row : rows) EXPECT_EQ(Text(row.seconds, row.ns), row.text) << row.ns;
  EXPECT_EQ(TTimeValue({Summer, 500000000}).ToText(), Westring(L"2021-07-01 12:00:00.5"));
}

TEST_F(TimeValueTest, FormatTextCutsToTheBuffer) {
  char text[8];
  EXPECT_EQ(TTimeValue({Summer, 0}).FormatText(text, sizeof text), 19);
  EXPECT_STREQ(text, "2021-07");
}

TEST_F(TimeValueTest, DosWordsRoundTripThroughLocalTime) {
  struct Row {
    time_t seconds;
    uint16_t date, time;
    time_t back;  // odd seconds are lost
  } rows[] = {
      {Summer, 41 << 9 | 7 << 5 | 1, 12 << 11, Summer},
      {Summer + 1, 41 << 9 | 7 << 5 | 1, 12 << 11, Summer},
      {Winter, 41 << 9 | 1 << 5 | 15, 8 << 11 | 30 << 5 | 5, Winter},
      {315532800 - 3600, 1 << 5 | 1, 0, 315532800 - 3600},  // 1980-01-01 00:00 local
  };
  for (const Row& row : rows) {
    uint16_t date = 0, time = 0;
    TTimeValue{row.seconds, 123}.ToDos(&date, &time);
    EXPECT_EQ(date, row.date) << row.seconds;
    EXPECT_EQ(time, row.time) << row.seconds;
    TTimeValue back = TTimeValue::FromDos(date, time);
    EXPECT_EQ(back.seconds, row.back) << row.seconds;
    EXPECT_EQ(back.nanoseconds, 0);
  }
}

TEST_F(TimeValueTest, DosWordFieldsAreLocalCalendarFields) {
  struct Row {
    uint16_t date, time;
    TBrokenDownTime local;
  } rows[] = {
      {44 << 9 | 2 << 5 | 29, 13 << 11 | 45 << 5 | 29, {2024, 2, 29, 13, 45, 58, 0}},
      {0 << 9 | 1 << 5 | 1, 0, {1980, 1, 1, 0, 0, 0, 0}},
      {127 << 9 | 12 << 5 | 31, 23 << 11 | 59 << 5 | 29, {2107, 12, 31, 23, 59, 58, 0}},
      {41 << 9 | 10 << 5 | 31, 2 << 11 | 30 << 5, {2021, 10, 31, 2, 30, 0, 0}},  // twice that night
  };
  for (const Row& row : rows) {
    TTimeValue value = TTimeValue::FromDos(row.date, row.time);
    TBrokenDownTime local = value.ToLocal();
    EXPECT_EQ(local.year, row.local.year) << row.date;
    EXPECT_EQ(local.month, row.local.month) << row.date;
    EXPECT_EQ(local.day, row.local.day) << row.date;
    EXPECT_EQ(local.hour, row.local.hour) << row.date;
    EXPECT_EQ(local.minute, row.local.minute) << row.date;
    EXPECT_EQ(local.second, row.local.second) << row.date;
    uint16_t date = 0, time = 0;
    value.ToDos(&date, &time);
    EXPECT_EQ(date, row.date);
    EXPECT_EQ(time, row.time);
  }
}

TEST_F(TimeValueTest, DosWordsClampOutsideTheirYears) {
  uint16_t date = 0, time = 0;
  TTimeValue{0, 0}.ToDos(&date, &time);  // 1970
  EXPECT_EQ(date, 1 << 5 | 1);
  EXPECT_EQ(time, 0);
  TTimeValue{4354819200, 0}.ToDos(&date, &time);  // 2108-01-01
  EXPECT_EQ(date, 127 << 9 | 12 << 5 | 31);
  EXPECT_EQ(time, 23 << 11 | 59 << 5 | 29);
}

TEST_F(TimeValueTest, BrokenDownTimeBothWays) {
  TBrokenDownTime local = TTimeValue{Winter, 42}.ToLocal();
  EXPECT_EQ(local.year, 2021);
  EXPECT_EQ(local.month, 1);
  EXPECT_EQ(local.day, 15);
  EXPECT_EQ(local.hour, 8);
  EXPECT_EQ(local.minute, 30);
  EXPECT_EQ(local.second, 10);
  EXPECT_EQ(local.nanoseconds, 42);
  EXPECT_EQ(TTimeValue::FromLocal(local), (TTimeValue{Winter, 42}));
  // Daylight saving is decided by the system, not by the caller.
  EXPECT_EQ(TTimeValue::FromLocal({2021, 7, 1, 12, 0, 0, 0}).seconds, Summer);
  // Fields past their range roll over as mktime does.
  EXPECT_EQ(TTimeValue::FromLocal({2021, 6, 31, 12, 0, 0, 0}).seconds, Summer);
}

TEST_F(TimeValueTest, NowIsMicrosecondsOfTheWallClock) {
  time_t before = std::time(nullptr);
  TTimeValue now = TTimeValue::Now();
  EXPECT_GE(now.seconds, before);
  EXPECT_EQ(now.nanoseconds % 1000, 0);
  EXPECT_LT(now.nanoseconds, 1000000000);
  EXPECT_GE(NowSeconds(), static_cast<double>(before));
}

}  // namespace
