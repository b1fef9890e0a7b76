// Where an editor key press goes: the dispatch of every key, cursor
// movement with its scrolling, typing, line splits and joins, marking with
// Shift and the mouse.
#include <algorithm>
#include <cwctype>

#include "config/Settings.h"
#include "console/KeyCodes.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "editor/SaveAsDialog.h"

namespace VKEditor {

namespace {

constexpr int kScrollStep = 4;
// Scrolled sideways, a line keeps more than this many columns in view.
constexpr int kMinVisibleTail = 7;
constexpr int kWheelRows = 3;
constexpr int kFirstRepeatPauseMs = 200;

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }

int LeadingBlanks(const wchar_t* text, int length) {
  int n = 0;
  while (n < length && IsBlank(text[n])) ++n;
  return n;
}

// Ctrl with a keypad digit moves as the Ctrl key of the same keypad place
// (7 Home, 9 PgUp, 1 End, 3 PgDn, 4 Left, 6 Right); 0 for the other digits.
constexpr uint32_t kKeypadMoves[10] = {
    0, Key::CtrlEnd,   0, Key::CtrlPageDown, Key::CtrlLeft, 0, Key::CtrlRight, Key::CtrlHome,
    0, Key::CtrlPageUp};

uint32_t KeypadMovement(uint32_t key) {
  const bool shifted = key >= Key::ShiftCtrlKeypad0 && key <= Key::ShiftCtrlKeypad0 + 9;
  if (!shifted && (key < Key::CtrlKeypad0 || key > Key::CtrlKeypad0 + 9)) return key;
  const uint32_t moved = kKeypadMoves[key - (shifted ? Key::ShiftCtrlKeypad0 : Key::CtrlKeypad0)];
  if (moved == 0) return key;
  return shifted ? moved | Key::ShiftFlag : moved;
}

bool IsMovementKey(uint32_t key) {
  switch (key) {
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
    case Key::PageUp:
    case Key::PageDown:
    case Key::Home:
    case Key::End:
    case Key::CtrlLeft:
    case Key::CtrlRight:
    case Key::CtrlHome:
    case Key::CtrlEnd:
    case Key::CtrlPageUp:
    case Key::CtrlPageDown:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CEditor::HandleKey(uint32_t key, const TMouseRecord& mouse) {
  // A modifier going down or up is no key: Shift moves go on with the same
  // block, and Ctrl-Q still waits for its key.
  if (key == Key::ModifierChange) return true;
  if (m_literalNext) {
    m_literalNext = false;
    if (key < Key::Extended) TypeChar(static_cast<wchar_t>(key));
    Draw();
    return true;
  }
  key = KeypadMovement(key);
  const uint32_t unshifted = key & ~Key::ShiftFlag;
  if ((key & Key::ShiftFlag) && IsMovementKey(unshifted)) {
    MarkTo(unshifted);
  } else if (key == Key::Mouse) {
    m_marking = false;
    HandleMouse(mouse);
  } else {
    m_marking = false;
    if (!HandleMovement(key)) HandleEditKey(key);
  }
  if (!m_quit) Draw();
  return !m_quit;
}

// The keys that change the text or run a command; quitting sets m_quit.
void CEditor::HandleEditKey(uint32_t key) {
  switch (key) {
    case Key::CtrlQ:
      m_literalNext = true;
      break;
    case Key::Enter:
      Enter(g_settings.autoIndent);
      break;
    case Key::AltEnter:
      MoveTo({LineLength(CursorLine()), CursorLine()});
      Enter(g_settings.autoIndent);
      break;
    case Key::BackSpace:
    case Key::CtrlBackSpace:
      BackSpace();
      break;
    case Key::Delete:
      DeleteChar();
      break;
    case Key::CtrlDelete:
      CtrlDelete();
      break;
    case Key::CtrlY:
      DeleteLine();
      break;
    case Key::GreyPlus:
      TypeChar(L'+');
      break;
    case Key::GreyMinus:
      TypeChar(L'-');
      break;
    case Key::GreyTimes:
      TypeChar(L'*');
      break;
    case Key::Tab:
      if (m_text.Block().present && m_text.Block().start.line != m_text.Block().end.line)
        IndentLines(1);
      else
        TypeChar(L'\t');
      break;
    case Key::ShiftTab:
      IndentLines(-1);
      break;
    case Key::AltRight:
      IndentLines(1);
      break;
    case Key::AltLeft:
      IndentLines(-1);
      break;
    case Key::Insert:
      g_settings.overStrike = !g_settings.overStrike;
      break;
    case Key::F4:
    case Key::CtrlX:
    case Key::ShiftDelete:
      CutBlock();
      break;
    case Key::F5:
    case Key::CtrlC:
    case Key::CtrlInsert:
    case Key::ShiftCtrlInsert:
    case Key::CtrlW:
    case Key::CtrlKeypad0:
      CopyBlock();
      break;
    case Key::F6:
    case Key::CtrlV:
    case Key::ShiftInsert:
      Paste();
      break;
    case Key::AltBackSpace:
    case Key::ShiftAltBackSpace:
      if (key == Key::AltBackSpace ? m_text.Undo() : m_text.Redo()) {
        DropBlock();
        m_syntax.ForgetFrom(0);
      }
      UpdateScroll();
      break;
    case Key::F2:
      SaveFile();
      break;
    case Key::F3:
      (void)RunSaveAsDialog(m_text);
      break;
    case Key::F7:
      SearchDialog();
      break;
    case Key::F8:
      ReplaceDialog();
      break;
    case Key::ShiftF7:
      RepeatSearch(false);
      break;
    case Key::AltF7:
      RepeatSearch(true);
      break;
    case Key::AltComma:
      SearchWordAtCursor(true);
      break;
    case Key::AltPeriod:
      SearchWordAtCursor(false);
      break;
    case Key::AltL:
      GotoLine();
      break;
    case Key::AltE:
      SelectEncoding();
      break;
    case Key::AltC:
      CodePageList();
      break;
    case Key::AltT:
      NextCodePage();
      break;
    case Key::AltU:
      m_text.Format().lineEnds = m_text.Format().lineEnds == LineEndLf ? LineEndCrLf : LineEndLf;
      m_text.Flags().modified = true;
      break;
    case Key::AltI:
      g_settings.autoIndent = !g_settings.autoIndent;
      break;
    case Key::AltLeftBracket:
    case Key::AltM:
      MatchBracket();
      break;
    case Key::AltH:
      ToggleSyntax();
      break;
    case Key::F1:
      ShowHelp(HelpTopic::Editor);
      break;
    case Key::Esc:
    case Key::F10:
      if (AskQuit()) m_quit = true;
      break;
    default:
      if (key >= Key::Alt1 && key <= Key::Alt8) {
        g_settings.tabWidth = static_cast<int>(key - Key::Alt1) + 1;
        m_text.SetTabWidth(g_settings.tabWidth);
        MoveTo(m_text.CursorPos());
      } else if (key >= Key::Ctrl0 && key <= Key::Ctrl9) {
        GoToBookmark(static_cast<int>(key - Key::Ctrl0));
      } else if (key >= (Key::Ctrl0 | Key::ShiftFlag) && key <= (Key::Ctrl9 | Key::ShiftFlag)) {
        SetBookmark(static_cast<int>(key - (Key::Ctrl0 | Key::ShiftFlag)));
      } else if (key >= Key::Space && key < Key::Extended && key != Key::CtrlBackSpace) {
        TypeChar(static_cast<wchar_t>(key));
      }
      break;
  }
}

// --- Movement -----------------------------------------------------------------------

bool CEditor::HandleMovement(uint32_t key) {
  const int line = CursorLine(), index = CursorIndex();
  const TEditorView& view = m_text.View();
  switch (key) {
    case Key::Left:
      if (index > 0)
        MoveTo({index - 1, line});
      else if (line > 0)
        MoveTo({LineLength(line - 1), line - 1});
      return true;
    case Key::Right:
      if (index < LineLength(line))
        MoveTo({index + 1, line});
      else if (line + 1 < m_text.LineCount())
        MoveTo({0, line + 1});
      return true;
    case Key::Up:
      VerticalMove(-1);
      return true;
    case Key::Down:
      VerticalMove(1);
      return true;
    case Key::PageUp:
      PageMove(-1);
      return true;
    case Key::PageDown:
      PageMove(1);
      return true;
    case Key::Home:
      MoveTo({0, line});
      return true;
    case Key::End:
      MoveTo({LineLength(line), line});
      return true;
    case Key::CtrlLeft:
      WordLeft();
      return true;
    case Key::CtrlRight:
      WordRight();
      return true;
    case Key::CtrlHome:
      MoveTo({0, view.topLine});
      return true;
    case Key::CtrlEnd: {
      const int bottom = std::min(view.topLine + Rows() - 1, m_text.LineCount() - 1);
      MoveTo({LineLength(bottom), bottom});
      return true;
    }
    case Key::CtrlPageUp:
      MoveTo({0, 0});
      return true;
    case Key::CtrlPageDown: {
      const int last = m_text.LineCount() - 1;
      MoveTo({LineLength(last), last});
      return true;
    }
    default:
      return false;
  }
}

int CEditor::ColumnOf(int line, int index) const {
  return ScreenColumnOf(m_text.LineText(line), LineLength(line), index, m_text.TabWidth());
}

// The cursor to pos (kept inside the text), the view scrolled by as little
// as brings it into sight.
void CEditor::MoveTo(TTextPos pos, bool keepTarget) {
  m_text.SetTextArea(Rows(), Columns());
  pos.line = std::clamp(pos.line, 0, m_text.LineCount() - 1);
  pos.index = std::clamp(pos.index, 0, LineLength(pos.line));
  TEditorView& view = m_text.View();
  if (pos.line < view.topLine)
    view.topLine = pos.line;
  else if (pos.line >= view.topLine + Rows())
    view.topLine = pos.line - Rows() + 1;
  m_text.LoadLine(pos.line);
  view.cursorRow = pos.line - view.topLine;
  view.cursorIndex = pos.index;
  if (!keepTarget) view.targetColumn = -1;
  UpdateScroll();
}

// Horizontal scrolling in steps of four: the cursor stays inside the width,
// and a line scrolled until little of it shows comes back into view.
void CEditor::UpdateScroll() {
  TEditorView& view = m_text.View();
  const int line = CursorLine();
  const int column = ColumnOf(line, view.cursorIndex);
  const int lineColumns = ColumnOf(line, LineLength(line));
  const int width = Columns();
  while (column - view.leftColumn >= width) view.leftColumn += kScrollStep;
  while (column < view.leftColumn) view.leftColumn = std::max(0, view.leftColumn - kScrollStep);
  while (view.leftColumn > 0 && lineColumns - view.leftColumn <= kMinVisibleTail &&
         column - (view.leftColumn - kScrollStep) < width)
    view.leftColumn = std::max(0, view.leftColumn - kScrollStep);
  view.cursorColumn = column - view.leftColumn;
}

// Up and Down keep the screen column the move started from.
void CEditor::VerticalMove(int lines) {
  const int line = CursorLine();
  const int target =
      m_text.View().targetColumn >= 0 ? m_text.View().targetColumn : ColumnOf(line, CursorIndex());
  const int next = std::clamp(line + lines, 0, m_text.LineCount() - 1);
  int column = target;
  const int index =
      IndexAtColumn(m_text.LineText(next), LineLength(next), &column, m_text.TabWidth());
  MoveTo({index, next}, true);
  m_text.View().targetColumn = target;
}

// A page moves the view and the cursor by the text rows; near the ends of
// the file the view stops and the cursor goes on to the first or last line.
void CEditor::PageMove(int direction) {
  TEditorView& view = m_text.View();
  const int rows = Rows(), count = m_text.LineCount();
  const int line = CursorLine();
  const int target = direction > 0 ? std::min(line + rows, count - 1) : std::max(line - rows, 0);
  view.topLine = direction > 0 ? std::max(0, std::min(view.topLine + rows, count - rows))
                               : std::max(0, view.topLine - rows);
  // The cursor row follows the view for a moment, so the move counts from the same line.
  view.cursorRow = line - view.topLine;
  VerticalMove(target - line);
  m_text.Flags().fullRedraw = true;
}

bool CEditor::IsWordChar(wchar_t ch) const {
  return ch == L'_' || iswalnum(static_cast<wint_t>(ch));
}

// Where Ctrl-Right goes from pos: past the word there, or with
// BriefWordRight to the end of the next word; without it, reaching the end
// of the line goes on to the next line.
TTextPos CEditor::WordRightOf(TTextPos pos) const {
  const wchar_t* text = m_text.LineText(pos.line);
  const int length = LineLength(pos.line);
  int i = pos.index;
  if (i >= length) return pos.line + 1 < m_text.LineCount() ? TTextPos{0, pos.line + 1} : pos;
  if (g_settings.briefWordRight) {
    while (i < length && !IsWordChar(text[i])) ++i;
    while (i < length && IsWordChar(text[i])) ++i;
    return {i, pos.line};
  }
  while (i < length && IsWordChar(text[i])) ++i;
  while (i < length && !IsWordChar(text[i])) ++i;
  if (i == length && pos.line + 1 < m_text.LineCount()) return {0, pos.line + 1};
  return {i, pos.line};
}

void CEditor::WordRight() { MoveTo(WordRightOf(m_text.CursorPos())); }

void CEditor::WordLeft() {
  const int line = CursorLine();
  int i = CursorIndex();
  if (i == 0) {
    if (line > 0) MoveTo({LineLength(line - 1), line - 1});
    return;
  }
  const wchar_t* text = m_text.LineText(line);
  while (i > 0 && !IsWordChar(text[i - 1])) --i;
  while (i > 0 && IsWordChar(text[i - 1])) --i;
  MoveTo({i, line});
}

// Shift with a movement key: the block runs from where marking started to
// the cursor.
void CEditor::MarkTo(uint32_t unshiftedKey) {
  if (!m_marking || !m_text.Block().present) m_anchor = m_text.CursorPos();
  (void)HandleMovement(unshiftedKey);
  m_marking = true;
  const TTextPos cursor = m_text.CursorPos();
  TEditorBlock& block = m_text.Block();
  block.present = cursor != m_anchor;
  block.start = std::min(cursor, m_anchor);
  block.end = std::max(cursor, m_anchor);
}

// --- Typing, splitting and joining lines ------------------------------------------

void CEditor::TypeChar(wchar_t ch) {
  const TTextPos at = m_text.CursorPos();
  const bool over = g_settings.overStrike && at.index < LineLength(at.line);
  const TTextRegion region{at, {at.index + (over ? 1 : 0), at.line}, over};
  (void)ReplaceText(region, Westring(1, ch));
}

// Enter with auto-indent: the new line starts with the leading blanks of
// the line the cursor stands in, or, when the cursor is inside those, of
// the nearest line above that holds text; the blanks that followed the
// cursor are dropped.
void CEditor::Enter(bool autoIndent) {
  const TTextPos at = m_text.CursorPos();
  if (!autoIndent) {
    (void)ReplaceText({at, at, false}, Westring(L"\r\n"));
    return;
  }
  const wchar_t* text = m_text.LineText(at.line);
  const int length = LineLength(at.line);
  int reference = at.line;
  if (at.index < LeadingBlanks(text, length)) {
    reference = -1;
    for (int up = at.line - 1; up >= 0 && reference < 0; --up)
      if (LeadingBlanks(m_text.LineText(up), LineLength(up)) < LineLength(up)) reference = up;
  }
  Westring indent;
  if (reference >= 0)
    indent.Assign(m_text.LineText(reference),
                  LeadingBlanks(m_text.LineText(reference), LineLength(reference)));
  const int tailStart = at.index + LeadingBlanks(text + at.index, length - at.index);
  Westring replacement = Westring(L"\r\n") + indent;
  replacement.Append(text + tailStart, length - tailStart);
  const TTextPos cursor{indent.Length(), at.line + 1};
  (void)ReplaceText({at, {length, at.line}, length > at.index}, replacement, &cursor);
}

void CEditor::BackSpace() {
  const TTextPos at = m_text.CursorPos();
  if (at.index > 0)
    (void)ReplaceText({{at.index - 1, at.line}, at, true}, Westring());
  else if (at.line > 0)
    (void)ReplaceText({{LineLength(at.line - 1), at.line - 1}, at, true}, Westring());
}

void CEditor::DeleteChar() {
  const TTextPos at = m_text.CursorPos();
  if (at.index < LineLength(at.line))
    (void)ReplaceText({at, {at.index + 1, at.line}, true}, Westring());
  else if (at.line + 1 < m_text.LineCount())
    (void)ReplaceText({at, {0, at.line + 1}, true}, Westring());
}

// Ctrl-Del: the block when there is one, else the line end as Del, else up
// to where Ctrl-Right goes on this line.
void CEditor::CtrlDelete() {
  if (m_text.Block().present) {
    DeleteBlock();
    return;
  }
  const TTextPos at = m_text.CursorPos();
  if (at.index >= LineLength(at.line)) {
    DeleteChar();
    return;
  }
  const TTextPos word = WordRightOf(at);
  const int to = word.line == at.line ? word.index : LineLength(at.line);
  (void)ReplaceText({at, {to, at.line}, to > at.index}, Westring());
}

// Ctrl-Y: the line goes, joined with the next; the last line is only emptied.
void CEditor::DeleteLine() {
  DropBlock();
  const int line = CursorLine();
  MoveTo({0, line});
  const TTextPos start{0, line};
  if (line + 1 < m_text.LineCount())
    (void)ReplaceText({start, {0, line + 1}, true}, Westring(), &start);
  else if (LineLength(line) > 0)
    (void)ReplaceText({start, {LineLength(line), line}, true}, Westring(), &start);
}

// --- The mouse -------------------------------------------------------------------------

void CEditor::HandleMouse(const TMouseRecord& mouse) {
  const int keyBarRow = g_console->Lines() - 1;
  if (mouse.action == TMouseRecord::Wheel) {
    VerticalMove(mouse.wheelDelta > 0 ? -kWheelRows : kWheelRows);
    return;
  }
  if (mouse.action == TMouseRecord::LeftRelease || mouse.action == TMouseRecord::RightRelease) {
    m_mouseMarking = false;
    return;
  }
  const bool press =
      mouse.action == TMouseRecord::LeftPress || mouse.action == TMouseRecord::LeftDoubleClick;
  const bool drag = mouse.action == TMouseRecord::LeftDrag;
  if (!press && !drag) return;
  if (press && mouse.row == keyBarRow) {
    HandleEditKey(KeyBarKeyForClick(mouse.column, Columns()));
    return;
  }
  if (mouse.row < 1 || mouse.row > Rows()) {
    AutoRepeat(mouse.row < 1 ? Key::Up : Key::Down);
    return;
  }
  const int line = std::min(m_text.View().topLine + mouse.row - 1, m_text.LineCount() - 1);
  int column = m_text.View().leftColumn + mouse.column;
  const int index =
      IndexAtColumn(m_text.LineText(line), LineLength(line), &column, m_text.TabWidth());
  if (press) {
    MoveTo({index, line});
    m_anchor = m_text.CursorPos();
    m_mouseMarking = true;
    DropBlock();
    return;
  }
  if (!m_mouseMarking) return;
  MoveTo({index, line});
  const TTextPos cursor = m_text.CursorPos();
  m_text.Block() = {cursor != m_anchor, std::min(cursor, m_anchor), std::max(cursor, m_anchor)};
}

// A button held above or below the text: Up or Down again and again, with
// a longer pause after the first step, until the next mouse event or key.
void CEditor::AutoRepeat(uint32_t key) {
  for (int steps = 1;; ++steps) {
    (void)HandleMovement(key);
    if (m_mouseMarking) {
      const TTextPos cursor = m_text.CursorPos();
      m_text.Block() = {cursor != m_anchor, std::min(cursor, m_anchor), std::max(cursor, m_anchor)};
    }
    Draw();
    if (!g_console->WaitWithoutInput(steps == 1 ? kFirstRepeatPauseMs : g_scrollDelay)) return;
  }
}

}  // namespace VKEditor
