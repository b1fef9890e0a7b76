#pragma once
// Sizes and counts as the panels show them: right-aligned in a column of a
// given width, shortened to K, M, G or T units when the digits do not fit,
// and optionally grouped by threes. Pure functions of their arguments, plus
// the two process-wide conventions that choose the form on screen.
#include <cstdint>

#include "foundation/Westring.h"

/// Whether digits are grouped by threes.
enum class DigitGrouping : uint8_t { None, Thousands };

/// `value` right-aligned in exactly `width` cells (blanks on the left).
/// Without grouping: the decimal digits when they fit the width; else
/// value / 1024 with "K" when that fits width - 1 digits; else value /
/// 1048576 with "M". With grouping: width - width / 4 digits fit (at most
/// 18); a larger value is divided by 1024 for "K", and again for "M", "G"
/// and "T" while it is still too large, giving up one digit for the unit
/// letter when the width is not a multiple of four; the digits are grouped by
/// threes with `separator`. A negative value gives blanks; a width below 1
/// gives the empty string; a text that cannot be shortened enough (after "M"
/// or "T") comes back longer than the width rather than cut.
Westring FormatSize(int64_t value, int width, DigitGrouping grouping, wchar_t separator = L',');

/// The thousands separator of the locale: start-up sets it from the locale,
/// ',' until then. Application thread writes it before other threads start.
extern wchar_t g_thousandsSeparator;
/// The ThousandSep setting: sizes and counts on screen are grouped by threes.
/// Set by the configuration; read on any thread (a stale value only changes
/// the look of one refresh).
extern bool g_groupThousands;

/// FormatSize in the form the settings choose (g_groupThousands,
/// g_thousandsSeparator); what panels and progress windows show.
Westring FormatSizeAsShown(int64_t value, int width);
