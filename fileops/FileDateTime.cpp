// "Change date of": the fields in the locale's order, their checks, "Now",
// and the time set entry by entry.
#include "fileops/FileDateTime.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cwchar>
#include <vector>

#include "config/LocaleConventions.h"
#include "config/Settings.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "fileops/internal/CommandShared.h"
#include "panels/Panel.h"

namespace {

constexpr int kNowButton = 'n';

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void FillFrom(time_t stamp, TDateTimeFields* fields) {
  struct tm local;
  localtime_r(&stamp, &local);
  fields->year = local.tm_year + 1900;
  fields->month = local.tm_mon + 1;
  fields->day = local.tm_mday;
  fields->second = local.tm_sec;
  fields->minute = local.tm_min;
  fields->hour = local.tm_hour;
  if (fields->pm >= 0) {
    fields->pm = fields->hour >= 12 ? 1 : 0;
    fields->hour = fields->hour % 12 == 0 ? 12 : fields->hour % 12;
  }
}

bool AskDateTime(const Westring& what, TDateTimeFields* fields) {
  Dialog dialog(-1, -3, 33, 12, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::FileDateTime);
  dialog.WriteCentred(0, L"Change date of");
  dialog.WriteCentred(1, what.Left(29).c_str());
  // The date fields in the order the locale writes a date.
  struct TField {
    const char* label;
    int* value;
    int width;
  };
  const TField month{"Mon", &fields->month, 2}, day{"Day", &fields->day, 2}, year{"Year", &fields->year, 4};
  const TField orders[3][3] = {{month, day, year}, {day, month, year}, {year, month, day}};
  const TField* date = orders[g_dateOrder >= 0 && g_dateOrder <= 2 ? g_dateOrder : 0];
  const TField time[3] = {{"Hour", &fields->hour, 2}, {"Min", &fields->minute, 2}, {"Sec", &fields->second, 2}};
  for (int row = 0; row < 2; ++row) {
    const TField* line = row == 0 ? date : time;
    for (int i = 0; i < 3; ++i) {
      dialog.AddStaticText(3 + i * 9, 2 + row * 2, true, line[i].label);
      dialog.AddIntegerField(3 + i * 9, 3 + row * 2, true, line[i].value, line[i].width, true);
    }
  }
  if (fields->pm >= 0) {
    dialog.AddRadioButton(3, 7, true, &fields->pm, 0, "_AM");
    dialog.AddRadioButton(12, 7, false, &fields->pm, 1, "_PM");
  }
  const TButtonSpec buttons[] = {{DialogResult::Ok, "OK"}, {DialogResult::Cancel, "Cancel"}, {kNowButton, "_Now"}, {0, nullptr}};
  dialog.SetDefaultButton(dialog.AddButtonRow(-1, -1, buttons));
  for (;;) {
    const int result = dialog.Run();
    if (result == kNowButton) {
      FillFrom(std::time(nullptr), fields);
      dialog.Draw();
      continue;
    }
    if (result != DialogResult::Ok) return false;
    time_t stamp;
    if (DateTimeStamp(*fields, &stamp)) return true;
    MessageBox(L"Invalid date", Westring(), MessageStyle::Ok);
  }
}

}  // namespace

bool DateTimeStamp(const TDateTimeFields& fields, time_t* stamp) {
  int hour = fields.hour;
  if (fields.pm >= 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (fields.pm == 1 ? 12 : 0);
  }
  if (fields.year < 1980 || fields.year > 2099 || fields.month < 1 || fields.month > 12) return false;
  if (fields.day < 1 || fields.day > DaysInMonth(fields.year, fields.month)) return false;
  if (hour < 0 || hour > 23 || fields.minute < 0 || fields.minute > 59 || fields.second < 0 || fields.second > 59)
    return false;
  struct tm local = {};
  local.tm_year = fields.year - 1900;
  local.tm_mon = fields.month - 1;
  local.tm_mday = fields.day;
  local.tm_hour = hour;
  local.tm_min = fields.minute;
  local.tm_sec = fields.second;
  local.tm_isdst = -1;
  *stamp = mktime(&local);
  return *stamp != static_cast<time_t>(-1);
}

void RunFileDateTime(CPanel& active, CPanel& other) {
  if (active.Type() != PanelType::Files || active.InArchive()) return;
  const std::vector<int> chosen = active.ChosenEntries();
  if (chosen.empty()) return;
  const entry* cursor = active.CursorEntry();
  const Westring what = ChosenEntriesText(active, chosen);
  TDateTimeFields fields;
  fields.pm = g_settings.timeMode == 12 ? 0 : -1;
  FillFrom(cursor != nullptr && cursor->HasTime() ? static_cast<time_t>(cursor->timeSec) : std::time(nullptr), &fields);
  if (!AskDateTime(what, &fields)) return;
  time_t stamp;
  if (!DateTimeStamp(fields, &stamp)) return;
  const timespec times[2] = {{stamp, 0}, {stamp, 0}};
  for (int index : chosen) {
    const Westring path = active.PathOf(active.At(index)->Name());
    const Estring name = path.ToUtf8();
    if (RetrySkipCancel(path, [&] { return utimensat(AT_FDCWD, name.c_str(), times, 0); }) < 0) break;
  }
  active.MarkForReread();
  other.MarkForReread();
}
