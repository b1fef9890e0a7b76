#pragma once
// Time values: the wall clock, DOS date and time words, local calendar
// fields and the text form shown in panels and dialogs.
#include <cstddef>
#include <cstdint>
#include <ctime>

class Westring;

/// A moment as local calendar fields: month 1-12, day 1-31, hour 0-23.
struct TBrokenDownTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int nanoseconds = 0;
};

/// A moment in seconds and nanoseconds since the epoch. All conversions go
/// through the process's local time zone (TZ); any thread may call them.
struct TTimeValue {
  time_t seconds = 0;
  int32_t nanoseconds = 0;

  /// The current time, to the microsecond.
  static TTimeValue Now();
  /// The local time given by DOS date and time words; the DOS seconds count in
  /// twos. Daylight saving is decided by the system.
  static TTimeValue FromDos(uint16_t dosDate, uint16_t dosTime);
  /// The moment of a local broken-down time; out-of-range fields are
  /// normalised as mktime does.
  static TTimeValue FromLocal(const TBrokenDownTime& local);

  /// DOS date and time words of the local time; odd seconds round down, and
  /// years outside 1980-2107 are clamped to the first or last DOS moment.
  void ToDos(uint16_t* dosDate, uint16_t* dosTime) const;
  /// The local broken-down time; all fields 0 when the moment cannot be converted.
  TBrokenDownTime ToLocal() const;
  /// "YYYY-MM-DD hh:mm:ss" (hour space-padded) in local time, plus
  /// ".fraction" without trailing zeros when there are nanoseconds.
  Westring ToText() const;
  /// Writes the text of ToText into buffer (0-terminated, cut to size) and
  /// returns its full length.
  int FormatText(char* buffer, size_t size) const;

  bool operator==(const TTimeValue& o) const {
    return seconds == o.seconds && nanoseconds == o.nanoseconds;
  }
  bool operator!=(const TTimeValue& o) const { return !(*this == o); }
  bool operator<(const TTimeValue& o) const {
    return seconds < o.seconds || (seconds == o.seconds && nanoseconds < o.nanoseconds);
  }
};

/// The real-time clock in seconds as a floating-point number, for measuring
/// durations; it shares the epoch of TTimeValue::Now.
double NowSeconds();
