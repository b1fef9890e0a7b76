#include "dialogs/StringField.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/InputHistory.h"
#include "dialogs/Look.h"

namespace {

constexpr int kUnlimitedLength = 32767;
constexpr int kMaxIntegerDigits = 18;
constexpr int kFocusCursorSize = 15;
constexpr int kHistoryRows = 6;
constexpr wchar_t kHistoryMark = 0x2193;

bool IsBlank(wchar_t ch) { return iswspace(static_cast<wint_t>(ch)) != 0; }

uint8_t Inverted(uint8_t attr) { return static_cast<uint8_t>(attr << 4 | attr >> 4); }

}  // namespace

StringField::StringField(Dialog* dialog, int col, int row, bool newGroup, Westring* text, int width,
                         int maxLength, int history)
    : DialogElement(dialog, col, row, newGroup),
      m_text(text),
      m_width(std::max(1, width)),
      m_maxLength(maxLength < 0 ? kUnlimitedLength : maxLength),
      m_history(history) {
  m_focusable = true;
  if (m_text) m_cursor = m_text->Length();
}

int StringField::SelectionStart() const { return m_selecting ? std::min(m_anchor, m_cursor) : m_cursor; }
int StringField::SelectionEnd() const { return m_selecting ? std::max(m_anchor, m_cursor) : m_cursor; }

// --- Drawing -------------------------------------------------------------------

void StringField::ScrollToCursor() {
  if (m_cursor < m_offset) m_offset = m_cursor;
  if (m_cursor > m_offset + m_width - ScrollSlack()) m_offset = m_cursor - m_width + ScrollSlack();
  m_offset = std::max(0, m_offset);
}

void StringField::Draw() {
  m_cursor = std::min(m_cursor, m_text->Length());
  ScrollToCursor();
  const uint8_t attr = m_dialog->FocusColour();
  const Westring visible = m_text->Mid(m_offset, m_width).FitLeft(m_width);
  m_dialog->WriteText(m_col, m_row, visible.c_str(), attr);
  if (HasFocus() && SelectionStart() < SelectionEnd()) {
    const int from = std::max(SelectionStart(), m_offset);
    const int to = std::min(SelectionEnd(), m_offset + m_width);
    if (from < to)
      m_dialog->WriteText(m_col + from - m_offset, m_row, m_text->Mid(from, to - from).c_str(),
                          Inverted(attr));
  }
  if (HasHistory()) {
    const wchar_t mark[] = {kHistoryMark, 0};
    m_dialog->WriteText(m_col + m_width, m_row, mark, m_dialog->NormalColour());
  }
  if (HasFocus()) {
    m_dialog->PlaceCursor(m_col + m_cursor - m_offset, m_row);
    g_console->SetCursorSize(kFocusCursorSize);
  }
}

void StringField::SetFocus(bool focused) {
  if (focused) {
    m_replaceOnFirstKey = true;
    m_quoteNext = false;
    m_selecting = false;
    m_cursor = m_text->Length();
  } else {
    m_selecting = false;
    m_dragging = false;
    g_console->SetCursorSize(0);
  }
  Draw();
}

void StringField::Commit() {
  if (HasHistory() && !m_text->IsEmpty()) AddToHistory(*m_text, m_history);
}

// --- Editing -------------------------------------------------------------------

bool StringField::HandleEvent(const TDialogEvent& event) {
  const bool used = event.type == TDialogEvent::Key ? HandleKey(event.key) : HandleMouse(event);
  if (used) {
    Changed();
    Draw();
  }
  return used;
}

bool StringField::ReplaceSelection(const Westring& with) {
  const int from = SelectionStart(), to = SelectionEnd();
  if (m_text->Length() - (to - from) + with.Length() > m_maxLength) return false;
  *m_text = m_text->Left(from) + with + m_text->Mid(to);
  m_cursor = from + with.Length();
  m_selecting = false;
  return true;
}

void StringField::DeleteRange(int from, int to) {
  if (from >= to) return;
  *m_text = m_text->Left(from) + m_text->Mid(to);
  m_cursor = from;
  m_selecting = false;
}

void StringField::CopySelection() {
  if (SelectionStart() < SelectionEnd())
    g_console->CopyToClipboard(m_text->Mid(SelectionStart(), SelectionEnd() - SelectionStart()));
}

bool g_wordRightStopsAfterWord = true;

int WordLeftOf(const Westring& text, int at) {
  while (at > 0 && IsBlank(text[at - 1])) --at;
  while (at > 0 && !IsBlank(text[at - 1])) --at;
  return at;
}

int WordRightOf(const Westring& text, int at) {
  const int length = text.Length();
  if (g_wordRightStopsAfterWord) {
    while (at < length && IsBlank(text[at])) ++at;
    while (at < length && !IsBlank(text[at])) ++at;
  } else {
    while (at < length && !IsBlank(text[at])) ++at;
    while (at < length && IsBlank(text[at])) ++at;
  }
  return at;
}

bool StringField::Move(uint32_t key, bool extend) {
  int to;
  switch (key & ~Key::ShiftFlag) {
    case Key::Left: to = std::max(0, m_cursor - 1); break;
    case Key::Right: to = std::min(m_text->Length(), m_cursor + 1); break;
    case Key::Home: to = 0; break;
    case Key::End: to = m_text->Length(); break;
    case Key::CtrlLeft: to = WordLeftOf(*m_text, m_cursor); break;
    case Key::CtrlRight: to = WordRightOf(*m_text, m_cursor); break;
    default: return false;
  }
  if (extend && !m_selecting) {
    m_selecting = true;
    m_anchor = m_cursor;
  } else if (!extend) {
    m_selecting = false;
  }
  m_cursor = to;
  return true;
}

bool StringField::HandleKey(uint32_t key) {
  const bool firstKey = m_replaceOnFirstKey;
  m_replaceOnFirstKey = false;
  if (m_quoteNext && key < 0x20) {
    m_quoteNext = false;
    const wchar_t ch = static_cast<wchar_t>(key);
    if (Accepts(ch)) ReplaceSelection(Westring(1, ch));
    return true;
  }
  m_quoteNext = false;
  switch (key) {
    case Key::CtrlQ: m_quoteNext = true; return true;
    case Key::BackSpace:
      if (SelectionStart() < SelectionEnd()) DeleteRange(SelectionStart(), SelectionEnd());
      else DeleteRange(std::max(0, m_cursor - 1), m_cursor);
      return true;
    case Key::Delete:
      if (SelectionStart() < SelectionEnd()) DeleteRange(SelectionStart(), SelectionEnd());
      else DeleteRange(m_cursor, std::min(m_text->Length(), m_cursor + 1));
      return true;
    case Key::CtrlBackSpace: DeleteRange(WordLeftOf(*m_text, m_cursor), m_cursor); return true;
    case Key::CtrlDelete: DeleteRange(m_cursor, WordRightOf(*m_text, m_cursor)); return true;
    case Key::CtrlC:
    case Key::CtrlInsert: CopySelection(); return true;
    case Key::CtrlX:
    case Key::ShiftDelete:
      CopySelection();
      DeleteRange(SelectionStart(), SelectionEnd());
      return true;
    case Key::CtrlV:
    case Key::ShiftInsert: {
      // Only the first line fits a one-line field.
      Westring pasted = g_console->PasteFromClipboard();
      const int end = pasted.Find(L'\n');
      if (end >= 0) pasted = pasted.Left(end);
      const wchar_t* chars = pasted.c_str();
      if (std::all_of(chars, chars + pasted.Length(), [this](wchar_t ch) { return Accepts(ch); }))
        ReplaceSelection(pasted);
      return true;
    }
    case Key::AltDown: OpenHistory(); return true;
    default: break;
  }
  if (Move(key, (key & Key::ShiftFlag) != 0)) return true;
  const bool printable = key >= 0x20 && key < Key::Extended && key != Key::CtrlBackSpace;
  if (!printable) {
    m_replaceOnFirstKey = firstKey;  // keys the dialog handles keep the field fresh
    return false;
  }
  const wchar_t ch = static_cast<wchar_t>(key);
  if (!Accepts(ch)) {
    m_replaceOnFirstKey = firstKey;  // a refused character is not the first key
    return true;
  }
  if (firstKey) {
    // The first character typed into a freshly focused field replaces it all.
    m_selecting = true;
    m_anchor = 0;
    m_cursor = m_text->Length();
  }
  ReplaceSelection(Westring(1, ch));
  return true;
}

// --- Mouse and history ------------------------------------------------------------

bool StringField::HandleMouse(const TDialogEvent& event) {
  if (event.type == TDialogEvent::LeftPress && HasHistory() && event.row == m_row &&
      event.col == m_col + m_width) {
    m_dialog->SetFocusTo(m_index);
    OpenHistory();
    return true;
  }
  const int at = std::min(m_text->Length(), m_offset + std::max(0, event.col - m_col));
  switch (event.type) {
    case TDialogEvent::LeftPress:
      if (!Hits(event, m_width)) return false;
      m_dialog->SetFocusTo(m_index);
      m_replaceOnFirstKey = false;
      m_cursor = m_anchor = at;
      m_selecting = false;
      m_dragging = true;
      return true;
    case TDialogEvent::LeftDrag:
      if (!m_dragging) return false;
      m_selecting = true;
      m_cursor = at;
      return true;
    case TDialogEvent::LeftRelease:
      if (!m_dragging) return false;
      m_dragging = false;
      return true;
    default:
      return false;
  }
}

void StringField::OpenHistory() {
  WestringStore* list = InputHistory(m_history);
  if (!list || list->Count() == 0) return;
  const int left = m_dialog->OriginColumn() + m_col - 1;
  const int top = m_dialog->OriginRow() + m_row + 1;
  int selected = list->Count() - 1;
  Dialog popup(left, top, left + m_width + 1, top + kHistoryRows + 1, Colour(ColourClass::Menu));
  popup.AddListBox(0, 0, true, m_width, kHistoryRows, list, &selected, 0);
  if (popup.Run() != DialogResult::Ok || selected < 0 || selected >= list->Count()) return;
  *m_text = list->At(selected)->Left(m_maxLength);
  m_cursor = m_text->Length();
  m_selecting = false;
  m_replaceOnFirstKey = false;
  g_console->SetCursorSize(kFocusCursorSize);
}

int Dialog::AddStringField(int col, int row, bool newGroup, Westring* text, int width,
                           int maxLength, int history) {
  return Added(new StringField(this, col, row, newGroup, text, width, maxLength, history));
}

// --- IntegerField ----------------------------------------------------------------

IntegerField::IntegerField(Dialog* dialog, int col, int row, bool newGroup, int32_t* value,
                           int width, bool keepAsTyped, int history)
    : StringField(dialog, col, row, newGroup, nullptr, width, std::min(width, kMaxIntegerDigits),
                  history),
      m_value(value),
      m_keepAsTyped(keepAsTyped),
      m_own(Estring::FromInt(*value).c_str()) {
  m_text = &m_own;
  m_cursor = m_own.Length();
}

void IntegerField::Changed() { *m_value = atoi(m_own.ToUtf8().c_str()); }

void IntegerField::Draw() {
  const bool keep = m_keepAsTyped && atoi(m_own.ToUtf8().c_str()) == *m_value;
  if (!keep) m_own = Westring(Estring::FromInt(*m_value).c_str());
  StringField::Draw();
}

int Dialog::AddIntegerField(int col, int row, bool newGroup, int32_t* value, int width,
                            bool keepAsTyped, int history) {
  return Added(new IntegerField(this, col, row, newGroup, value, width, keepAsTyped, history));
}
