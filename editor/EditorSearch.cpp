// Search and replace in the editor: the replace dialog, the walk over the
// lines with case folding and whole words, the " String Found " question.
// The search text and its options are the viewer's, so a search set up in
// one is repeated in the other.
#include <algorithm>
#include <cwctype>

#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/Win.h"
#include "editor/Editor.h"
#include "foundation/Estring.h"
#include "viewer/ViewerDialogs.h"
#include "viewer/ViewerSession.h"

namespace VKEditor {

namespace {

constexpr int kDialogWidth = 65, kSearchHeight = 7, kReplaceHeight = 9;
constexpr int kFieldWidth = 40, kFieldMaxLength = 255, kCheckBoxColumn = 43;
constexpr int kThirdDown = -3;
constexpr int kFoundWidth = 48, kFoundHeight = 4;
// Esc is looked at once per this many lines searched.
constexpr int kLinesBetweenEscChecks = 4096;
constexpr int kSkip = 's', kReplace = 'r', kAll = 'a';

Westring& LastReplacement() {
  static Westring text;
  return text;
}

void ShowMessage(const Westring& text) {
  MessageBox(text, Westring(), MessageStyle::Ok | MessageStyle::Messages);
}

// " Search for:" and " Replace with:" over the shared options; true on OK.
bool AskReplaceOptions(TViewerSearch* search, Westring* with) {
  Westring text = search->text, replacement = *with;
  TSearchOptionBoxes options(*search);
  Dialog dialog(-1, kThirdDown, kDialogWidth, kReplaceHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::EditorSearch);
  dialog.WriteText(1, 0, "Search for:", dialog.NormalColour());
  dialog.AddStringField(1, 1, true, &text, kFieldWidth, kFieldMaxLength, ViewerSearchHistory);
  dialog.WriteText(1, 2, "Replace with:", dialog.NormalColour());
  dialog.AddStringField(1, 3, true, &replacement, kFieldWidth, kFieldMaxLength,
                        EditorReplaceHistory);
  options.AddTo(dialog, kCheckBoxColumn);
  dialog.AddOkCancel(-1, -1);
  dialog.SetHotKeyList("spo", 3);
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  search->text = text;
  options.StoreIn(search);
  *with = replacement;
  return true;
}

}  // namespace

void CEditor::SearchDialog() {
  TViewerSearch asked = ViewerSession().search;
  if (!AskViewerSearch(&asked)) return;
  ViewerSession().search = asked;
  if (!asked.text.IsEmpty())
    (void)SearchAndMark(asked.reverse, asked.text, asked.caseSensitive, asked.wholeWord);
}

void CEditor::RepeatSearch(bool otherDirection) {
  const TViewerSearch& search = ViewerSession().search;
  if (search.text.IsEmpty()) {
    SearchDialog();
    return;
  }
  (void)SearchAndMark(search.reverse != otherDirection, search.text, search.caseSensitive,
                      search.wholeWord);
}

// Alt-, and Alt-.: the word under the cursor as a whole word, the dialog's
// options left as they were.
void CEditor::SearchWordAtCursor(bool reverse) {
  const int line = CursorLine(), length = LineLength(line);
  const wchar_t* text = m_text.LineText(line);
  int start = std::min(CursorIndex(), length), end = start;
  while (start > 0 && IsWordChar(text[start - 1])) --start;
  while (end < length && IsWordChar(text[end])) ++end;
  if (end == start) return;
  Westring word;
  word.Assign(text + start, end - start);
  MoveTo({start, line});
  m_text.Block() = {true, {start, line}, {end, line}};
  (void)SearchAndMark(reverse, word, ViewerSession().search.caseSensitive, true);
}

// The next hit from from: forward from from's index on, backward from
// before it. False without a hit or when Esc stopped the walk.
bool CEditor::FindFrom(TTextPos from, bool reverse, const Westring& pattern, bool caseSensitive,
                       bool wholeWord, TTextPos* hit) {
  const int n = pattern.Length();
  auto same = [caseSensitive](wchar_t a, wchar_t b) {
    return a == b ||
           (!caseSensitive && towlower(static_cast<wint_t>(a)) == towlower(static_cast<wint_t>(b)));
  };
  auto matchesAt = [&](const wchar_t* text, int length, int i) {
    for (int k = 0; k < n; ++k)
      if (!same(text[i + k], pattern[k])) return false;
    if (!wholeWord) return true;
    return (i == 0 || !IsWordChar(text[i - 1])) && (i + n >= length || !IsWordChar(text[i + n]));
  };
  const int step = reverse ? -1 : 1;
  for (int line = from.line, walked = 0; line >= 0 && line < m_text.LineCount();
       line += step, ++walked) {
    if (walked % kLinesBetweenEscChecks == kLinesBetweenEscChecks - 1 && g_console->EscPressed())
      return false;
    const wchar_t* text = m_text.LineText(line);
    const int length = LineLength(line);
    if (!reverse) {
      for (int i = line == from.line ? from.index : 0; i + n <= length; ++i)
        if (matchesAt(text, length, i)) return *hit = {i, line}, true;
    } else {
      for (int i = std::min(length - n, line == from.line ? from.index - 1 : length); i >= 0; --i)
        if (matchesAt(text, length, i)) return *hit = {i, line}, true;
    }
  }
  return false;
}

// FindFrom with "Searching..." in a small window while it walks.
bool CEditor::FindShowingWork(TTextPos from, bool reverse, const Westring& pattern,
                              bool caseSensitive, bool wholeWord, TTextPos* hit) {
  Win searching(-1, -1, 20, 3, Colour(ColourClass::Messages), Colour(ColourClass::Messages), true);
  searching.WriteText(3, 0, L"Searching...", Colour(ColourClass::Messages));
  return FindFrom(from, reverse, pattern, caseSensitive, wholeWord, hit);
}

// Searches from the cursor (past a hit the cursor already stands on) and
// marks the hit as the block; "String not found" otherwise.
bool CEditor::SearchAndMark(bool reverse, const Westring& pattern, bool caseSensitive,
                            bool wholeWord) {
  TTextPos from = m_text.CursorPos();
  const TEditorBlock& block = m_text.Block();
  if (!reverse && block.present && block.start == from) ++from.index;
  TTextPos hit;
  if (!FindShowingWork(from, reverse, pattern, caseSensitive, wholeWord, &hit)) {
    ShowMessage(Westring("String not found"));
    return false;
  }
  MoveTo(hit);
  m_text.Block() = {true, hit, {hit.index + pattern.Length(), hit.line}};
  m_marking = false;
  return true;
}

void CEditor::ReplaceDialog() {
  TViewerSearch asked = ViewerSession().search;
  if (!AskReplaceOptions(&asked, &LastReplacement())) return;
  ViewerSession().search = asked;
  if (!asked.text.IsEmpty()) ReplaceAll(asked.text, LastReplacement());
}

// Every hit from the cursor on, each asked about until "All"; a
// replacement resumes after the text put in, so a replacement that
// contains the search text still ends.
void CEditor::ReplaceAll(const Westring& pattern, const Westring& with) {
  const TViewerSearch& search = ViewerSession().search;
  TTextPos from = m_text.CursorPos();
  TTextPos hit;
  bool all = false, anyHit = false;
  int replaced = 0;
  while (FindShowingWork(from, search.reverse, pattern, search.caseSensitive, search.wholeWord,
                         &hit)) {
    anyHit = true;
    const TTextPos end{hit.index + pattern.Length(), hit.line};
    MoveTo(hit);
    m_text.Block() = {true, hit, end};
    int answer = kAll;
    if (!all) {
      Draw();
      answer = AskReplaceHit();
    }
    if (answer == DialogResult::Cancel) break;
    all = answer == kAll;
    from = search.reverse ? hit : end;
    if (answer == kSkip) continue;
    if (ReplaceText({hit, end, true}, with)) {
      ++replaced;
      if (!search.reverse) from = {hit.index + with.Length(), hit.line};
    }
  }
  DropBlock();
  if (!anyHit) {
    ShowMessage(Westring("String not found"));
    return;
  }
  ShowMessage(Westring(Estring::Format("%d", replaced).c_str()) + L" replacements");
}

// " String Found ": Replace, Skip, Cancel or All, away from the cursor row.
int CEditor::AskReplaceHit() {
  const int cursorScreenRow = m_text.View().cursorRow + 1;
  const int top =
      cursorScreenRow < g_console->Lines() / 2 ? g_console->Lines() - kFoundHeight - 2 : 2;
  Dialog dialog(-1, top, kFoundWidth, top + kFoundHeight - 1, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::EditorSearch);
  dialog.DrawTitle(Westring(" String Found "));
  static const TButtonSpec kButtons[] = {{kReplace, "_Replace"},
                                         {kSkip, "_Skip"},
                                         {DialogResult::Cancel, "Cancel"},
                                         {kAll, "_All"},
                                         {0, nullptr}};
  dialog.AddButtonRow(-1, 0, kButtons);
  return dialog.Run();
}

}  // namespace VKEditor
