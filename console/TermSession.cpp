#include "console/TermSession.h"

#include <gdk/gdk.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/ScrollBack.h"
#include "foundation/Utf8.h"
#include "foundation/Westring.h"

namespace {

constexpr char kEsc = 0x1B;
constexpr int kShownCursorSize = 15;
constexpr int kMaxParams = 16;
constexpr int kMaxParamValue = 9999;
// An unfinished control sequence longer than this is garbage: it is dropped
// instead of being carried from chunk to chunk without end.
constexpr int kMaxSequenceLength = 256;

// ANSI colour numbers to the console palette.
constexpr int kAnsiToPalette[8] = {0, 4, 2, 6, 1, 5, 3, 7};

// The DEC Special Graphics characters for the bytes 96..126.
constexpr uint32_t kLineDrawing[31] = {
    0x25C6, 0x2592, 0x2409, 0x240C, 0x240D, 0x240A, 0x00B0, 0x00B1, 0x2424, 0x240B, 0x2518,
    0x2510, 0x250C, 0x2514, 0x253C, 0x23BA, 0x23BB, 0x2500, 0x23BC, 0x23BD, 0x251C, 0x2524,
    0x2534, 0x252C, 0x2502, 0x2264, 0x2265, 0x03C0, 0x2260, 0x00A3, 0x00B7};

uint32_t LineDrawingChar(uint32_t ch) {
  if (ch == 95) return ' ';
  if (ch >= 96 && ch <= 126) return kLineDrawing[ch - 96];
  return ch;
}

// How many bytes at the end of `text` start a UTF-8 character whose
// continuation bytes have not arrived yet.
int UnfinishedUtf8Tail(const std::string& text) {
  const int size = static_cast<int>(text.size());
  for (int back = 1; back <= 3 && back <= size; ++back) {
    const uint8_t byte = static_cast<uint8_t>(text[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const int length = (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : (byte & 0xF8) == 0xF0 ? 4 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

// A count parameter: missing or 0 means 1.
int Count(const int* params, int paramCount, int index) {
  return index < paramCount && params[index] > 0 ? params[index] : 1;
}

// A selector parameter: missing means 0.
int Selector(const int* params, int paramCount, int index) {
  return index < paramCount && params[index] > 0 ? params[index] : 0;
}

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace

CTermSession::CTermSession(CConsole* console, int masterFd, uint8_t defaultAttr)
    : m_console(console),
      m_fd(masterFd),
      m_columns(console->Columns()),
      m_lines(console->Lines()),
      m_col(std::min(console->CursorColumn(), m_columns - 1)),
      m_row(std::min(console->CursorRow(), m_lines - 1)),
      m_defaultAttr(defaultAttr),
      m_attr(defaultAttr),
      m_foreground(AttrForeground(defaultAttr)),
      m_background(AttrBackground(defaultAttr)),
      m_bottom(m_lines - 1),
      m_cursorSizeToRestore(console->CursorSize()) {
  m_console->SetCursorSize(kShownCursorSize);
}

CTermSession::~CTermSession() {
  LeaveAlternateScreen(true);
  m_console->SetCursorSize(m_cursorSizeToRestore);
}

// ---------------------------------------------------------------------------
// Output

void CTermSession::Write(const char* bytes, int count) {
  if (count < 0) count = static_cast<int>(std::strlen(bytes));
  std::string data;
  data.swap(m_leftover);
  data.append(bytes, count);
  const char* p = data.data();
  const int size = static_cast<int>(data.size());
  m_console->BeginUpdate();
  int i = 0;
  while (i < size) {
    if (m_inOsc) {
      const int used = SkipOperatingSystemCommand(p + i, size - i);
      // Only a last ESC, which may begin the terminator, waits for the next
      // chunk; an ESC that ended the command starts a sequence of its own.
      if (used == 0 && m_inOsc) {
        m_leftover.assign(p + i, size - i);
        break;
      }
      i += used;
      continue;
    }
    const uint8_t byte = static_cast<uint8_t>(p[i]);
    if (byte == kEsc) {
      FlushText();
      const int used = ParseEscape(p + i, size - i);
      if (used == 0) {
        m_leftover.assign(p + i, size - i);
        break;
      }
      i += used;
    } else if (byte < 0x20 || byte == 0x7F) {
      FlushText();
      ControlByte(byte);
      ++i;
    } else {
      const int start = i;
      while (i < size && static_cast<uint8_t>(p[i]) >= 0x20 && p[i] != kEsc && p[i] != 0x7F) ++i;
      m_text.append(p + start, i - start);
    }
  }
  if (m_leftover.empty()) {
    const int tail = UnfinishedUtf8Tail(m_text);
    m_leftover.assign(m_text, m_text.size() - tail, tail);
    m_text.resize(m_text.size() - tail);
  }
  FlushText();
  m_console->EndUpdate();
  m_console->SetCursorPos(Column(), m_row);
}

void CTermSession::FlushText() {
  if (!m_text.empty()) {
    Westring wide;
    DecodeUtf8(m_text.data(), static_cast<int>(m_text.size()), &wide);
    m_text.clear();
    for (int i = 0; i < wide.Length(); ++i) {
      uint32_t ch = static_cast<uint32_t>(wide[i]);
      if (ch == static_cast<uint32_t>(DecodedNulReplacement)) ch = 0xFFFD;
      PutChar(m_lineDrawing ? LineDrawingChar(ch) : ch);
    }
  }
  FlushLine();
}

// Characters of one row are collected and stored in one console write.
void CTermSession::PutChar(uint32_t ch) {
  if (m_col >= m_columns) {
    FlushLine();
    m_col = 0;
    NewLine();
  }
  m_lastChar = ch;
  if (m_insertMode) {
    FlushLine();
    InsertBlanks(1);
    m_console->FillCells(m_col, m_row, 1, TCell{ch, m_attr});
    ++m_col;
    return;
  }
  if (m_line.empty()) m_lineCol = m_col;
  m_line.push_back(TCell{ch, m_attr});
  ++m_col;
}

void CTermSession::FlushLine() {
  if (m_line.empty()) return;
  m_line.push_back(TCell{0, 0});
  m_console->WriteCells(m_lineCol, m_row, m_line.data());
  m_line.clear();
}

// ---------------------------------------------------------------------------
// Control bytes and sequences

void CTermSession::ControlByte(uint8_t byte) {
  switch (byte) {
    case 7:
      m_console->Beep();
      break;
    case 8:
      m_col = Column();
      if (m_col > 0) --m_col;
      break;
    case 9:
      m_col = (Column() / 8 + 1) * 8;
      if (m_col >= m_columns) {
        m_col = 0;
        NewLine();
      }
      break;
    case 10:
      m_col = Column();
      NewLine();
      break;
    case 13:
      m_col = 0;
      break;
    default:
      break;
  }
}

int CTermSession::ParseEscape(const char* p, int count) {
  if (count < 2) return 0;
  const char second = p[1];
  // A control byte or a new ESC abandons the escape and is handled itself.
  if (static_cast<uint8_t>(second) < 0x20) return 1;
  switch (second) {
    case '7':
      SaveCursor();
      return 2;
    case '8':
      RestoreCursor();
      return 2;
    case '=':
      m_appKeypad = true;
      return 2;
    case '>':
      m_appKeypad = false;
      return 2;
    case 'M':
      ReverseIndex();
      return 2;
    case ']':
      m_inOsc = true;
      return 2;
    case '[':
      return ParseControlSequence(p, count);
    case '(':
      if (count < 3) return 0;
      if (p[2] == '0') m_lineDrawing = true;
      else if (p[2] == 'B') m_lineDrawing = false;
      return 3;
    case ')': case '*': case '+': case '#': case '%': case ' ':
      // Designations and settings with one more byte, none of which matter here.
      return count < 3 ? 0 : 3;
    default:
      return 2;
  }
}

// Everything up to BEL, the byte 156 or ESC \ goes; the command may span chunks.
int CTermSession::SkipOperatingSystemCommand(const char* p, int count) {
  for (int i = 0; i < count; ++i) {
    const uint8_t byte = static_cast<uint8_t>(p[i]);
    if (byte == 7 || byte == 156) {
      m_inOsc = false;
      return i + 1;
    }
    if (byte == kEsc) {
      if (i + 1 == count) return i;  // the ESC may begin the terminator: wait for the next byte
      m_inOsc = false;
      return p[i + 1] == '\\' ? i + 2 : i;
    }
  }
  return count;
}

int CTermSession::ParseControlSequence(const char* p, int count) {
  int i = 2;
  char prefix = 0;
  if (i < count && (p[i] == '?' || p[i] == '>' || p[i] == '=' || p[i] == '<')) prefix = p[i++];
  int params[kMaxParams];
  int paramCount = 0;
  int current = -1;  // -1: the parameter is missing
  bool intermediate = false;
  for (; i < count; ++i) {
    const uint8_t c = static_cast<uint8_t>(p[i]);
    if (c >= '0' && c <= '9') {
      current = std::min((current < 0 ? 0 : current) * 10 + (c - '0'), kMaxParamValue);
    } else if (c == ';' || c == ':') {
      if (paramCount < kMaxParams) params[paramCount++] = current;
      current = -1;
    } else if (c >= 0x20 && c <= 0x2F) {
      intermediate = true;
    } else if (c >= 0x40 && c <= 0x7E) {
      if (paramCount < kMaxParams) params[paramCount++] = current;
      if (!intermediate) ControlSequence(static_cast<char>(c), prefix, params, paramCount);
      return i + 1;
    } else {
      return i;  // not part of a sequence: drop what came so far
    }
  }
  return count > kMaxSequenceLength ? count : 0;
}

void CTermSession::ControlSequence(char final, char prefix, const int* params, int paramCount) {
  if (prefix == '?') {
    if (final == 'h' || final == 'l')
      for (int k = 0; k < paramCount; ++k) PrivateMode(params[k], final == 'h');
    return;
  }
  if (prefix != 0) return;
  const int n = Count(params, paramCount, 0);
  const int col = Column();
  switch (final) {
    case '@': InsertBlanks(n); break;
    case 'A': MoveTo(col, m_row - n); break;
    case 'B': MoveTo(col, m_row + n); break;
    case 'C': MoveTo(col + n, m_row); break;
    case 'D': MoveTo(col - n, m_row); break;
    case 'G': MoveTo(n - 1, m_row); break;
    case 'H':
    case 'f': MoveTo(Count(params, paramCount, 1) - 1, n - 1); break;
    case 'd': MoveTo(col, n - 1); break;
    case 'J':
      switch (Selector(params, paramCount, 0)) {
        case 0:
          EraseCells(col, m_row, m_columns - col);
          EraseRows(m_row + 1, m_lines - m_row - 1);
          break;
        case 1:
          EraseRows(0, m_row);
          EraseCells(0, m_row, col + 1);
          break;
        case 2: EraseRows(0, m_lines); break;
        default: break;
      }
      break;
    case 'K':
      switch (Selector(params, paramCount, 0)) {
        case 0: EraseCells(col, m_row, m_columns - col); break;
        case 1: EraseCells(0, m_row, col + 1); break;
        case 2: EraseCells(0, m_row, m_columns); break;
        default: break;
      }
      break;
    case 'L': InsertLines(n); break;
    case 'M': DeleteLines(n); break;
    case 'P': DeleteChars(n); break;
    case 'S': ScrollRegionUp(n); break;
    case 'T':
      if (paramCount == 1) ScrollRegionDown(n);  // with more parameters it is a mouse request
      break;
    case 'X': EraseCells(col, m_row, n); break;
    case 'b':
      for (int k = std::min(n, m_columns * m_lines); k > 0; --k) PutChar(m_lastChar);
      FlushLine();
      break;
    case 'h':
    case 'l':
      for (int k = 0; k < paramCount; ++k)
        if (params[k] == 4) m_insertMode = final == 'h';
      break;
    case 'm': GraphicRendition(params, paramCount); break;
    case 'r': {
      const int top = Count(params, paramCount, 0) - 1;
      const int bottom = paramCount > 1 && params[1] > 0 ? std::min(params[1], m_lines) - 1 : m_lines - 1;
      if (top < bottom) {
        m_top = top;
        m_bottom = bottom;
        MoveTo(0, 0);
      }
      break;
    }
    case 'n': {
      // Programs that ask where the cursor is wait for the answer.
      char answer[32] = "";
      if (n == 5) std::snprintf(answer, sizeof answer, "\x1b[0n");
      if (n == 6) std::snprintf(answer, sizeof answer, "\x1b[%d;%dR", m_row + 1, col + 1);
      WriteAll(m_fd, answer);
      break;
    }
    default: break;
  }
}

void CTermSession::PrivateMode(int mode, bool set) {
  switch (mode) {
    case 1: m_appCursorKeys = set; break;
    case 25: m_console->SetCursorSize(set ? kShownCursorSize : 0); break;
    case 47:
    case 1047:
      if (set) EnterAlternateScreen(false);
      else LeaveAlternateScreen(false);
      break;
    case 1048:
      if (set) SaveCursor();
      else RestoreCursor();
      break;
    case 1049:
      if (set) EnterAlternateScreen(true);
      else LeaveAlternateScreen(true);
      break;
    default: break;
  }
}

void CTermSession::GraphicRendition(const int* params, int paramCount) {
  for (int k = 0; k < paramCount; ++k) {
    const int value = params[k] < 0 ? 0 : params[k];
    if (value == 0) {
      m_foreground = AttrForeground(m_defaultAttr);
      m_background = AttrBackground(m_defaultAttr);
      m_reverse = m_bold = m_underline = false;
    } else if (value == 1) {
      m_bold = true;
    } else if (value == 22) {
      m_bold = false;
    } else if (value == 4) {
      m_underline = true;
    } else if (value == 24) {
      m_underline = false;
    } else if (value == 7) {
      m_reverse = true;
    } else if (value == 27) {
      m_reverse = false;
    } else if (value >= 30 && value <= 37) {
      m_foreground = kAnsiToPalette[value - 30];
    } else if (value == 39 || value == 99) {
      m_foreground = AttrForeground(m_defaultAttr);
    } else if (value >= 40 && value <= 47) {
      m_background = kAnsiToPalette[value - 40];
    } else if (value == 49 || value == 109) {
      m_background = AttrBackground(m_defaultAttr);
    } else if (value >= 90 && value <= 97) {
      m_foreground = kAnsiToPalette[value - 90] + 8;
    } else if (value >= 100 && value <= 107) {
      m_background = kAnsiToPalette[value - 100] + 8;
    } else if (value == 38 || value == 48 || value == 58) {
      // 256-colour and direct colours are not shown; their numbers must not
      // be read as rendition codes.
      if (k + 1 < paramCount && params[k + 1] == 5) k += 2;
      else if (k + 1 < paramCount && params[k + 1] == 2) k += 4;
    }
  }
  UpdateAttr();
}

void CTermSession::UpdateAttr() {
  int attr = m_reverse ? m_foreground * 16 + m_background : m_background * 16 + m_foreground;
  if (m_bold) attr |= 0x08;
  if (m_underline) attr |= 0x80;
  m_attr = static_cast<uint8_t>(attr);
}

// ---------------------------------------------------------------------------
// Screen operations

void CTermSession::SaveCursor() {
  m_savedCol = Column();
  m_savedRow = m_row;
}

void CTermSession::RestoreCursor() { MoveTo(m_savedCol, m_savedRow); }

void CTermSession::MoveTo(int col, int row) {
  FlushLine();
  m_col = std::clamp(col, 0, m_columns - 1);
  m_row = std::clamp(row, 0, m_lines - 1);
}

void CTermSession::NewLine() {
  FlushLine();
  if (m_row == m_bottom) ScrollRegionUp(1);
  else if (m_row < m_lines - 1) ++m_row;
}

void CTermSession::ReverseIndex() {
  FlushLine();
  if (m_row == m_top) ScrollRegionDown(1);
  else if (m_row > 0) --m_row;
}

// Lines leaving the top of the screen are kept in the scroll-back, unless
// a full-screen program scrolls its own alternate screen.
void CTermSession::ScrollRegionUp(int count) {
  const int height = m_bottom - m_top + 1;
  count = std::min(count, height);
  if (m_top == 0 && g_keepScrollBack && !InAlternateScreen())
    for (int k = 0; k < count; ++k) g_scrollBack.AppendRow(*m_console, k);
  m_console->ScrollUp(0, m_top, m_columns, height, count, BlankAttr());
}

void CTermSession::ScrollRegionDown(int count) {
  const int height = m_bottom - m_top + 1;
  m_console->ScrollDown(0, m_top, m_columns, height, std::min(count, height), BlankAttr());
}

void CTermSession::EraseCells(int col, int row, int count) {
  count = std::min(count, m_columns - col);
  if (count > 0) m_console->FillCells(col, row, count, TCell{' ', BlankAttr()});
}

void CTermSession::EraseRows(int row, int count) {
  if (count > 0) m_console->FillArea(0, row, m_columns, count, BlankAttr());
}

void CTermSession::InsertBlanks(int count) {
  const int col = Column();
  count = std::min(count, m_columns - col);
  const int kept = m_columns - col - count;
  if (kept > 0) m_console->RestoreArea(col + count, m_row, kept, 1, m_console->SaveArea(col, m_row, kept, 1).get());
  EraseCells(col, m_row, count);
}

void CTermSession::DeleteChars(int count) {
  const int col = Column();
  count = std::min(count, m_columns - col);
  const int kept = m_columns - col - count;
  if (kept > 0) m_console->RestoreArea(col, m_row, kept, 1, m_console->SaveArea(col + count, m_row, kept, 1).get());
  EraseCells(m_columns - count, m_row, count);
}

void CTermSession::InsertLines(int count) {
  if (m_row < m_top || m_row > m_bottom) return;
  const int height = m_bottom - m_row + 1;
  m_console->ScrollDown(0, m_row, m_columns, height, std::min(count, height), BlankAttr());
  m_col = 0;
}

void CTermSession::DeleteLines(int count) {
  if (m_row < m_top || m_row > m_bottom) return;
  const int height = m_bottom - m_row + 1;
  m_console->ScrollUp(0, m_row, m_columns, height, std::min(count, height), BlankAttr());
  m_col = 0;
}

void CTermSession::EnterAlternateScreen(bool saveCursor) {
  if (InAlternateScreen()) return;
  FlushLine();
  if (saveCursor) SaveCursor();
  m_savedScreen = m_console->SaveArea(0, 0, m_columns, m_lines);
  EraseRows(0, m_lines);
}

void CTermSession::LeaveAlternateScreen(bool restoreCursor) {
  if (!InAlternateScreen()) return;
  FlushLine();
  m_console->RestoreArea(0, 0, m_columns, m_lines, m_savedScreen.get());
  m_savedScreen.reset();
  if (restoreCursor) RestoreCursor();
}

// ---------------------------------------------------------------------------
// Keys

std::string CTermSession::KeyBytes(uint32_t code, bool appCursorKeys) {
  if (code <= 0xFF) return std::string(1, static_cast<char>(code));
  const char* cursorPrefix = appCursorKeys ? "\x1bO" : "\x1b[";
  switch (code) {
    case Key::Up: return std::string(cursorPrefix) + "A";
    case Key::Down: return std::string(cursorPrefix) + "B";
    case Key::Right: return std::string(cursorPrefix) + "C";
    case Key::Left: return std::string(cursorPrefix) + "D";
    case Key::End: return std::string(cursorPrefix) + "F";
    case Key::Home: return std::string(cursorPrefix) + "H";
    case Key::PageUp: return "\x1b[5~";
    case Key::PageDown: return "\x1b[6~";
    case Key::Insert: return "\x1b[2~";
    case Key::Delete: return "\x1b[3~";
    case Key::CtrlPageUp: return "\x1b[5;5~";
    case Key::CtrlPageDown: return "\x1b[6;5~";
    case Key::F1: return "\x1bOP";
    case Key::F2: return "\x1bOQ";
    case Key::F3: return "\x1bOR";
    case Key::F4: return "\x1bOS";
    case Key::F5: return "\x1b[15~";
    case Key::F6: return "\x1b[17~";
    case Key::F7: return "\x1b[18~";
    case Key::F8: return "\x1b[19~";
    case Key::F9: return "\x1b[20~";
    case Key::F10: return "\x1b[21~";
    case Key::F11: return "\x1b[23~";
    case Key::F12: return "\x1b[24~";
    case Key::BackSpace: return "\x08";
    default: return std::string();
  }
}

// Window-system thread. A program that stops reading its terminal must not
// freeze the window: when the terminal cannot take the key, it is refused
// with a beep.
void CTermSession::SendKey(uint32_t code) {
  const std::string bytes = KeyBytes(code, m_appCursorKeys);
  if (bytes.empty()) return;
  pollfd writable{m_fd, POLLOUT, 0};
  if (poll(&writable, 1, 0) != 1 || !(writable.revents & POLLOUT)) {
    gdk_beep();
    return;
  }
  WriteAll(m_fd, bytes);
}

// ---------------------------------------------------------------------------
// Screen size

void CTermSession::Resize(int lines, int columns) {
  FlushText();
  lines = std::max(1, lines);
  columns = std::max(1, columns);
  if (m_savedScreen) {
    auto kept = std::make_unique<TCell[]>(lines * columns);
    std::fill(kept.get(), kept.get() + lines * columns, TCell{' ', m_defaultAttr});
    for (int r = 0; r < std::min(lines, m_lines); ++r)
      for (int c = 0; c < std::min(columns, m_columns); ++c)
        kept[r * columns + c] = m_savedScreen[r * m_columns + c];
    m_savedScreen = std::move(kept);
  }
  m_lines = lines;
  m_columns = columns;
  m_col = std::min(m_col, m_columns - 1);
  m_row = std::min(m_row, m_lines - 1);
  m_savedCol = std::min(m_savedCol, m_columns - 1);
  m_savedRow = std::min(m_savedRow, m_lines - 1);
  m_top = 0;
  m_bottom = m_lines - 1;
  m_console->SetCursorPos(Column(), m_row);
  winsize size{};
  size.ws_row = static_cast<unsigned short>(lines);
  size.ws_col = static_cast<unsigned short>(columns);
  (void)ioctl(m_fd, TIOCSWINSZ, &size);
}
