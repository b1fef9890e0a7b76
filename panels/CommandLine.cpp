#include "panels/CommandLine.h"

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"
#include "dialogs/StringField.h"
#include "panels/CommandMacros.h"
#include "panels/Histories.h"

Westring CommandPrompt(const Westring& directory) {
  return g_settings.pathPrompt ? directory + L">" : Westring(L">");
}

void CCommandLine::SetText(const Westring& text) {
  m_text = text.Left(CommandLineLimit + 1);
  m_cursor = m_text.Length();
}

void CCommandLine::InsertChar(wchar_t ch) {
  if (m_text.Length() > CommandLineLimit) return;
  m_text = m_text.Left(m_cursor) + Westring(1, ch) + m_text.Mid(m_cursor);
  ++m_cursor;
  m_historyIndex = -1;
}

void CCommandLine::InsertText(const Westring& text) {
  for (int i = 0; i < text.Length(); ++i) InsertChar(text[i]);
}

bool CCommandLine::HandleEditKey(uint32_t key) {
  switch (key) {
    case Key::BackSpace:
      if (m_cursor == 0) return !IsEmpty();
      m_text = m_text.Left(m_cursor - 1) + m_text.Mid(m_cursor);
      --m_cursor;
      return true;
    case Key::Delete:
      if (IsEmpty()) return false;
      m_text = m_text.Left(m_cursor) + m_text.Mid(m_cursor + 1);
      return true;
    case Key::Esc:
      if (IsEmpty()) return false;
      SetText(Westring());
      m_historyIndex = -1;
      return true;
    case Key::CtrlE: StepHistory(-1); return true;
    case Key::CtrlX: StepHistory(1); return true;
    default: break;
  }
  // Without typed text these keys belong to the panel.
  if (IsEmpty()) return false;
  switch (key) {
    case Key::Left: if (m_cursor > 0) --m_cursor; return true;
    case Key::Right: if (m_cursor < m_text.Length()) ++m_cursor; return true;
    case Key::Home: m_cursor = 0; return true;
    case Key::End: m_cursor = m_text.Length(); return true;
    case Key::CtrlLeft: m_cursor = WordLeftOf(m_text, m_cursor); return true;
    case Key::CtrlRight: m_cursor = WordRightOf(m_text, m_cursor); return true;
    default: return false;
  }
}

void CCommandLine::StepHistory(int direction) {
  const WestringStore& history = CommandHistory();
  int index = m_historyIndex < 0 ? history.Count() : m_historyIndex;
  index += direction;
  if (index < 0) index = 0;
  if (index >= history.Count()) {
    m_historyIndex = -1;
    SetText(Westring());
    return;
  }
  m_historyIndex = index;
  SetText(*history.At(index));
}

bool CCommandLine::Execute(int side) {
  Westring command = m_text;
  command.Trim();
  SetText(Westring());
  m_historyIndex = -1;
  if (command.IsEmpty()) return false;
  AddCommand(command);
  RunForPanel(command, side);
  return true;
}

void CCommandLine::Draw(const Westring& directory) {
  CConsole& console = *g_console;
  const int row = console.Lines() - 2, columns = console.Columns();
  const Westring prompt = CommandPrompt(directory);
  const Westring line = prompt + m_text;
  // The line scrolls so that the cursor stays on the screen.
  int cursorColumn = prompt.Length() + m_cursor;
  const int first = cursorColumn >= columns ? cursorColumn - columns + 1 : 0;
  cursorColumn -= first;
  const uint8_t attr = Colour(ColourClass::CommandLine);
  console.FillArea(0, row, columns, 1, attr);
  console.WriteText(0, row, line.Mid(first).Left(columns).c_str(), attr);
  console.SetCursorPos(cursorColumn, row);
  console.SetCursorSize(15);
  // Setting the area hides a selection, so a redraw keeps an unchanged one.
  const TCellRect& area = console.MouseArea();
  if (area.left != 0 || area.top != row || area.right != columns - 1 || area.bottom != row) console.SetMouseArea(0, row, columns, 1);
}
