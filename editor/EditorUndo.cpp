// Undo and redo: every change is kept as the item that reverses it, and
// applying an item yields the item that reverses that in turn.
#include <memory>

#include "editor/EditorText.h"

namespace VKEditor {

namespace {

// Lines of an item's text and the length of its last line.
void MeasureText(const Westring& text, int* lines, int* lastLength) {
  const wchar_t* s = text.c_str();
  int count = 1;
  const wchar_t* last = s;
  for (const wchar_t* p = s; *p; ++p) {
    if (*p != L'\n') continue;
    ++count;
    last = p + 1;
  }
  *lines = count;
  *lastLength = text.Length() - static_cast<int>(last - s);
}

}  // namespace

void CEditorText::PushUndo(UndoItem* item) {
  // The text on disk lay among the redo items, which this change discards.
  if (m_savedDepth > m_undo.Count()) m_savedDepth = -1;
  m_redo.Clear();
  AdjustBookmarks(*item);
  if (m_undo.Push(item) && m_savedDepth >= 0) --m_savedDepth;
  m_flags.modified = true;
}

bool CEditorText::Undo() {
  if (!m_undo.Top()) return false;
  ApplyItem(m_undo, m_redo);
  return true;
}

bool CEditorText::Redo() {
  if (!m_redo.Top()) return false;
  ApplyItem(m_redo, m_undo);
  return true;
}

void CEditorText::MarkSaved() {
  m_savedDepth = m_undo.Count();
  m_flags.modified = false;
}

void CEditorText::ApplyItem(TUndoStack& from, TUndoStack& to) {
  const UndoItem& item = *from.Top();
  if (CursorPos() != item.position) {
    MoveCursorTo(item.position);
    return;
  }
  auto inverse = std::make_unique<UndoItem>();
  // The inverse applies where this item leaves the cursor and returns it
  // to where this item applied, so undo and redo each take one press.
  inverse->position = item.cursor;
  inverse->cursor = item.position;
  inverse->text = RegionText(item.region);
  const TTextPos at = item.region.present ? item.region.start : item.position;
  TTextPos end = at;
  if (DeleteRegion(item.region) != 0 || InsertText(at, item.text, &end) != 0) {
    // Only an exhausted pool gets here; the item stays for another try.
    MoveCursorTo(item.position);
    return;
  }
  inverse->region = {at, end, end != at};
  MoveCursorTo(item.cursor);
  AdjustBookmarks(*inverse);
  delete from.Pop();

  const bool toUndo = &to == &m_undo;
  if (to.Push(inverse.release()) && toUndo && m_savedDepth >= 0) --m_savedDepth;
  m_flags.modified = m_undo.Count() != m_savedDepth;
  m_flags.fullRedraw = true;
}

void CEditorText::AdjustBookmarks(const UndoItem& item) {
  const TTextPos start = item.region.present ? item.region.start : item.position;
  const TTextPos end = item.region.present ? item.region.end : start;
  int removedLines = 0, lastLength = 0;
  MeasureText(item.text, &removedLines, &lastLength);
  for (TFileBookmark& mark : m_bookmarks) {
    if (mark.position < 0) continue;
    if (mark.line > start.line) {
      mark.line += (end.line - start.line) - (removedLines - 1);
    } else if (mark.line == start.line && mark.position > start.index) {
      mark.line = end.line - (removedLines - 1);
      mark.position = end.index + (mark.position - start.index) - lastLength;
    }
  }
}

}  // namespace VKEditor
