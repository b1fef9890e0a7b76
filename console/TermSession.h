#pragma once
// The terminal session of an attached command: an xterm-like emulator that
// draws the child's output into the console, and the translation of key
// codes into the bytes a terminal program expects.
//
// Threads: the application thread calls Write (it draws through the
// console, which takes the GDK lock); the window-system thread calls
// SendKey, which only reads the cursor-key mode and writes the descriptor.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Cell.h"

class CConsole;

class CTermSession {
 public:
  /// A session on the console's whole screen; `masterFd` is the pseudo-
  /// terminal's master side, which the caller keeps and closes.
  CTermSession(CConsole* console, int masterFd, uint8_t defaultAttr);
  /// Leaves the alternate screen if a program left it on and restores the cursor size.
  ~CTermSession();
  CTermSession(const CTermSession&) = delete;
  CTermSession& operator=(const CTermSession&) = delete;

  /// Emulates one chunk of output; an unfinished UTF-8 character or escape
  /// sequence at its end waits for the next chunk.
  void Write(const char* bytes, int count);
  /// Follows a new screen size: the cursor and the saved main screen are
  /// clipped, the scroll region becomes the whole screen, and the program
  /// is told through TIOCSWINSZ (the kernel sends it SIGWINCH).
  void Resize(int lines, int columns);
  /// Writes the terminal bytes of a key code to the pseudo-terminal.
  void SendKey(uint32_t code);
  /// The bytes a key code sends: one byte up to 255, the xterm sequence of
  /// a cursor, editing or function key, nothing for any other code.
  static std::string KeyBytes(uint32_t code, bool appCursorKeys);

  int CursorColumn() const { return m_col; }
  int CursorRow() const { return m_row; }
  uint8_t Attr() const { return m_attr; }
  bool AppCursorKeys() const { return m_appCursorKeys; }
  bool AppKeypad() const { return m_appKeypad; }
  bool InAlternateScreen() const { return m_savedScreen != nullptr; }

 private:
  // Parsing: each returns the bytes it consumed, 0 when the sequence is unfinished.
  int ParseEscape(const char* p, int count);
  int ParseControlSequence(const char* p, int count);
  int SkipOperatingSystemCommand(const char* p, int count);
  void ControlByte(uint8_t byte);
  void ControlSequence(char final, char prefix, const int* params, int paramCount);
  void PrivateMode(int mode, bool set);
  void GraphicRendition(const int* params, int paramCount);
  void UpdateAttr();

  // Printable text: collected bytes are written at the cursor.
  void FlushText();
  void PutChar(uint32_t ch);
  void FlushLine();

  // Screen operations, all clipped to the screen or the scroll region.
  void NewLine();
  void ReverseIndex();
  void ScrollRegionUp(int count);
  void ScrollRegionDown(int count);
  void EraseCells(int col, int row, int count);
  void EraseRows(int row, int count);
  void InsertBlanks(int count);
  void DeleteChars(int count);
  void InsertLines(int count);
  void DeleteLines(int count);
  void EnterAlternateScreen(bool saveCursor);
  void LeaveAlternateScreen(bool restoreCursor);
  void MoveTo(int col, int row);
  void SaveCursor();
  void RestoreCursor();
  /// The cursor column, a pending wrap folded back onto the last column.
  int Column() const { return m_col < m_columns ? m_col : m_columns - 1; }
  uint8_t BlankAttr() const { return static_cast<uint8_t>(m_attr & 0x7F); }

  CConsole* m_console;
  int m_fd;
  int m_columns, m_lines;
  int m_col = 0, m_row = 0;  // m_col == m_columns: a wrap is pending
  int m_savedCol = 0, m_savedRow = 0;
  uint8_t m_defaultAttr;
  uint8_t m_attr;
  int m_foreground, m_background;
  bool m_reverse = false, m_bold = false, m_underline = false;
  std::atomic<bool> m_appCursorKeys{false};
  bool m_appKeypad = false;
  bool m_lineDrawing = false;
  bool m_insertMode = false;
  bool m_inOsc = false;  // an operating-system command continues from the last chunk
  std::unique_ptr<TCell[]> m_savedScreen;
  int m_top = 0, m_bottom;
  int m_cursorSizeToRestore;
  uint32_t m_lastChar = ' ';
  std::string m_leftover;
  std::string m_text;           // printable bytes not yet written
  std::vector<TCell> m_line;    // cells being written on the cursor row
  int m_lineCol = 0;            // where m_line starts
};
