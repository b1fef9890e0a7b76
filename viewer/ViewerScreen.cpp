// Where the viewer's cells are drawn: the text rows (unwrapped or wrapped,
// coloured by the syntax when that is on), the hex rows, the status line and
// the key bar.
#include <algorithm>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/KeyBar.h"
#include "dialogs/Look.h"
#include "foundation/Estring.h"
#include "viewer/FileViewer.h"

namespace {

constexpr wchar_t kContinues = 0x00BB;     // the line goes on past the right edge
constexpr wchar_t kHexSeparator = 0x2502;  // between groups of four bytes
constexpr int kHexPartWidth = 64;

uint8_t TextAttr() { return Colour(ColourClass::FileViewer); }
uint8_t StatusAttr() { return Colour(ColourClass::MenuBar); }
uint8_t MatchAttr() { return Colour(ColourClass::Highlight); }

// The status colour's background under a foreground that stands out on it.
uint8_t ContinuesAttr() {
  const uint8_t background = AttrBackground(StatusAttr());
  return MakeAttr(background >= Color::DarkGray || background == Color::LightGray ? Color::Black : Color::White,
                  background);
}

// A row of blanks with the 0 the console's cell writer stops at.
std::vector<TCell> BlankRow(int width, uint8_t attr) {
  std::vector<TCell> row(width + 1, TCell{L' ', attr});
  row[width].ch = 0;
  return row;
}

// The name's last width characters, "..." in front when it is cut.
Westring NameFitting(const Westring& name, int width) {
  if (name.Length() <= width) return name;
  if (width <= 3) return name.Right(std::max(0, width));
  return Westring(L"...") + name.Right(width - 3);
}

}  // namespace

void FileViewer::Draw() {
  CConsole& con = *g_console;
  con.BeginUpdate();
  if (m_hex) DrawHex();
  else DrawText();
  DrawStatusLine();
  DrawKeyBar();
  con.EndUpdate();
}

// --- Text rows -------------------------------------------------------------------

void FileViewer::DrawText() {
  const int rows = TextRows(), width = Columns();
  const int64_t size = m_file.KnownSize();
  m_matchLine = -1;
  TColourRun run = ColourRunAt(m_top);
  TRowPlace place{m_top, m_wrapColumn};
  int64_t cellsLine = -1, lineEnd = -1;
  m_emptyRows = 0;
  for (int row = 0; row < rows; ++row) {
    const bool haveLine = place.line < size && (cellsLine == place.line || ReadLineCells(place.line, &run, &lineEnd));
    if (!haveLine) {
      g_console->WriteCells(0, row + 1, BlankRow(width, TextAttr()).data());
      ++m_emptyRows;
      continue;
    }
    cellsLine = place.line;
    if (Wrapping()) place.column = std::min(place.column, std::max(0, static_cast<int>(m_cells.size()) - 1) / width * width);
    DrawTextRow(row + 1, place, lineEnd);
    m_lastRow = place;
    if (Wrapping() && place.column + width < static_cast<int>(m_cells.size())) place.column += width;
    else place = {lineEnd, 0};
  }
  // place is now where a further row would start.
  const bool reachesEnd = m_emptyRows > 0 || place.line >= size;
  m_lastLineStart = reachesEnd ? -1 : m_lastRow.line;
  m_bottom = place.line;
  int64_t shownUpTo = place.line;
  if (place.column > 0 && !m_cells.empty()) {
    // The last line is shown only in part: count that part of its bytes.
    shownUpTo += (lineEnd - place.line) * place.column / static_cast<int64_t>(m_cells.size());
  }
  m_shownUpTo = reachesEnd ? size : shownUpTo;
}

void FileViewer::DrawTextRow(int row, const TRowPlace& place, int64_t lineEnd) {
  const int width = Columns();
  std::vector<TCell> out = BlankRow(width, TextAttr());
  const int first = Wrapping() ? place.column : m_scroll;
  const int cells = static_cast<int>(m_cells.size());
  for (int i = 0; i < width && first + i < cells; ++i) out[i] = m_cells[first + i];
  HighlightMatch(place.line, lineEnd, first, width, out.data());
  if (!Wrapping() && cells > first + width) out[width - 1] = TCell{kContinues, ContinuesAttr()};
  g_console->WriteCells(0, row, out.data());
}

bool FileViewer::ReadLineCells(int64_t start, TColourRun* run, int64_t* next) {
  m_file.SetPosition(start);
  TViewLine line;
  if (!m_file.ReadLine(ViewTextFile::MaxLineChars, &line)) return false;
  *next = m_file.Position();
  const int tab = std::max(1, static_cast<int>(g_settings.tabWidth));
  if (m_syntax.Enabled() && run->remember && start >= run->checkpoint + CheckpointDistance) {
    m_syntax.Remember(start, run->state);
    run->checkpoint = start;
  }
  m_syntax.ColourLine(&run->state, line.text, line.length, tab, &m_cells);
  return true;
}

// The colouring state at a line start: from the nearest kept state before
// it, colouring the lines in between (and keeping states on the way); from
// scratch when the nearest is too far back to be worth the wait.
FileViewer::TColourRun FileViewer::ColourRunAt(int64_t start) {
  TColourRun run;
  run.checkpoint = start;
  if (!m_syntax.Enabled() || m_hex) return run;
  const int64_t kept = m_syntax.Recall(start, &run.state);
  if (start - kept > MaxColourRun) {
    run.state = CContextStack();
    run.remember = false;
    return run;
  }
  run.checkpoint = kept;
  int64_t line = kept, next = kept;
  while (line < start && ReadLineCells(line, &run, &next) && next > line) line = next;
  return run;
}

int FileViewer::CellColumnAt(int64_t lineStart, int64_t offset) {
  const int tab = std::max(1, static_cast<int>(g_settings.tabWidth));
  m_file.SetPosition(lineStart);
  int column = 0;
  while (m_file.Position() < offset) {
    const int c = m_file.NextChar();
    if (c < 0) break;
    column = c == L'\t' ? (column / tab + 1) * tab : column + 1;
  }
  return column;
}

void FileViewer::HighlightMatch(int64_t lineStart, int64_t lineEnd, int firstCell, int width, TCell* row) {
  if (m_lastMatch < lineStart || m_lastMatch >= lineEnd) return;
  if (m_matchLine != lineStart) {
    // Worked out once per line: a wrapped line asks again for every row.
    m_matchLine = lineStart;
    m_matchCells[0] = CellColumnAt(lineStart, m_lastMatch);
    m_matchCells[1] = std::max(m_matchCells[0] + 1, CellColumnAt(lineStart, m_matchEnd));
  }
  for (int cell = std::max(m_matchCells[0], firstCell); cell < m_matchCells[1] && cell < firstCell + width; ++cell)
    row[cell - firstCell].attr = MatchAttr();
}

// --- Hex rows --------------------------------------------------------------------

void FileViewer::DrawHex() {
  const int rows = TextRows();
  const int64_t size = m_file.KnownSize();
  int64_t offset = m_top;
  m_emptyRows = 0;
  for (int row = 0; row < rows; ++row, offset += ViewTextFile::HexLineBytes) {
    if (offset >= size) ++m_emptyRows;
    else m_lastRow = {offset, 0};
    DrawHexRow(row + 1, offset);
  }
  const bool reachesEnd = offset >= size;
  m_lastLineStart = reachesEnd ? -1 : m_lastRow.line;
  m_bottom = std::min(offset, size);
  m_shownUpTo = reachesEnd ? size : offset;
}

// "%08LX " and the sixteen bytes in hex, grouped by four, then as characters.
void FileViewer::DrawHexRow(int row, int64_t offset) {
  const int width = Columns();
  std::vector<TCell> out = BlankRow(width, TextAttr());
  if (offset < m_file.KnownSize()) {
    Westring text(Estring::Format("%08llX ", static_cast<unsigned long long>(offset)).c_str());
    Westring chars;
    std::vector<int> matched;  // cells of highlighted bytes
    for (int i = 0; i < ViewTextFile::HexLineBytes; ++i) {
      const int b = m_file.ByteAt(offset + i);
      const bool inMatch = b >= 0 && offset + i >= m_lastMatch && offset + i < m_matchEnd;
      if (inMatch) matched.push_back(text.Length()), matched.push_back(kHexPartWidth + i);
      text += b < 0 ? Westring(L"   ") : Westring(Estring::Format("%02X ", b).c_str());
      if (i % 4 == 3 && i < ViewTextFile::HexLineBytes - 1) text += Westring(L"\x2502 ");
      chars += b < 0 ? L' ' : m_file.CodePageChar(b);
    }
    text = text.FitLeft(kHexPartWidth) + chars;
    for (int i = 0; i < width && i < text.Length(); ++i) out[i].ch = static_cast<uint32_t>(text[i]);
    for (size_t k = 0; k < matched.size(); ++k) {
      const int cell = matched[k];
      const int cells = k % 2 == 0 ? 2 : 1;  // two hex digits, one character
      for (int c = cell; c < cell + cells && c < width; ++c) out[c].attr = MatchAttr();
    }
  }
  g_console->WriteCells(0, row, out.data());
}

// --- Status line and key bar -----------------------------------------------------

void FileViewer::DrawStatusLine() {
  const int width = Columns();
  Westring line = Westring(L"View: ") + NameFitting(m_path, width - 22);
  line = line.FitLeft(width - 15) + EncodingDisplayName(m_file.Encoding(), m_file.CodePage());
  const int64_t size = m_file.KnownSize();
  int percent = 100, hundredths = 0;
  if (size > 0 && m_lastLineStart >= 0) {
    percent = static_cast<int>(m_shownUpTo * 100 / size);
    hundredths = static_cast<int>(m_shownUpTo * 10000 / size - 100 * int64_t{percent});
  }
  line = line.FitLeft(width - 7) + Westring(Estring::Format("%3d.%02d%%", percent, hundredths).c_str());
  g_console->WriteText(0, 0, line.FitLeft(width).c_str(), StatusAttr());
}

void FileViewer::DrawKeyBar() {
  if (m_follow) {
    const Westring text(L"Follow Mode ON - ESC to cancel");
    const int width = Columns();
    const int left = std::max(0, (width - text.Length()) / 2);
    g_console->WriteText(0, g_console->Lines() - 1,
                         (Westring().FitLeft(left) + text).FitLeft(width).c_str(), Colour(ColourClass::Messages));
    return;
  }
  const char* wrapLabel = g_settings.viewerWrap ? (m_wrapToggled ? "2Unwrap" : "2UnWrap") : "2Wrap";
  const char* const labels[LabelsPerKeyBar] = {"1Help", wrapLabel, "3", m_hex ? "4ASCII" : "4Hex", "5", "6",
                                          "7Search", "8Home", "9End", "10Quit"};
  ::DrawKeyBar(labels);
}
