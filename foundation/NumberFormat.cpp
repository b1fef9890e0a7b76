#include "foundation/NumberFormat.h"

wchar_t g_thousandsSeparator = L',';
bool g_groupThousands = false;

namespace {

constexpr int kMaxGroupedDigits = 18;
// 10^19 passes the range of a signed 64-bit value, so 19 digits fit everything.
constexpr int kAllDigits = 19;

// Whether value (not negative) has at most `digits` decimal digits.
bool FitsDigits(int64_t value, int digits) {
  if (digits >= kAllDigits) return true;
  int64_t limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  return value < limit;
}

Westring Decimal(int64_t value) { return Westring(Estring::FromInt64(value, 10).c_str()); }

Westring Grouped(int64_t value, wchar_t separator) {
  const Westring digits = Decimal(value);
  const int count = digits.Length();
  Westring text = Westring::WithRoom(count + count / 3);
  for (int i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

Westring PadLeft(const Westring& text, int width) {
  const int length = text.Length();
  if (length >= width) return text;
  return Westring(width - length, L' ') + text;
}

Westring Plain(int64_t value, int width) {
  if (FitsDigits(value, width)) return Decimal(value);
  const int64_t kilo = value / 1024;
  if (FitsDigits(kilo, width - 1)) return Decimal(kilo) + L"K";
  return Decimal(value / (1024 * 1024)) + L"M";
}

Westring WithSeparators(int64_t value, int width, wchar_t separator) {
  int digits = width - width / 4;
  if (digits > kMaxGroupedDigits) digits = kMaxGroupedDigits;
  if (FitsDigits(value, digits)) return Grouped(value, separator);
  if (width % 4 != 0) --digits;
  static const wchar_t kUnits[] = L"KMGT";
  int unit = 0;
  value /= 1024;
  while (!FitsDigits(value, digits) && kUnits[unit + 1] != 0) {
    value /= 1024;
    ++unit;
  }
  Westring text = Grouped(value, separator);
  text += kUnits[unit];
  return text;
}

}  // namespace

Westring FormatSize(int64_t value, int width, DigitGrouping grouping, wchar_t separator) {
  if (width < 1) return Westring();
  if (value < 0) return Westring(width, L' ');
  switch (grouping) {
    case DigitGrouping::None: return PadLeft(Plain(value, width), width);
    case DigitGrouping::Thousands: return PadLeft(WithSeparators(value, width, separator), width);
  }
  return Westring();
}

Westring FormatSizeAsShown(int64_t value, int width) {
  return FormatSize(value, width, g_groupThousands ? DigitGrouping::Thousands : DigitGrouping::None,
                    g_thousandsSeparator);
}
