#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "foundation/TimeValue.h"
#include "foundation/Westring.h"

namespace {

// Central European time written as a POSIX rule, so no zone files are needed
// and both standard and daylight-saving time are exercised.
class TimeValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    m_hadZone = old != nullptr;
    if (old) m_oldZone = old;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  void TearDown() override {
    m_hadZone ? setenv("TZ", m_oldZone.c_str(), 1) : unsetenv("TZ");
    tzset();
  }

 private:
  bool m_hadZone = false;
  std::string m_oldZone;
};

std::string Fields(const TBrokenDownTime& t) {
  char text[64];
  snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
           t.minute, t.second);
  return text;
}

const time_t Summer = 1625133600;  // 2021-07-01 10:00:00 UTC, 12:00 CEST
const time_t Winter = 1610695810;  // 2021-01-15 07:30:10 UTC, 08:30:10 CET

TEST_F(TimeValueTest, TextTrimsTrailingZerosOfTheFractionAndCutsToTheBuffer) {
  struct Row {
    time_t seconds;
    int32_t ns;
    const char* text;
  } rows[] = {
      {Summer, 120000000, "2021-07-01 12:00:00.12"},
      {Summer, 1, "2021-07-01 12:00:00.000000001"},
      {Winter, 0, "2021-01-15  8:30:10"},  // the hour is space-padded
  };
  for (const Row& row : rows) {
    char text[64];
    TTimeValue{row.seconds, row.ns}.FormatText(text, sizeof text);
    EXPECT_STREQ(text, row.text) << "input: " << row.seconds << " s " << row.ns << " ns";
  }
  char shortText[8];
  EXPECT_EQ(TTimeValue({Summer, 0}).FormatText(shortText, sizeof shortText), 19);
  EXPECT_STREQ(shortText, "2021-07");
}

TEST_F(TimeValueTest, DosWordsAreLocalCalendarFieldsAndRoundTrip) {
  struct Row {
    uint16_t date, time;
    TBrokenDownTime local;
  } rows[] = {
      {44 << 9 | 2 << 5 | 29, 13 << 11 | 45 << 5 | 29, {2024, 2, 29, 13, 45, 58, 0}},
      {41 << 9 | 10 << 5 | 31, 2 << 11 | 30 << 5, {2021, 10, 31, 2, 30, 0, 0}},  // twice that night
  };
  for (const Row& row : rows) {
    TTimeValue value = TTimeValue::FromDos(row.date, row.time);
    EXPECT_EQ(Fields(value.ToLocal()), Fields(row.local))
        << "input: date " << row.date << " time " << row.time;
    EXPECT_EQ(value.nanoseconds, 0);
    uint16_t date = 0, time = 0;
    value.ToDos(&date, &time);
    EXPECT_EQ(date, row.date) << "input: date " << row.date;
    EXPECT_EQ(time, row.time) << "input: time " << row.time;
  }
  uint16_t date = 0, time = 0;
  TTimeValue{Summer + 1, 123}.ToDos(&date, &time);
  EXPECT_EQ(TTimeValue::FromDos(date, time).seconds, Summer) << "odd seconds are lost";
  TTimeValue{0, 0}.ToDos(&date, &time);  // 1970: clamped to the first day
  EXPECT_EQ(date, 1 << 5 | 1);
  EXPECT_EQ(time, 0);
  TTimeValue{4354819200, 0}.ToDos(&date, &time);  // 2108-01-01: clamped to the last second
  EXPECT_EQ(date, 127 << 9 | 12 << 5 | 31);
  EXPECT_EQ(time, 23 << 11 | 59 << 5 | 29);
}

}  // namespace
