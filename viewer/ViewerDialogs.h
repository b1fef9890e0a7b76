#pragma once
// The viewer's small dialogs: search, go to line, go to offset, the code-page
// list, and the Alt-T cycle over that list. Application thread.
#include <cstdint>

#include "foundation/Estring.h"
#include "foundation/Westring.h"

/// The input history of the search text (one of the twelve lists of
/// dialogs/InputHistory.h); the editor's search shares it with the viewer's.
constexpr int ViewerSearchHistory = 1;

/// What the search dialog asks for; the viewer and the editor keep one for
/// the whole program run.
struct TViewerSearch {
  Westring text;
  bool caseSensitive = false, reverse = false, wholeWord = false;
};

class Dialog;

/// The three options of a search dialog as its check boxes bind them.
struct TSearchOptionBoxes {
  uint8_t caseSensitive, reverse, wholeWord;
  explicit TSearchOptionBoxes(const TViewerSearch& search);
  /// "Case Sensitive", "Reverse" and "Whole Word" in rows 0 to 2 at col.
  void AddTo(Dialog& dialog, int col);
  void StoreIn(TViewerSearch* search) const;
};

/// The search dialog (65x7: "Search for:" with input history, field width 40, OK (Enter)
/// and Cancel (Esc), check boxes "Case Sensitive", "Reverse", "Whole Word" at column 43).
/// Starts from *search; true with *search updated on OK; false, *search unchanged, on
/// Esc/Cancel. An accepted text goes into the field's input history.
bool AskViewerSearch(TViewerSearch* search);

/// " Goto Line " (27x5, "Line to go to:", an 8-digit integer field that starts with
/// *line). True with *line on Enter; false, *line unchanged, on Esc.
bool AskGotoLine(int32_t* line);

/// " Goto Offset " (35x5, "Offset to go to: 0x", a 12-column field of up to 16
/// characters read as hex up to the first non-hex character). The field starts with
/// *offset in hex, or empty when *offset is negative. True with *offset on Enter (0 for
/// a text without a leading hex digit; a value past the 64-bit range stays at
/// INT64_MAX); false, *offset unchanged, on Esc.
bool AskGotoOffset(int64_t* offset);

/// The value of text read as hexadecimal up to its first non-hex character, held at
/// INT64_MAX when it does not fit: "1f zz" is 0x1f, "" and "zz" are 0.
int64_t ParseHexPrefix(const Westring& text);

/// " Code Page Translation " (32x5, "Code Page List:", a 12-column string field holding
/// *list). True with *list updated on Enter; Esc changes nothing.
bool AskCodePageList(Estring* list);

/// The Alt-T cycle over a comma-separated code-page list: returns the next code page
/// (0 = the default text code page) and advances *cursor (the index of the next entry;
/// a used-up list starts again at 0 after returning the default). An entry equal to
/// defaultCodePage means 0. A number that is not a known code page (foundation/CodePage.h
/// IsCodePageAvailable) means 0 and sets *invalid, so the caller shows "Invalid code
/// page"; otherwise *invalid is cleared (invalid may be null). An empty entry ends the
/// list like its end does, and a cursor outside the list counts as used up. Cycle for
/// "1251,866": 1251, 866, 0, 1251, ...
int NextTranslateCodePage(const Estring& list, int* cursor, int defaultCodePage, bool* invalid);
