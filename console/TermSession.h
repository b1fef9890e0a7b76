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

  /// A pending wrap is reported as the last column, as xterm does.
  int CursorColumn() const { return Column(); }
  int CursorRow() const { return m_row; }
  uint8_t Attr() const { return m_attr; }
  bool AppCursorKeys() const { return m_appCursorKeys; }
  bool AppKeypad() const { return m_appKeypad; }
  bool InAlternateScreen() const { return m_savedScreen != nullptr; }

 private:
  // Parsing: each returns the bytes it consumed, 0 when the sequence is unfinished.
  int ParseEscape(const char* p, int count);
  int SkipOperatingSystemCommand(const char* p, int count);
  void ControlByte(uint8_t byte);
  void EscapeSequence(const std::string& body);
  void ControlSequence(const std::string& body);
  void ControlSequence(char final, char prefix, const int* params, int paramCount);
  void EraseInDisplay(int selector);
  void EraseInLine(int selector);
  void StatusReport(char prefix, int request);
  void SetMode(int mode, bool set);
  void PrivateMode(int mode, bool set);
  void Answer(const char* bytes);
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
  /// A move to a position a program addresses: relative to the scroll
  /// region and kept inside it in origin mode.
  void MoveToAddressed(int col, int row);
  void MoveUp(int count);
  void MoveDown(int count);
  void TabForward(int count);
  void TabBackward(int count);
  void AlignmentFill();
  void SoftReset();
  void FullReset();
  void SaveCursor();
  void RestoreCursor();
  bool LineDrawing() const { return m_shiftOut ? m_g1LineDrawing : m_g0LineDrawing; }
  /// The cursor column, a pending wrap folded back onto the last column.
  int Column() const { return m_col < m_columns ? m_col : m_columns - 1; }
  uint8_t BlankAttr() const { return static_cast<uint8_t>(m_attr & 0x7F); }

  CConsole* m_console;
  int m_fd;
  int m_columns, m_lines;
  int m_col = 0, m_row = 0;  // m_col == m_columns: a wrap is pending
  struct SavedCursor {
    int col = 0, row = 0;
    int foreground, background;
    bool reverse = false, bold = false, underline = false;
    bool originMode = false;
    bool g0LineDrawing = false, g1LineDrawing = false, shiftOut = false;
  } m_saved;
  uint8_t m_defaultAttr;
  uint8_t m_attr;
  int m_foreground, m_background;
  bool m_reverse = false, m_bold = false, m_underline = false;
  std::atomic<bool> m_appCursorKeys{false};
  bool m_appKeypad = false;
  bool m_g0LineDrawing = false, m_g1LineDrawing = false;
  bool m_shiftOut = false;  // SO chose the G1 set
  bool m_insertMode = false;
  bool m_newLineMode = false;  // line feed also returns the carriage
  bool m_originMode = false;
  bool m_autoWrap = true;
  std::vector<bool> m_tabStops;
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
