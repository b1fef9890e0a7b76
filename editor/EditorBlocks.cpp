// Changes as undoable steps, and what works on the block: cut, copy, paste
// through the program's clipboard and the desktop's, block indentation,
// bracket matching and bookmarks.
#include <algorithm>
#include <cstring>
#include <memory>

#include "config/Settings.h"
#include "editor/Editor.h"

namespace VKEditor {

namespace {

const wchar_t kOpenBrackets[] = L"([{<";
const wchar_t kCloseBrackets[] = L")]}>";

// Lines split at "\n", a CR before it dropped.
std::vector<Westring> SplitIntoLines(const Westring& text) {
  std::vector<Westring> lines(1);
  for (int i = 0; i < text.Length(); ++i) {
    if (text[i] == L'\n') {
      lines.emplace_back();
    } else if (text[i] != L'\r' || i + 1 >= text.Length() || text[i + 1] != L'\n') {
      lines.back() += Westring(1, text[i]);
    }
  }
  return lines;
}

Westring JoinLines(const std::vector<Westring>& lines) {
  Westring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

std::vector<Westring>& EditorClipboard() {
  static std::vector<Westring> clipboard;
  return clipboard;
}

// The text goes in at the region's end before the region goes, so a line
// that would grow too long refuses the change before anything moved.
bool CEditor::ReplaceText(const TTextRegion& region, const Westring& text,
                          const TTextPos* cursorAfter) {
  if (!region.present && text.IsEmpty()) return false;
  auto item = std::make_unique<UndoItem>();
  item->cursor = m_text.CursorPos();
  item->text = m_text.RegionText(region);
  const TTextPos start = region.start;
  const TTextPos end = region.present ? region.end : region.start;
  TTextPos inserted = end;
  if (!text.IsEmpty() && m_text.InsertText(end, text, &inserted) != 0) return false;
  if (region.present) {
    if (m_text.DeleteRegion({start, end, true}) != 0) return false;
    if (inserted.line == end.line) inserted.index = start.index + (inserted.index - end.index);
    inserted.line -= end.line - start.line;
  }
  item->region = {start, inserted, inserted != start};
  // The block's places no longer hold; a command that keeps one marks it anew.
  DropBlock();
  MoveTo(cursorAfter ? *cursorAfter : inserted);
  // Undo applies at once from where the change leaves the cursor and puts
  // the cursor back where it was before.
  item->position = m_text.CursorPos();
  m_text.PushUndo(item.release());
  m_syntax.ForgetFrom(start.line + 1);
  return true;
}

TTextRegion CEditor::BlockRegion() {
  const TEditorBlock& block = m_text.Block();
  if (!block.present || block.end.line >= m_text.LineCount()) return {};
  TTextPos start = block.start, end = block.end;
  start.index = std::min(start.index, LineLength(start.line));
  end.index = std::min(end.index, LineLength(end.line));
  return {start, end, start != end};
}

void CEditor::DropBlock() {
  m_text.Block().present = false;
  m_marking = false;
}

void CEditor::CopyBlock() {
  const TTextRegion region = BlockRegion();
  if (!region.present) return;
  const Westring text = m_text.RegionText(region);
  EditorClipboard() = SplitIntoLines(text);
  g_console->CopyToClipboard(text);
}

void CEditor::CutBlock() {
  if (!BlockRegion().present) return;
  CopyBlock();
  DeleteBlock();
}

void CEditor::DeleteBlock() {
  const TTextRegion region = BlockRegion();
  DropBlock();
  if (!region.present) return;
  MoveTo(region.start);
  (void)ReplaceText(region, Westring(), &region.start);
}

// The desktop's clipboard when it holds text (which a copy here put there
// too), else the program's own lines.
void CEditor::Paste() {
  Westring text = g_console->PasteFromClipboard();
  if (text.IsEmpty())
    text = JoinLines(EditorClipboard());
  else
    EditorClipboard() = SplitIntoLines(text);
  if (text.IsEmpty()) return;
  const TTextPos at = m_text.CursorPos();
  (void)ReplaceText({at, at, false}, JoinLines(EditorClipboard()));
}

// The leading blanks of the block's lines (or the cursor line) become that
// many columns plus or minus IndentWidth of spaces, as one change. Lines
// without text, and lines that would go below column 0, stay as they are.
void CEditor::IndentLines(int direction) {
  const TEditorBlock& block = m_text.Block();
  int first = CursorLine(), last = first;
  if (block.present) {
    first = block.start.line;
    last = block.end.index == 0 && block.end.line > first ? block.end.line - 1 : block.end.line;
  }
  const int step = std::max(1, static_cast<int>(g_settings.indentWidth)) * direction;
  std::vector<Westring> lines;
  bool changed = false;
  int cursorShift = 0;
  for (int line = first; line <= last; ++line) {
    const wchar_t* text = m_text.LineText(line);
    const int length = LineLength(line);
    int lead = 0;
    while (lead < length && (text[lead] == L' ' || text[lead] == L'\t')) ++lead;
    const int columns = ColumnOf(line, lead) + step;
    Westring result(text);
    if (lead < length && columns >= 0) {
      result = Westring(columns, L' ');
      result.Append(text + lead, length - lead);
      changed = true;
      if (line == CursorLine()) cursorShift = columns - lead;
    }
    lines.push_back(result);
  }
  if (!changed) return;
  const TTextPos cursor{std::max(0, CursorIndex() + cursorShift), CursorLine()};
  const TEditorBlock kept = block;
  const TTextRegion region{{0, first}, {LineLength(last), last}, true};
  if (!ReplaceText(region, JoinLines(lines), &cursor)) return;
  if (!kept.present) return;
  m_text.Block() = {
      true, {0, first}, kept.end.index == 0 ? kept.end : TTextPos{LineLength(last), last}};
}

// On one of "([{<" the scan runs forward for its partner, on one of ")]}>"
// backward; only brackets of the same kind count.
void CEditor::MatchBracket() {
  const int line = CursorLine(), index = CursorIndex();
  if (index >= LineLength(line)) return;
  const wchar_t ch = m_text.LineText(line)[index];
  const wchar_t* open = wcschr(kOpenBrackets, ch);
  const wchar_t* close = wcschr(kCloseBrackets, ch);
  if (ch == 0 || (!open && !close)) return;
  const int kind = static_cast<int>(open ? open - kOpenBrackets : close - kCloseBrackets);
  const int forward = open ? 1 : -1;
  int depth = 0;
  for (int l = line; l >= 0 && l < m_text.LineCount(); l += forward) {
    const wchar_t* text = m_text.LineText(l);
    const int length = LineLength(l);
    int i = l == line ? index : (forward > 0 ? 0 : length - 1);
    for (; i >= 0 && i < length; i += forward) {
      if (text[i] == kOpenBrackets[kind])
        depth += forward;
      else if (text[i] == kCloseBrackets[kind])
        depth -= forward;
      if (depth == 0) {
        MoveTo({i, l});
        return;
      }
    }
  }
}

void CEditor::SetBookmark(int number) {
  const TTextPos at = m_text.CursorPos();
  m_text.Bookmarks()[number] = {at.index, at.line};
}

void CEditor::GoToBookmark(int number) {
  const TFileBookmark& mark = m_text.Bookmarks()[number];
  if (mark.position < 0) return;
  DropBlock();
  MoveTo({static_cast<int>(mark.position), static_cast<int>(mark.line)});
}

}  // namespace VKEditor
