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

// Children get TERM=xterm. What the xterm terminfo entry advertises, and
// what becomes of it here:
//   handled: am xenl (pending wrap), bce, mir, msgr, npc, it#8 ht hts tbc
//     cbt, cr cub1 cud1 ind nel ri rin indn, cup home hpa vpa cub cud cuf
//     cuf1 cuu cuu1, csr, clear ed el el1 ech, ich dch dch1 il il1 dl dl1,
//     smir rmir, smam rmam, sc rc, smcup rmcup, civis cnorm cvvis, smkx
//     rmkx, smacs rmacs acsc, bold rev smso rmso smul rmul sgr sgr0 op
//     setaf setab setf setb, rep, bel, is2 rs1 rs2 (ESC c, CSI ! p), u6 u7
//     u8 u9 (the cursor report and the device attributes).
//   consumed without effect, which is harmless: dim blink invis sitm ritm
//     (renditions the cell has no bit for), flash (CSI ? 5 h/l), the window
//     operations after smcup and rmcup (CSI t), smm rmm (CSI ? 1034),
//     meml memu (ESC l, ESC m), mc0 mc4 mc5 (no printer), kmous (mouse
//     reports are never asked for: CSI ? 1000 h is ignored, so none come),
//     smglp smglr smgrp mgc (CSI ? 69: left and right margins are not kept).
//   km mc5i: a meta key and a printer that are never used.
//   cols#80 lines#24: the pseudo-terminal's window size says the real size.
//   key capabilities (kf*, kcu*, k*): the bytes SendKey writes, except that
//     BackSpace sends ^H where kbs says ^?: curses programs take both, and
//     the pseudo-terminal's erase character is set to ^H.

namespace {

constexpr char kEsc = 0x1B;
constexpr uint8_t kCancel = 0x18, kSubstitute = 0x1A;  // both abandon a sequence
constexpr int kTabWidth = 8;
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

// Whether the bytes after an ESC, control bytes left out, make a whole
// sequence: a control sequence ends with a byte from @ to ~, intermediates
// (space to /) with the byte after them, anything else is one byte.
bool SequenceComplete(const std::string& body) {
  const uint8_t first = static_cast<uint8_t>(body[0]);
  const uint8_t last = static_cast<uint8_t>(body.back());
  if (first == '[') return body.size() > 1 && last >= 0x40 && last <= 0x7E;
  if (first >= 0x20 && first <= 0x2F) return last >= 0x30 && last <= 0x7E;
  return true;
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
  m_saved.foreground = m_foreground;
  m_saved.background = m_background;
  m_tabStops.resize(m_columns);
  for (int col = 0; col < m_columns; col += kTabWidth) m_tabStops[col] = true;
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
      PutChar(LineDrawing() ? LineDrawingChar(ch) : ch);
    }
  }
  FlushLine();
}

// Characters of one row are collected and stored in one console write.
void CTermSession::PutChar(uint32_t ch) {
  if (m_col >= m_columns) {
    FlushLine();
    if (m_autoWrap) {
      m_col = 0;
      NewLine();
    } else {
      m_col = m_columns - 1;  // without auto-wrap the last column is written over
    }
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
    case 9: {
      int col = Column() + 1;
      while (col < m_columns && !m_tabStops[col]) ++col;
      if (col >= m_columns) {
        m_col = 0;
        NewLine();
      } else {
        m_col = col;
      }
      break;
    }
    case 10:
    case 11:
    case 12:
      m_col = m_newLineMode ? 0 : Column();
      NewLine();
      break;
    case 13:
      m_col = 0;
      break;
    case 14:
      m_shiftOut = true;
      break;
    case 15:
      m_shiftOut = false;
      break;
    default:
      break;
  }
}

// Control bytes inside a sequence are carried out and the sequence goes
// on, as xterm does. They run when the sequence is complete, before it:
// an unfinished sequence is parsed again with the next chunk.
int CTermSession::ParseEscape(const char* p, int count) {
  std::string body;      // the sequence after the ESC, control bytes left out
  std::string controls;  // the control bytes met inside it
  const auto runControls = [&] {
    for (const char byte : controls) ControlByte(static_cast<uint8_t>(byte));
  };
  for (int i = 1; i < count; ++i) {
    const uint8_t c = static_cast<uint8_t>(p[i]);
    if (c == kEsc) {  // a new sequence abandons this one
      runControls();
      return i;
    }
    if (c == kCancel || c == kSubstitute) {
      runControls();
      return i + 1;
    }
    if (c < 0x20) {
      controls += static_cast<char>(c);
      continue;
    }
    if (c == 0x7F) continue;
    if (c >= 0x80 && !body.empty()) {  // not part of a sequence: drop what came so far
      runControls();
      return i;
    }
    body += static_cast<char>(c);
    if (SequenceComplete(body)) {
      runControls();
      EscapeSequence(body);
      return i + 1;
    }
  }
  if (count > kMaxSequenceLength) {  // garbage too long to be a sequence
    runControls();
    return count;
  }
  return 0;
}

void CTermSession::EscapeSequence(const std::string& body) {
  const char designation = body.size() > 1 ? body[1] : 0;
  switch (body[0]) {
    case '7': SaveCursor(); break;
    case '8': RestoreCursor(); break;
    case '=': m_appKeypad = true; break;
    case '>': m_appKeypad = false; break;
    case 'D':
      m_col = Column();
      NewLine();
      break;
    case 'E':
      m_col = 0;
      NewLine();
      break;
    case 'H': m_tabStops[Column()] = true; break;
    case 'M': ReverseIndex(); break;
    case 'c': FullReset(); break;
    // Operating-system commands and the other strings up to a terminator.
    case ']': case 'P': case '^': case '_': m_inOsc = true; break;
    case '[': ControlSequence(body); break;
    // Designations other than line drawing and ASCII are ignored.
    case '(':
      if (designation == '0' || designation == 'B') m_g0LineDrawing = designation == '0';
      break;
    case ')':
      if (designation == '0' || designation == 'B') m_g1LineDrawing = designation == '0';
      break;
    // ESC # 3 to 6 ask for double-height and double-width lines, which are
    // drawn single; ESC # 8 is the alignment test.
    case '#':
      if (designation == '8') AlignmentFill();
      break;
    default: break;
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

// `body` is "[", the parameters and intermediates, and the final byte.
void CTermSession::ControlSequence(const std::string& body) {
  const int last = static_cast<int>(body.size()) - 1;
  int i = 1;
  char prefix = 0;
  if (i < last && (body[i] == '?' || body[i] == '>' || body[i] == '=' || body[i] == '<')) prefix = body[i++];
  int params[kMaxParams];
  int paramCount = 0;
  int current = -1;  // -1: the parameter is missing
  char intermediate = 0;
  for (; i < last; ++i) {
    const char c = body[i];
    if (c >= '0' && c <= '9') {
      current = std::min((current < 0 ? 0 : current) * 10 + (c - '0'), kMaxParamValue);
    } else if (c == ';' || c == ':') {
      if (paramCount < kMaxParams) params[paramCount++] = current;
      current = -1;
    } else if (c >= 0x20 && c <= 0x2F) {
      intermediate = c;
    } else {
      return;  // a private marker in the middle: nothing xterm knows
    }
  }
  if (paramCount < kMaxParams) params[paramCount++] = current;
  const char final = body[last];
  if (intermediate == 0) ControlSequence(final, prefix, params, paramCount);
  else if (intermediate == '!' && final == 'p' && prefix == 0) SoftReset();
}

void CTermSession::ControlSequence(char final, char prefix, const int* params, int paramCount) {
  const int n = Count(params, paramCount, 0);
  const int selector = Selector(params, paramCount, 0);
  if (prefix == '?') {
    if (final == 'h' || final == 'l')
      for (int k = 0; k < paramCount; ++k) PrivateMode(params[k], final == 'h');
    // No cell is ever protected, so the selective erases erase everything.
    if (final == 'J') EraseInDisplay(selector);
    if (final == 'K') EraseInLine(selector);
    if (final == 'n') StatusReport(prefix, selector);
    return;
  }
  if (prefix == '>') {
    if (final == 'c' && selector == 0) Answer("\x1b[>0;10;0c");  // a VT100, firmware 10
    return;
  }
  if (prefix != 0) return;
  const int col = Column();
  switch (final) {
    case '@': InsertBlanks(n); break;
    case 'A': case 'k': MoveUp(n); break;
    case 'B': case 'e': MoveDown(n); break;
    case 'C': case 'a': MoveTo(col + n, m_row); break;
    case 'D': case 'j': MoveTo(col - n, m_row); break;
    case 'E':
      MoveDown(n);
      m_col = 0;
      break;
    case 'F':
      MoveUp(n);
      m_col = 0;
      break;
    case 'G': case '`': MoveTo(n - 1, m_row); break;
    case 'H':
    case 'f': MoveToAddressed(Count(params, paramCount, 1) - 1, n - 1); break;
    case 'd': MoveToAddressed(col, n - 1); break;
    case 'I': TabForward(n); break;
    case 'Z': TabBackward(n); break;
    case 'g':
      if (selector == 0) m_tabStops[col] = false;
      if (selector == 3) std::fill(m_tabStops.begin(), m_tabStops.end(), false);
      break;
    case 'J': EraseInDisplay(selector); break;
    case 'K': EraseInLine(selector); break;
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
    case 'c':
      if (selector == 0) Answer("\x1b[?1;2c");  // a VT100 with advanced video
      break;
    case 'h':
    case 'l':
      for (int k = 0; k < paramCount; ++k) SetMode(params[k], final == 'h');
      break;
    case 'm': GraphicRendition(params, paramCount); break;
    case 'n': StatusReport(prefix, selector); break;
    case 'r': {
      const int top = n - 1;
      const int bottom = paramCount > 1 && params[1] > 0 ? std::min(params[1], m_lines) - 1 : m_lines - 1;
      if (top < bottom) {
        m_top = top;
        m_bottom = bottom;
        MoveToAddressed(0, 0);
      }
      break;
    }
    // Without parameters these save and restore the cursor; with them they
    // would set left and right margins, which are not kept.
    case 's':
      if (paramCount == 1 && params[0] < 0) SaveCursor();
      break;
    case 'u':
      if (paramCount == 1 && params[0] < 0) RestoreCursor();
      break;
    case 'x':  // terminal parameters: no parity, 8 bits, 38400 baud
      if (selector == 0) Answer("\x1b[2;1;1;128;128;1;0x");
      if (selector == 1) Answer("\x1b[3;1;1;128;128;1;0x");
      break;
    default: break;
  }
}

void CTermSession::EraseInDisplay(int selector) {
  const int col = Column();
  switch (selector) {
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
}

void CTermSession::EraseInLine(int selector) {
  const int col = Column();
  switch (selector) {
    case 0: EraseCells(col, m_row, m_columns - col); break;
    case 1: EraseCells(0, m_row, col + 1); break;
    case 2: EraseCells(0, m_row, m_columns); break;
    default: break;
  }
}

// Programs that ask wait for the answer; in origin mode the cursor row
// counts from the top of the scroll region.
void CTermSession::StatusReport(char prefix, int request) {
  const int row = m_row - (m_originMode ? m_top : 0) + 1;
  char answer[48] = "";
  if (prefix == 0 && request == 5) std::snprintf(answer, sizeof answer, "\x1b[0n");
  if (prefix == 0 && request == 6) std::snprintf(answer, sizeof answer, "\x1b[%d;%dR", row, Column() + 1);
  if (prefix == '?' && request == 6) std::snprintf(answer, sizeof answer, "\x1b[?%d;%d;1R", row, Column() + 1);
  if (prefix == '?' && request == 15) std::snprintf(answer, sizeof answer, "\x1b[?13n");  // no printer
  if (prefix == '?' && request == 25) std::snprintf(answer, sizeof answer, "\x1b[?20n");  // keys unlocked
  if (prefix == '?' && request == 26) std::snprintf(answer, sizeof answer, "\x1b[?27;1;0;0n");  // a US keyboard
  Answer(answer);
}

// A program that asks but stops reading its terminal must not freeze the
// window: when the terminal cannot take the answer, it is dropped.
void CTermSession::Answer(const char* bytes) {
  if (*bytes == 0) return;
  pollfd writable{m_fd, POLLOUT, 0};
  if (poll(&writable, 1, 0) == 1 && (writable.revents & POLLOUT)) WriteAll(m_fd, bytes);
}

void CTermSession::SetMode(int mode, bool set) {
  if (mode == 4) m_insertMode = set;
  if (mode == 20) m_newLineMode = set;
}

void CTermSession::PrivateMode(int mode, bool set) {
  switch (mode) {
    case 1: m_appCursorKeys = set; break;
    case 6:
      m_originMode = set;
      MoveToAddressed(0, 0);
      break;
    case 7: m_autoWrap = set; break;
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

// Like xterm, the saved cursor carries the rendition, origin mode and
// character sets with it.
void CTermSession::SaveCursor() {
  m_saved = SavedCursor{Column(), m_row, m_foreground, m_background, m_reverse, m_bold, m_underline,
                        m_originMode, m_g0LineDrawing, m_g1LineDrawing, m_shiftOut};
}

void CTermSession::RestoreCursor() {
  m_foreground = m_saved.foreground;
  m_background = m_saved.background;
  m_reverse = m_saved.reverse;
  m_bold = m_saved.bold;
  m_underline = m_saved.underline;
  m_originMode = m_saved.originMode;
  m_g0LineDrawing = m_saved.g0LineDrawing;
  m_g1LineDrawing = m_saved.g1LineDrawing;
  m_shiftOut = m_saved.shiftOut;
  UpdateAttr();
  MoveTo(m_saved.col, m_saved.row);
}

void CTermSession::MoveToAddressed(int col, int row) {
  if (m_originMode) row = std::clamp(row + m_top, m_top, m_bottom);
  MoveTo(col, row);
}

// Relative moves stop at the scroll region's edge when they start inside it.
void CTermSession::MoveUp(int count) {
  const int top = m_row >= m_top ? m_top : 0;
  MoveTo(Column(), std::max(m_row - count, top));
}

void CTermSession::MoveDown(int count) {
  const int bottom = m_row <= m_bottom ? m_bottom : m_lines - 1;
  MoveTo(Column(), std::min(m_row + count, bottom));
}

// Forward tabs stop at the last column, backward ones at the first.
void CTermSession::TabForward(int count) {
  int col = Column();
  for (; count > 0 && col < m_columns - 1; --count)
    do ++col; while (col < m_columns - 1 && !m_tabStops[col]);
  MoveTo(col, m_row);
}

void CTermSession::TabBackward(int count) {
  int col = Column();
  for (; count > 0 && col > 0; --count)
    do --col; while (col > 0 && !m_tabStops[col]);
  MoveTo(col, m_row);
}

void CTermSession::AlignmentFill() {
  m_top = 0;
  m_bottom = m_lines - 1;
  m_originMode = false;
  for (int row = 0; row < m_lines; ++row) m_console->FillCells(0, row, m_columns, TCell{'E', m_defaultAttr});
  MoveTo(0, 0);
}

// The modes and the rendition go back to their defaults; the screen and the
// cursor position stay.
void CTermSession::SoftReset() {
  FlushLine();
  m_console->SetCursorSize(kShownCursorSize);
  m_insertMode = m_originMode = false;
  m_autoWrap = true;
  m_top = 0;
  m_bottom = m_lines - 1;
  m_foreground = AttrForeground(m_defaultAttr);
  m_background = AttrBackground(m_defaultAttr);
  m_reverse = m_bold = m_underline = false;
  UpdateAttr();
  m_appCursorKeys = false;
  m_appKeypad = false;
  m_g0LineDrawing = m_g1LineDrawing = m_shiftOut = false;
  m_saved = SavedCursor{0, 0, m_foreground, m_background};
}

// Everything as when the session started, on a cleared main screen.
void CTermSession::FullReset() {
  LeaveAlternateScreen(false);
  SoftReset();
  m_newLineMode = false;
  for (int col = 0; col < m_columns; ++col) m_tabStops[col] = col % kTabWidth == 0;
  m_lastChar = ' ';
  EraseRows(0, m_lines);
  MoveTo(0, 0);
}

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
  m_saved.col = std::min(m_saved.col, m_columns - 1);
  m_saved.row = std::min(m_saved.row, m_lines - 1);
  m_top = 0;
  m_bottom = m_lines - 1;
  m_console->SetCursorPos(Column(), m_row);
  winsize size{};
  size.ws_row = static_cast<unsigned short>(lines);
  size.ws_col = static_cast<unsigned short>(columns);
  (void)ioctl(m_fd, TIOCSWINSZ, &size);
}
