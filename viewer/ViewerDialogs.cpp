#include "viewer/ViewerDialogs.h"

#include <cstdlib>

#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "foundation/CodePage.h"

namespace {

constexpr int kThirdDown = -3;

constexpr int kSearchWidth = 65, kSearchHeight = 7;
constexpr int kSearchFieldWidth = 40, kSearchMaxLength = 255;
constexpr int kSearchBoxColumn = 43;

// The one-field dialogs: the label and the field share the middle row.
constexpr int kOneFieldHeight = 5, kOneFieldRow = 1;
constexpr int kGotoLineWidth = 27, kGotoLineDigits = 8;
constexpr int kGotoOffsetWidth = 35, kGotoOffsetFieldWidth = 12, kGotoOffsetLength = 16;
constexpr int kCodePageListWidth = 32, kCodePageListFieldWidth = 12, kCodePageListLength = 255;

// Titles a one-field dialog and writes the field's label; returns the
// column just after the label.
int DrawTitleAndLabel(Dialog& dialog, const char* title, const char* label) {
  dialog.DrawTitle(Westring(title));
  dialog.WriteText(1, kOneFieldRow, label, dialog.NormalColour());
  return dialog.CursorColumn();
}

int HexDigitValue(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

}  // namespace

TSearchOptionBoxes::TSearchOptionBoxes(const TViewerSearch& search)
    : caseSensitive(search.caseSensitive), reverse(search.reverse), wholeWord(search.wholeWord) {}

void TSearchOptionBoxes::AddTo(Dialog& dialog, int col) {
  dialog.AddCheckBox(col, 0, true, &caseSensitive, "_Case Sensitive", true);
  dialog.AddCheckBox(col, 1, true, &reverse, "_Reverse", true);
  dialog.AddCheckBox(col, 2, true, &wholeWord, "_Whole Word", true);
}

void TSearchOptionBoxes::StoreIn(TViewerSearch* search) const {
  search->caseSensitive = caseSensitive != 0;
  search->reverse = reverse != 0;
  search->wholeWord = wholeWord != 0;
}

bool AskViewerSearch(TViewerSearch* search) {
  Westring text = search->text;
  TSearchOptionBoxes options(*search);
  Dialog dialog(-1, kThirdDown, kSearchWidth, kSearchHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::ViewerSearch);
  dialog.WriteText(1, 0, "Search for:", dialog.NormalColour());
  dialog.AddStringField(1, 1, true, &text, kSearchFieldWidth, kSearchMaxLength,
                        ViewerSearchHistory);
  options.AddTo(dialog, kSearchBoxColumn);
  dialog.AddOkCancel(-1, -1);
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  search->text = text;
  options.StoreIn(search);
  return true;
}

bool AskGotoLine(int32_t* line) {
  int32_t value = *line;
  Dialog dialog(-1, kThirdDown, kGotoLineWidth, kOneFieldHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::ViewerGoto);
  const int col = DrawTitleAndLabel(dialog, " Goto Line ", "Line to go to:");
  dialog.AddIntegerField(col + 1, kOneFieldRow, true, &value, kGotoLineDigits);
  if (dialog.Run() != DialogResult::Ok) return false;
  *line = value;
  return true;
}

int64_t ParseHexPrefix(const Westring& text) {
  uint64_t value = 0;
  constexpr uint64_t kLimit = static_cast<uint64_t>(INT64_MAX);
  for (int i = 0; i < text.Length(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    if (value > (kLimit - static_cast<uint64_t>(digit)) / 16) return INT64_MAX;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(value);
}

bool AskGotoOffset(int64_t* offset) {
  Westring text = *offset >= 0 ? Westring(Estring::FromInt64(*offset, 16).c_str()) : Westring();
  Dialog dialog(-1, kThirdDown, kGotoOffsetWidth, kOneFieldHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::ViewerGoto);
  const int col = DrawTitleAndLabel(dialog, " Goto Offset ", "Offset to go to: 0x");
  dialog.AddStringField(col, kOneFieldRow, true, &text, kGotoOffsetFieldWidth, kGotoOffsetLength);
  if (dialog.Run() != DialogResult::Ok) return false;
  *offset = ParseHexPrefix(text);
  return true;
}

bool AskCodePageList(Estring* list) {
  Westring text = Westring::FromUtf8(list->c_str());
  Dialog dialog(-1, kThirdDown, kCodePageListWidth, kOneFieldHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::CodePages);
  const int col = DrawTitleAndLabel(dialog, " Code Page Translation ", "Code Page List:");
  dialog.AddStringField(col + 1, kOneFieldRow, true, &text, kCodePageListFieldWidth,
                        kCodePageListLength);
  if (dialog.Run() != DialogResult::Ok) return false;
  *list = text.ToUtf8();
  return true;
}

int NextTranslateCodePage(const Estring& list, int* cursor, int defaultCodePage, bool* invalid) {
  if (invalid) *invalid = false;
  // Find entry *cursor: the text between its comma and the next.
  const char* entry = list.c_str();
  for (int i = 0; i < *cursor && *entry; ++i) {
    while (*entry && *entry != ',') ++entry;
    if (*entry == ',') ++entry;
  }
  const char* end = entry;
  while (*end && *end != ',') ++end;
  Estring field;
  field.Assign(entry, static_cast<int>(end - entry));
  field.Trim();
  if (*cursor < 0 || field.IsEmpty()) {
    *cursor = 0;
    return 0;
  }
  ++*cursor;
  const int codePage = atoi(field.c_str());
  if (codePage == defaultCodePage) return 0;
  if (codePage <= 0 || !IsCodePageAvailable(codePage)) {
    if (invalid) *invalid = true;
    return 0;
  }
  return codePage;
}
