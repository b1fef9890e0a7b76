#include "panels/RowFormat.h"

#include <ctime>
#include <cwchar>

#include "config/LocaleConventions.h"
#include "foundation/NumberFormat.h"

Westring CutName(const Westring& text, int width, bool keepExtension) {
  if (width <= 0) return Westring();
  const int length = text.Length();
  if (length <= width) return text.FitLeft(width);
  const int dot = text.FindLast(L'.');
  const int extensionLength = dot >= 0 ? length - dot - 1 : -1;
  Westring cut;
  if (keepExtension && dot >= 0 && extensionLength * 2 <= width) {
    // Cut the beginning: keep the first characters up to the extension's start.
    const int head = width - (length - dot);
    cut = text.Left(head) + text.Mid(dot);
    if (head > 0) cut[head - 1] = CutMark;
    else cut[0] = CutMark;
  } else {
    cut = text.Left(width);
    cut[width - 1] = CutMark;
  }
  return cut;
}

wchar_t NameMarker(const entry& e) {
  if ((e.flags & EntryFlag::Link) && !(e.flags & EntryFlag::Directory)) return FileLinkMarker;
  if (e.flags & (EntryFlag::Hidden | EntryFlag::System)) return HiddenMarker;
  return 0;
}

namespace {

Westring DirectoryLabel(const entry& e, int width) {
  const bool wide = width > 9;
  const wchar_t* word = e.IsUpDir() ? (wide ? L" UP-DIR " : L"UP-DIR")
                        : e.IsLink() ? (wide ? L"  LINK  " : L" LINK ")
                                     : (wide ? L" SUBDIR " : L"SUBDIR");
  Westring label;
  label += LabelLeft;
  label += word;
  label += LabelRight;
  return label.FitRight(width);
}

}  // namespace

wchar_t DateSeparator() {
  // The date format is "%02d", the separator, "%02d", ...
  return g_dateFormat.Length() > 4 ? static_cast<wchar_t>(static_cast<unsigned char>(g_dateFormat[4])) : L'/';
}

Westring SizeText(const entry& e, int width) {
  if (e.IsDirectory() && !e.sizeKnown) return DirectoryLabel(e, width);
  return FormatSizeAsShown(e.size, width);
}

Westring DateText(const entry& e) {
  if (!e.HasTime()) return Westring(8, L' ');
  const time_t seconds = static_cast<time_t>(e.timeSec);
  struct tm local {};
  localtime_r(&seconds, &local);
  const int year = local.tm_year % 100, month = local.tm_mon + 1, day = local.tm_mday;
  int a = month, b = day, c = year;
  if (g_dateOrder == 1) a = day, b = month;
  else if (g_dateOrder == 2) a = year, b = month, c = day;
  wchar_t text[16];
  std::swprintf(text, 16, L"%02d%lc%02d%lc%02d", a, DateSeparator(), b, DateSeparator(), c);
  return Westring(text).FitLeft(8);
}

Westring FormatClockTime(int hour, int minute, int timeMode) {
  wchar_t text[16];
  if (timeMode == 12) {
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    std::swprintf(text, 16, L"%2d:%02d%lc", shown, minute, hour < 12 ? L'a' : L'p');
  } else {
    std::swprintf(text, 16, L"%3d:%02d", hour, minute);
  }
  return Westring(text);
}

Westring TimeText(const entry& e, int timeMode) {
  if (!e.HasTime()) return Westring(6, L' ');
  const time_t seconds = static_cast<time_t>(e.timeSec);
  struct tm local {};
  localtime_r(&seconds, &local);
  return FormatClockTime(local.tm_hour, local.tm_min, timeMode);
}
