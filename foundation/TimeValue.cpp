#include "foundation/TimeValue.h"

#include <sys/time.h>

#include <cstdio>

#include "foundation/Westring.h"

namespace {

constexpr int DosFirstYear = 1980;
constexpr int DosLastYear = DosFirstYear + 127;

std::tm LocalTm(time_t seconds, bool* ok) {
  std::tm tm{};
  *ok = localtime_r(&seconds, &tm) != nullptr;
  return tm;
}

time_t MakeLocalTime(std::tm tm) {
  tm.tm_isdst = -1;  // the system decides whether daylight saving applies
  return mktime(&tm);
}

}  // namespace

TTimeValue TTimeValue::Now() {
  timeval now{};
  gettimeofday(&now, nullptr);
  return {now.tv_sec, static_cast<int32_t>(now.tv_usec * 1000)};
}

TTimeValue TTimeValue::FromDos(uint16_t dosDate, uint16_t dosTime) {
  std::tm tm{};
  tm.tm_year = (dosDate >> 9) + DosFirstYear - 1900;
  tm.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  tm.tm_mday = dosDate & 0x1F;
  tm.tm_hour = dosTime >> 11;
  tm.tm_min = (dosTime >> 5) & 0x3F;
  tm.tm_sec = (dosTime & 0x1F) * 2;
  return {MakeLocalTime(tm), 0};
}

TTimeValue TTimeValue::FromLocal(const TBrokenDownTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  return {MakeLocalTime(tm), local.nanoseconds};
}

void TTimeValue::ToDos(uint16_t* dosDate, uint16_t* dosTime) const {
  bool ok = false;
  std::tm tm = LocalTm(seconds, &ok);
  int year = tm.tm_year + 1900;
  if (!ok || year < DosFirstYear) {
    *dosDate = 1 << 5 | 1;  // 1980-01-01 00:00:00
    *dosTime = 0;
    return;
  }
  if (year > DosLastYear) {
    *dosDate = static_cast<uint16_t>(127 << 9 | 12 << 5 | 31);  // 2107-12-31 23:59:58
    *dosTime = static_cast<uint16_t>(23 << 11 | 59 << 5 | 29);
    return;
  }
  *dosDate = static_cast<uint16_t>((year - DosFirstYear) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  *dosTime = static_cast<uint16_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
}

TBrokenDownTime TTimeValue::ToLocal() const {
  bool ok = false;
  std::tm tm = LocalTm(seconds, &ok);
  if (!ok) return {};
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     nanoseconds};
}

int TTimeValue::FormatText(char* buffer, size_t size) const {
  TBrokenDownTime t = ToLocal();
  char fraction[16] = "";
  if (nanoseconds != 0) {
    int length = std::snprintf(fraction, sizeof fraction, ".%09d", nanoseconds);
    while (length > 1 && fraction[length - 1] == '0') fraction[--length] = 0;
  }
  return std::snprintf(buffer, size, "%04d-%02d-%02d %2d:%02d:%02d%s", t.year, t.month, t.day,
                       t.hour, t.minute, t.second, fraction);
}

Westring TTimeValue::ToText() const {
  char text[64];
  FormatText(text, sizeof text);
  return Westring::FromUtf8(text);
}

double NowSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}
