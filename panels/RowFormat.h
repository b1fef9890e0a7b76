#pragma once
// The texts of a panel row's columns: the cut name, the size or directory
// label, the date and the time. Pure functions of the entry and the
// settings that shape them; the drawing puts them into cells.
#include <cstdint>

#include "foundation/Westring.h"
#include "panels/Entry.h"

/// Characters the console shows as right- and left-pointing triangles.
constexpr wchar_t CutMark = 0x10;
constexpr wchar_t LabelLeft = 0x10;
constexpr wchar_t LabelRight = 0x11;
/// The markers in the last position of a name column.
constexpr wchar_t FileLinkMarker = L'@';
constexpr wchar_t HiddenMarker = 0x2591;
/// Between a link's name and its target.
constexpr wchar_t LinkArrow = 0x00BB;

/// The text cut to width characters: with keepExtension and an extension
/// (after the last ".") at most half the width long, the beginning is cut so
/// the extension stays whole; otherwise the end. The last character kept
/// before the cut becomes CutMark. A shorter text is padded with blanks.
Westring CutName(const Westring& text, int width, bool keepExtension);
/// The marker of an entry's name column, or 0 for none.
wchar_t NameMarker(const entry& e);
/// The size column, right-aligned in width: a directory label, blanks for a
/// negative size, or the size as the ThousandSep setting shows it.
Westring SizeText(const entry& e, int width);
/// The locale's date separator.
wchar_t DateSeparator();
/// The date as the locale orders it, two digits each; blanks without a time.
Westring DateText(const entry& e);
/// "%3d:%02d", or with timeMode 12 "%2d:%02d" and "a" or "p"; blanks without a time.
Westring TimeText(const entry& e, int timeMode);
/// Six characters for the given hour and minute in the time mode.
Westring FormatClockTime(int hour, int minute, int timeMode);
