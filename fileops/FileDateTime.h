#pragma once
// "File Date/Time", "Change date of": the modification (and access) time of
// the tagged entries, or of the one under the cursor, typed in the locale's
// date order. Application thread.
#include <ctime>

class CPanel;

/// A local date and time as typed; pm is -1 on the 24-hour clock, else 0
/// for AM and 1 for PM (hour then 1 to 12).
struct TDateTimeFields {
  int year, month, day, hour, minute, second;
  int pm = -1;
};

/// The time stamp of valid fields (years 1980 to 2099, real days of the
/// month, 12 AM is midnight); false for anything out of range.
bool DateTimeStamp(const TDateTimeFields& fields, time_t* stamp);

/// The dialog (with "Now"), then the time set on every chosen entry; both
/// panels are read again.
void RunFileDateTime(CPanel& active, CPanel& other);
