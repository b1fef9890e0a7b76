// Child output on the console: the terminal session of an attached command,
// or a plain teletype when none is attached.
#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/ScrollBack.h"
#include "console/TermSession.h"
#include "foundation/Utf8.h"
#include "foundation/Westring.h"

void CConsole::AttachSession(int masterFd) {
  auto* session = new CTermSession(this, masterFd, m_outputAttr);
  GdkLock lock;
  m_session = session;
}

void CConsole::DetachSession() {
  CTermSession* session = nullptr;
  {
    GdkLock lock;
    session = m_session;
    m_session = nullptr;
  }
  delete session;
}

void CConsole::WriteOutput(const char* text, int count) {
  if (m_session != nullptr) m_session->Write(text, count);
  else WriteTeletype(text, count);
}

// The line being written is stored cell by cell; a line feed at the bottom
// keeps the top line in the scroll-back and scrolls the whole screen up.
void CConsole::WriteTeletype(const char* text, int count) {
  Westring wide;
  DecodeUtf8(text, count, &wide);
  const int cursorSize = m_cursorSize;
  SetCursorSize(0);
  int col = m_cursorCol, row = m_cursorRow;
  auto newLine = [&] {
    col = 0;
    if (row < m_lines - 1) {
      ++row;
      return;
    }
    if (g_keepScrollBack) g_scrollBack.AppendRow(*this, 0);
    ScrollUp(0, 0, m_columns, m_lines, 1, m_outputAttr);
  };
  BeginUpdate();
  for (const wchar_t* p = wide.c_str(); *p != 0; ++p) {
    const wchar_t ch = *p;
    if (ch == L'\t') {
      col = (col / 8 + 1) * 8;
      if (col >= m_columns) newLine();
    } else if (ch == L'\r') {
      col = 0;
    } else if (ch == L'\b') {
      if (col > 0) --col;
    } else if (ch == L'\n') {
      newLine();
    } else if (ch >= 0x20) {
      if (col >= m_columns) newLine();
      FillCells(col, row, 1, TCell{static_cast<uint32_t>(ch), m_outputAttr});
      ++col;
    }
  }
  EndUpdate();
  SetCursorSize(cursorSize);
  SetCursorPos(col < m_columns ? col : m_columns - 1, row);
}
