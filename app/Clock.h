#pragma once
// The clock at the top right of the panel screen, refreshed by the key
// reader's idle routine while the Clock setting is on. Application thread.
#include <string>

/// The clock text: "%2d%c%02d" (five columns) for TimeMode 24, otherwise
/// "%2d%c%02d%c" (six) with hours 1..12, 0 shown as 12 and 'a' before noon,
/// 'p' after. The separator is ':' in even seconds and a space in odd ones.
std::string FormatClock(int hour, int minute, int second, int timeMode);

/// Makes the clock the console's idle routine.
void InstallClock();
/// Takes the clock away, window and idle routine, while a full-screen
/// window that it must not draw over runs; InstallClock brings it back.
void UninstallClock();

/// The idle routine: shows or updates the clock window when the Clock
/// setting is on and removes it when it is off.
void RefreshClock();

/// Removes the clock window, putting back what it covered; before a change
/// of screen size. Harmless when none is shown.
void RemoveClockWindow();

/// Creates the clock window again (when the Clock setting is on) and draws
/// the time; after a change of screen size.
void ShowClockWindow();
