#include "app/Clock.h"

#include <cstdio>
#include <ctime>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"

namespace {

constexpr int kTwentyFourHours = 24;

// Owned here and deleted only by RemoveClockWindow, which puts the covered
// cells back; never at exit, when the console may be gone already.
Win* s_clock = nullptr;

int ClockWidth(int timeMode) { return timeMode == kTwentyFourHours ? 5 : 6; }

void DrawTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  s_clock->WriteText(
      0, 0, FormatClock(local.tm_hour, local.tm_min, local.tm_sec, g_settings.timeMode).c_str());
}

}  // namespace

std::string FormatClock(int hour, int minute, int second, int timeMode) {
  const char separator = second % 2 == 0 ? ':' : ' ';
  char text[16];
  if (timeMode == kTwentyFourHours) {
    std::snprintf(text, sizeof text, "%2d%c%02d", hour, separator, minute);
  } else {
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    std::snprintf(text, sizeof text, "%2d%c%02d%c", shown, separator, minute,
                  hour < 12 ? 'a' : 'p');
  }
  return text;
}

void InstallClock() { g_console->SetIdleHandler(RefreshClock); }

void UninstallClock() {
  g_console->SetIdleHandler(nullptr);
  RemoveClockWindow();
}

void RefreshClock() {
  if (!g_settings.clock) {
    RemoveClockWindow();
    return;
  }
  // A changed TimeMode changes the width, and the window with it.
  if (s_clock && s_clock->Width() != ClockWidth(g_settings.timeMode)) RemoveClockWindow();
  if (!s_clock) {
    const int width = ClockWidth(g_settings.timeMode), left = g_console->Columns() - width;
    s_clock = new Win(left, 0, left + width - 1, 0, Colour(ColourClass::Clock), -1);
  }
  DrawTime();
}

void RemoveClockWindow() {
  delete s_clock;
  s_clock = nullptr;
}

void ShowClockWindow() { RefreshClock(); }
