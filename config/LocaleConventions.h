#pragma once
// The locale's number and date conventions the panels and dialogs follow.
// Process-wide; set at start-up on the application thread.
#include "foundation/Estring.h"

/// 0 month-day-year, 1 day-month-year, 2 year first.
extern int g_dateOrder;
/// A printf format for three two-digit numbers with the locale's separator,
/// such as "%02d/%02d/%02d".
extern Estring g_dateFormat;

/// Derives the date order and format from a D_FMT-style format.
void SetDateConventions(const char* localeDateFormat);
/// Reads the current locale: the thousands separator (',' when the locale
/// has none) and the date conventions.
void ApplyLocaleConventions();
