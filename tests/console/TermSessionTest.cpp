// The terminal emulator fed byte by byte, as a pseudo-terminal delivers a
// child's output, with the cell grid read back. Key bytes and answers go to
// a pipe standing in for the terminal.
#include "console/TermSession.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/ScrollBack.h"
#include "foundation/CellString.h"

namespace {

CConsole& Con() { return *g_console; }

std::u32string RowText(int row, int col = 0, int width = 10) {
  std::u32string text;
  for (int c = col; c < col + width; ++c) text += static_cast<char32_t>(Con().CellAt(c, row).ch);
  return text;
}
uint8_t AttrAt(int col, int row) { return Con().CellAt(col, row).attr; }

class TermSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    if (Con().Columns() != 80 || Con().Lines() != 25) Con().SetScreenSize(25, 80);
    Con().FillArea(0, 0, 80, 25, 7);
    Con().SetCursorPos(0, 0);
    Con().SetCursorSize(0);
    ASSERT_EQ(pipe2(m_pipe, O_NONBLOCK), 0);
    g_scrollBack.Clear();
    g_keepScrollBack = true;
  }
  void TearDown() override {
    m_session.reset();
    close(m_pipe[0]);
    close(m_pipe[1]);
    g_scrollBack.Clear();
  }
  CTermSession& Start(uint8_t defaultAttr = 0x07) {
    m_session = std::make_unique<CTermSession>(&Con(), m_pipe[1], defaultAttr);
    return *m_session;
  }
  // The session's cursor as {row, column}.
  std::pair<int, int> Cursor() const { return {m_session->CursorRow(), m_session->CursorColumn()}; }
  void Out(const std::string& bytes) { m_session->Write(bytes.data(), static_cast<int>(bytes.size())); }
  // What the session wrote towards the program.
  std::string Sent() {
    std::string bytes;
    char buffer[256];
    ssize_t n;
    while ((n = read(m_pipe[0], buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
    return bytes;
  }

  int m_pipe[2] = {-1, -1};
  std::unique_ptr<CTermSession> m_session;
};

}  // namespace

TEST_F(TermSessionTest, ControlBytesAndWrapping) {
  CTermSession& term = Start();
  Out("abc\rX");
  EXPECT_EQ(RowText(0, 0, 4), U"Xbc ");
  Out("\r\n\b\bq\tT\a");
  EXPECT_EQ(RowText(1, 0, 9), U"q       T") << "backspace stops at 0, tab to column 8";
  Out("\x01\x02\x7f");
  EXPECT_EQ(term.CursorColumn(), 9) << "other control bytes do nothing";

  Out("\r\n" + std::string(80, 'w'));
  EXPECT_EQ(term.CursorRow(), 2) << "the last column does not wrap until the next character";
  Out("z");
  EXPECT_EQ(RowText(3, 0, 2), U"z ");
  Out("\t\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(Cursor(), std::make_pair(4, 0)) << "a tab at the right edge starts a new line";
  EXPECT_EQ(Con().CursorRow(), 4) << "the console cursor follows";
}

TEST_F(TermSessionTest, CursorMovesEraseAndEditing) {
  Start();
  Out("\x1b[5;10H");
  EXPECT_EQ(Cursor(), std::make_pair(4, 9));
  Out("\x1b[2A\x1b[3C\x1b" "[D");
  EXPECT_EQ(Cursor(), std::make_pair(2, 11));
  Out("\x1b[B\x1b[G\x1b[7d");
  EXPECT_EQ(Cursor(), std::make_pair(6, 0));
  Out("\x1b[H\x1b[99;999H");
  EXPECT_EQ(Cursor(), std::make_pair(24, 79)) << "positions clamp to the screen";
  Out("\x1b[200A\x1b[200D");
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));

  Out("0123456789\x1b[1;4H\x1b[K");
  EXPECT_EQ(RowText(0), U"012       ");
  Out("\x1b[2;1H0123456789\x1b[2;4H\x1b[1K");
  EXPECT_EQ(RowText(1), U"    456789");
  Out("\x1b[2K");
  EXPECT_EQ(RowText(1), U"          ");
  Out("\x1b[3;1H0123456789\x1b[3;3H\x1b[3X");
  EXPECT_EQ(RowText(2), U"01   56789") << "X erases without moving";
  Out("\x1b[2@");
  EXPECT_EQ(RowText(2), U"01     567") << "@ inserts blanks";
  Out("\x1b[4P");
  EXPECT_EQ(RowText(2), U"01 56789  ") << "P deletes characters";
  Out("\x1b[4;1Hab\x1b[3b");
  EXPECT_EQ(RowText(3), U"abbbb     ") << "b repeats the last character";
  Out("\x1b[4;1H\x1b[4hXY\x1b[4lZ");
  EXPECT_EQ(RowText(3), U"XYZbbbb   ") << "insert mode pushes the line right";

  Out("\x1b[3;5H\x1b[1J");
  EXPECT_EQ(RowText(0) + RowText(1) + RowText(2, 0, 6), std::u32string(25, U' ') + U"7");
  EXPECT_EQ(RowText(3, 0, 3), U"XYZ");
  Out("\x1b[4;2H\x1b[J");
  EXPECT_EQ(RowText(3, 0, 3), U"X  ") << "J erases from the cursor to the end";
  Out("\x1b[10;1Hkeep\x1b[2J");
  EXPECT_EQ(RowText(9, 0, 4), U"    ");
}

TEST_F(TermSessionTest, ScrollRegionsInsertDeleteLinesAndScrollBack) {
  Start();
  for (int row = 0; row < 25; ++row) Out("\x1b[" + std::to_string(row + 1) + ";1H" + "r" + std::to_string(row));
  Out("\x1b[2;4r");
  Out("\x1b[4;1H\n");
  EXPECT_EQ(RowText(0, 0, 2), U"r0");
  EXPECT_EQ(RowText(1, 0, 2), U"r2") << "line feed at the region bottom scrolls the region only";
  EXPECT_EQ(RowText(3, 0, 2), U"  ");
  EXPECT_EQ(RowText(4, 0, 2), U"r4");
  EXPECT_EQ(g_scrollBack.Count(), 0) << "a region below the top keeps nothing";
  Out("\x1b[2;1H\x1bM");
  EXPECT_EQ(RowText(1, 0, 2), U"  ") << "reverse index at the region top scrolls it down";
  EXPECT_EQ(RowText(2, 0, 2), U"r2");
  Out("\x1b[r\x1b[10;1H\x1b[2L");
  EXPECT_EQ(RowText(9, 0, 2), U"  ");
  EXPECT_EQ(RowText(11, 0, 2), U"r9");
  EXPECT_EQ(RowText(24, 0, 3), U"r22");
  Out("\x1b[M");
  EXPECT_EQ(RowText(10, 0, 2), U"r9");
  Out("\x1b[T");
  EXPECT_EQ(RowText(0, 0, 2), U"  ");
  EXPECT_EQ(RowText(1, 0, 2), U"r0");

  Out("\x1b[3S");
  ASSERT_EQ(g_scrollBack.Count(), 3) << "the whole screen scrolled up keeps its top lines";
  EXPECT_EQ(g_scrollBack.At(1)->Cells()[0].ch, U'r');
  EXPECT_EQ(g_scrollBack.At(1)->Cells()[1].ch, U'0');
  Out("\x1b[25;1H\n\n");
  EXPECT_EQ(g_scrollBack.Count(), 5) << "line feeds at the bottom too";
  g_keepScrollBack = false;
  Out("\n");
  EXPECT_EQ(g_scrollBack.Count(), 5) << "unless scroll-back is off";
  g_keepScrollBack = true;
  Out("\x1b[?1049h\x1b[2S\n");
  EXPECT_EQ(g_scrollBack.Count(), 5) << "or the alternate screen is in use";
}

TEST_F(TermSessionTest, GraphicRenditionMapsAnsiColoursToThePalette) {
  struct TCase {
    const char* sequence;
    uint8_t attr;
  } cases[] = {
      {"\x1b[31m", 0x04},     {"\x1b[32m", 0x02},     {"\x1b[33m", 0x06},    {"\x1b[34m", 0x01},
      {"\x1b[36m", 0x03},     {"\x1b[35;44m", 0x15},  {"\x1b[1;31m", 0x0C},  {"\x1b[91m", 0x0C},
      {"\x1b[103m", 0xE7},    {"\x1b[4m", 0x87},      {"\x1b[4;24m", 0x07},  {"\x1b[7m", 0x70},
      {"\x1b[31;42;7m", 0x42}, {"\x1b[7;27m", 0x07},  {"\x1b[1;22m", 0x07},  {"\x1b[10;5;3m", 0x07},
      {"\x1b[38;5;34m", 0x07}, {"\x1b[38;2;40;41;42m", 0x07},
  };
  CTermSession& term = Start();
  for (const TCase& c : cases) {
    Out(std::string("\x1b[0m") + c.sequence);
    EXPECT_EQ(term.Attr(), c.attr) << "after " << c.sequence + 1;
  }
  Out("\x1b[0m\x1b[34;41mab\x1b[mc");
  EXPECT_EQ(AttrAt(0, 0), 0x41);
  EXPECT_EQ(AttrAt(2, 0), 0x07) << "a bare m resets";
  m_session.reset();

  // The defaults are the console's output colour, whatever it is.
  CTermSession& blue = Start(0x1E);
  Out("\x1b[31;42m\x1b[39m");
  EXPECT_EQ(blue.Attr(), 0x2E);
  Out("\x1b[49m");
  EXPECT_EQ(blue.Attr(), 0x1E);
  Out("\x1b[45m\x1b[99;109m");
  EXPECT_EQ(blue.Attr(), 0x1E);
  Out("\x1b[K");
  EXPECT_EQ(AttrAt(79, 0), 0x1E) << "erased cells take the current colours";
}

TEST_F(TermSessionTest, LineDrawingAndOperatingSystemCommands) {
  Start();
  Out("\x1b(0lqkx_a`~\x1b(Bq\x1b(Aq");
  EXPECT_EQ(RowText(0, 0, 11), U"┌─┐│ ▒◆·qq ");
  Out("\r\n\x1b]0;a title\x07seen\x1b]2;other\x1b\\too");
  EXPECT_EQ(RowText(1, 0, 8), U"seentoo ");
  Out("\r\n\x1b]0;split ");
  Out("over chunks");
  Out("\x9c" "after");
  EXPECT_EQ(RowText(2, 0, 6), U"after ");
  Out("\r\n\x1b]0;esc\x1b");
  Out("\\done");
  EXPECT_EQ(RowText(3, 0, 5), U"done ");
  Out("\r\n\x1b]0;unended");
  Out("\x1b[31mred");
  EXPECT_EQ(RowText(4, 0, 4), U"red ") << "an ESC opening the next chunk ends the command";
}

TEST_F(TermSessionTest, UnfinishedCharactersAndSequencesWaitForTheNextChunk) {
  Start();
  Out("a\xc3");
  Out("\xa9" "b");
  EXPECT_EQ(RowText(0, 0, 3), U"aéb");
  Out("\xf0\x9f");
  Out("\x98");
  Out("\x80!");
  EXPECT_EQ(RowText(0, 3, 2), U"😀!");
  Out("\x1b");
  Out("[3");
  Out("1mR");
  EXPECT_EQ(RowText(0, 5, 1), U"R");
  EXPECT_EQ(AttrAt(5, 0), 0x04);
  Out("\x1b(");
  Out("0q\x1b(B");
  EXPECT_EQ(RowText(0, 6, 1), U"─");
  Out("\x1b[1;");
  Out("1H");
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));
  // Garbage never piles up: an endless parameter list is dropped.
  Out("\x1b[" + std::string(1000, '1') + "mX");
  Out("\x1b[" + std::string(300, ';'));
  Out("Y");
  EXPECT_EQ(RowText(0, 0, 1), U"X");
  EXPECT_EQ(RowText(0, 1, 1), U"Y");
}

TEST_F(TermSessionTest, AlternateScreenAndSavedCursor) {
  Con().WriteText(0, 3, L"PANELS", 0x1B);
  Con().SetCursorPos(4, 20);
  Con().SetCursorSize(50);
  CTermSession& term = Start();
  EXPECT_EQ(Con().CursorSize(), 15) << "the session shows a cursor";
  Out("\x1b[?1049h");
  EXPECT_TRUE(term.InAlternateScreen());
  EXPECT_EQ(RowText(3, 0, 6), U"      ");
  Out("\x1b[1;1Hfull screen");
  Out("\x1b[?1049l");
  EXPECT_FALSE(term.InAlternateScreen());
  EXPECT_EQ(RowText(3, 0, 6), U"PANELS");
  EXPECT_EQ(AttrAt(0, 3), 0x1B);
  EXPECT_EQ(RowText(0, 0, 4), U"    ");
  EXPECT_EQ(Cursor(), std::make_pair(20, 4)) << "1049 restores the cursor";

  Out("\x1b[?47h\x1b[5;5Hx\x1b[?47l");
  EXPECT_EQ(RowText(3, 0, 6), U"PANELS");
  EXPECT_EQ(term.CursorRow(), 4) << "47 keeps the cursor where the program left it";
  Out("\x1b[?1048h\x1b[9;9H\x1b[?1048l");
  EXPECT_EQ(term.CursorRow(), 4);
  Out("\x1b" "7\x1b[12;2H\x1b" "8");
  EXPECT_EQ(Cursor(), std::make_pair(4, 5));
  Out("\x1b[31m\x1b(0\x1b" "7\x1b[m\x1b(B\x1b" "8q");
  EXPECT_EQ(RowText(4, 5, 1), U"─") << "the saved cursor carries the character set";
  EXPECT_EQ(AttrAt(5, 4), 0x04) << "and the rendition";
  Out("\x1b[m\x1b(B");

  Out("\x1b[?1047hleft on");
  m_session.reset();
  EXPECT_EQ(RowText(3, 0, 6), U"PANELS") << "a program that never left the alternate screen";
  EXPECT_EQ(Con().CursorSize(), 50);
}

TEST_F(TermSessionTest, KeysBecomeXtermSequences) {
  CTermSession& term = Start();
  // A typed character above U+00FF and the grey plus send nothing.
  for (uint32_t key : {uint32_t{'a'}, Key::CtrlC, uint32_t{0xE9}, uint32_t{0x151}, Key::GreyPlus})
    term.SendKey(key);
  EXPECT_EQ(Sent(), "a\x03\xe9");
  for (uint32_t key : {Key::Up, Key::Home}) term.SendKey(key);
  EXPECT_EQ(Sent(), "\x1b[A\x1b[H");
  Out("\x1b[?1h\x1b=");
  EXPECT_TRUE(term.AppCursorKeys());
  EXPECT_TRUE(term.AppKeypad());
  for (uint32_t key : {Key::Up, Key::End, Key::PageDown}) term.SendKey(key);
  EXPECT_EQ(Sent(), "\x1bOA\x1bOF\x1b[6~");
  Out("\x1b[?1l\x1b>");
  EXPECT_FALSE(term.AppCursorKeys());
  EXPECT_FALSE(term.AppKeypad());

  const struct {
    uint32_t key;
    const char* bytes;
  } fixed[] = {
      {Key::Down, "\x1b[B"},        {Key::Right, "\x1b[C"},        {Key::Left, "\x1b[D"},
      {Key::End, "\x1b[F"},         {Key::PageUp, "\x1b[5~"},      {Key::Insert, "\x1b[2~"},
      {Key::Delete, "\x1b[3~"},     {Key::CtrlPageUp, "\x1b[5;5~"}, {Key::CtrlPageDown, "\x1b[6;5~"},
      {Key::F1, "\x1bOP"},          {Key::F2, "\x1bOQ"},           {Key::F3, "\x1bOR"},
      {Key::F4, "\x1bOS"},          {Key::F5, "\x1b[15~"},         {Key::F6, "\x1b[17~"},
      {Key::F10, "\x1b[21~"},       {Key::F11, "\x1b[23~"},        {Key::F12, "\x1b[24~"},
      {Key::BackSpace, "\x08"},
  };
  for (const auto& entry : fixed) EXPECT_EQ(CTermSession::KeyBytes(entry.key, false), entry.bytes) << "input: " << entry.key;
  EXPECT_EQ(CTermSession::KeyBytes(Key::Left, true), "\x1bOD");
  EXPECT_EQ(CTermSession::KeyBytes(Key::PageUp, true), "\x1b[5~");

  Out("\x1b[?25l");
  EXPECT_EQ(Con().CursorSize(), 0);
  Out("\x1b[?25h\x1b[3;7H\x1b[6n");
  EXPECT_EQ(Con().CursorSize(), 15);
  EXPECT_EQ(Sent(), "\x1b[3;7R") << "a cursor position request is answered";
}

TEST_F(TermSessionTest, CursorAndLineControlsBeyondTheBasics) {
  Start();
  Out("\x1b[3;5H\x1b" "D");
  EXPECT_EQ(Cursor(), std::make_pair(3, 4)) << "index keeps the column";
  Out("\x1b" "E");
  EXPECT_EQ(Cursor(), std::make_pair(4, 0)) << "next line returns the carriage";
  Out("\x1b[10;20H\x1b[2E");
  EXPECT_EQ(Cursor(), std::make_pair(11, 0));
  Out("\x1b[5`\x1b[3F");
  EXPECT_EQ(Cursor(), std::make_pair(8, 0));
  Out("\x1b[7`\x1b[3a\x1b[2e");
  EXPECT_EQ(Cursor(), std::make_pair(10, 9));
  Out("\x1b[4j\x1b[5k");
  EXPECT_EQ(Cursor(), std::make_pair(5, 5));
  Out("\x1b[2I");
  EXPECT_EQ(Cursor(), std::make_pair(5, 16)) << "forward tab twice";
  Out("\x1b[Z\x1b[9Z");
  EXPECT_EQ(Cursor(), std::make_pair(5, 0)) << "back tab stops at the first column";
  Out("\x1b[3G\x1bH\x1b[G\t");
  EXPECT_EQ(Cursor(), std::make_pair(5, 2)) << "a tab stop set with ESC H";
  Out("\x1b[g\x1b[G\t");
  EXPECT_EQ(Cursor(), std::make_pair(5, 8)) << "and cleared again";
  Out("\x1b[3g\x1b[G\x1b[I");
  EXPECT_EQ(Cursor(), std::make_pair(5, 79)) << "without tab stops the last column";

  // Control bytes inside a sequence are carried out once, and the sequence goes on.
  Out("\x1b[1;6H\x1b[2\bC");
  EXPECT_EQ(Cursor(), std::make_pair(0, 6));
  Out("\x1b[1\b");
  Out("0C");
  EXPECT_EQ(Cursor(), std::make_pair(0, 15)) << "split over chunks";
  Out("\x1b[2;2H\x1b[3\x18" "A\x1b[5\x1b[2;5H");
  EXPECT_EQ(RowText(1, 1, 2), U"A ") << "CAN abandons a sequence";
  EXPECT_EQ(Cursor(), std::make_pair(1, 4)) << "a new ESC abandons it too";
}

TEST_F(TermSessionTest, OriginWrapNewLineAndInsertModes) {
  CTermSession& term = Start();
  Out("\x1b[5;10r\x1b[?6h");
  EXPECT_EQ(Cursor(), std::make_pair(4, 0)) << "origin mode homes to the region top";
  Out("\x1b[3;4H\x1b[6n");
  EXPECT_EQ(Cursor(), std::make_pair(6, 3));
  EXPECT_EQ(Sent(), "\x1b[3;4R") << "reports count from the region top";
  Out("\x1b[99;1H\x1b[20A");
  EXPECT_EQ(Cursor(), std::make_pair(4, 0)) << "and stay inside the region";
  Out("\x1b[?6l\x1b[r");
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));

  Out("\x1b[1;79Hab");
  EXPECT_EQ(term.CursorColumn(), 79) << "a pending wrap shows as the last column";
  Out("\x1b[6n");
  EXPECT_EQ(Sent(), "\x1b[1;80R");
  Out("\x1b[?7l\x1b[2;78Hxyz");
  EXPECT_EQ(RowText(1, 77, 3), U"xyz");
  Out("Q");
  EXPECT_EQ(RowText(1, 77, 3), U"xyQ") << "without auto-wrap the last column is written over";
  EXPECT_EQ(Cursor(), std::make_pair(1, 79));
  Out("\x1b[?7h\x1b[4h\x1b[3;79HABC\x1b[4l");
  EXPECT_EQ(RowText(2, 78, 2) + RowText(3, 0, 1), U"ABC") << "insert mode wraps like writing";

  Out("\x1b[5;5Hx\n");
  EXPECT_EQ(Cursor(), std::make_pair(5, 5));
  Out("\x1b[20h\v");
  EXPECT_EQ(Cursor(), std::make_pair(6, 0)) << "in newline mode a line feed returns the carriage";
  Out("\x1b[20l\x1b[3G\f");
  EXPECT_EQ(Cursor(), std::make_pair(7, 2));
}

TEST_F(TermSessionTest, ResetsAlignmentAndSelectiveErase) {
  CTermSession& term = Start();
  Out("\x1b[3;4r\x1b[31m\x1b#8");
  EXPECT_EQ(RowText(24, 70), U"EEEEEEEEEE");
  EXPECT_EQ(AttrAt(0, 0), 0x07);
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));
  Out("\x1b[25;1H\n");
  EXPECT_EQ(RowText(23, 0, 1), U"E") << "the alignment fill resets the scroll region";
  EXPECT_EQ(RowText(24, 0, 1), U" ");

  Out("\x1b[5;1H\x1b#6wide\x1b#3\x1b#5");
  EXPECT_EQ(RowText(4, 0, 5), U"wideE") << "double-width requests are ignored";
  Out("\x1b[5;3H\x1b[?K");
  EXPECT_EQ(RowText(4, 0, 4), U"wi  ");
  Out("\x1b[?1J");
  EXPECT_EQ(RowText(0, 0, 2) + RowText(4, 0, 3), U"     ");

  Out("\x1b[4h\x1b[?7l\x1b[?6h\x1b[2;5r\x1b[1;33m\x1b[?1h\x1b(0\x1b[!p");
  EXPECT_FALSE(term.AppCursorKeys());
  EXPECT_EQ(term.Attr(), 0x07);
  Out("\x1b[25;1Hab\x1b[25;1Hq\n");
  EXPECT_EQ(RowText(23, 0, 3), U"qb ") << "soft reset: no line drawing, no insert, whole-screen region, absolute rows";

  Out("\x1b[?1049h\x1b[7mX\x1b" "c");
  EXPECT_FALSE(term.InAlternateScreen());
  EXPECT_EQ(RowText(22, 0, 1) + RowText(24, 70), U"           ") << "full reset clears the main screen";
  EXPECT_EQ(term.Attr(), 0x07);
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));
}

TEST_F(TermSessionTest, DeviceAttributeAndStatusRequestsAreAnswered) {
  Start();
  Out("\x1b[c\x1b[0c\x1b[>c\x1b[5n\x1b[4;9H\x1b[?6n\x1b[?15n\x1b[?2c");
  EXPECT_EQ(Sent(), "\x1b[?1;2c\x1b[?1;2c\x1b[>0;10;0c\x1b[0n\x1b[?4;9;1R\x1b[?13n");

  // A program that asks and never reads: its full terminal does not block the session.
  while (write(m_pipe[1], "xxxxxxxxxxxxxxxx", 16) > 0) {
  }
  fcntl(m_pipe[1], F_SETFL, 0);
  Out("\x1b[6n\x1b[c");
  fcntl(m_pipe[1], F_SETFL, O_NONBLOCK);
  EXPECT_EQ(Sent().find('\x1b'), std::string::npos);
}
