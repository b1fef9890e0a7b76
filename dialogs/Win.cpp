#include "dialogs/Win.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "console/Console.h"
#include "dialogs/Look.h"
#include "foundation/CellString.h"
#include "foundation/Westring.h"

namespace {

CConsole& Con() { return *g_console; }

constexpr wchar_t kFrameTopLeft = 0x2554, kFrameHorizontal = 0x2550, kFrameTopRight = 0x2557,
                  kFrameVertical = 0x2551, kFrameBottomLeft = 0x255A, kFrameBottomRight = 0x255D;

}  // namespace

uint8_t HotKeyAttr(uint8_t attr) {
  const uint8_t foreground = AttrForeground(attr), background = AttrBackground(attr);
  uint8_t highlight;
  if (background == Color::LightGray || background == Color::White)
    highlight = foreground ^ 1;
  else
    highlight = foreground == Color::Yellow ? Color::White : Color::Yellow;
  return MakeAttr(highlight, background);
}

uint8_t ShadowAttr(uint8_t attr) {
  const uint8_t foreground = AttrForeground(attr);
  return MakeAttr(foreground >= 8 ? foreground - 8 : Color::DarkGray, Color::Black);
}

Win::Win(int left, int top, int rightOrWidth, int bottomOrHeight, int attr, int frameAttr,
         bool noShadow)
    : m_centred(left < 0),
      m_topDivisor(top < 0 ? -top : 0),
      m_fillAttr(attr),
      m_frameAttr(frameAttr),
      m_noShadow(noShadow) {
  CConsole& con = Con();
  if (left < 0) {
    m_left = (con.Columns() - rightOrWidth) / 2;
    m_right = m_left + rightOrWidth - 1;
  } else {
    m_left = left;
    m_right = rightOrWidth;
  }
  if (top < 0) {
    m_top = (con.Lines() - bottomOrHeight) / -top;
    m_bottom = m_top + bottomOrHeight - 1;
  } else {
    m_top = top;
    m_bottom = bottomOrHeight;
  }
  Open();
}

void Win::Open() {
  CConsole& con = Con();
  m_shadow = g_shadows && m_frameAttr >= 0 && !m_noShadow && m_bottom + 1 < con.Lines() &&
             m_right + 2 < con.Columns();
  m_saved = con.SaveArea(m_left, m_top, SavedWidth(), SavedHeight());
  m_savedGeneration = con.GridGeneration();
  if (m_fillAttr < 0) {
    m_attr = Colour(ColourClass::Messages);
  } else {
    m_attr = static_cast<uint8_t>(m_fillAttr);
    con.FillArea(m_left, m_top, m_right - m_left + 1, m_bottom - m_top + 1, m_attr);
  }
  if (m_shadow) DrawShadow();
  m_originCol = m_left;
  m_originRow = m_top;
  m_framed = false;
  if (m_frameAttr >= 0) {
    DrawFrame(static_cast<uint8_t>(m_frameAttr));
    m_framed = true;
    ++m_originCol;
    ++m_originRow;
  }
  if (!m_title.IsEmpty()) DrawTitle(m_title);
}

// The cells saved under the old screen are gone with it; what lies under the
// window now is saved instead.
void Win::Repaint() {
  if (m_hidden) return;
  CConsole& con = Con();
  const int width = m_right - m_left + 1, height = m_bottom - m_top + 1;
  if (m_centred) m_left = std::max(0, (con.Columns() - width) / 2);
  if (m_topDivisor > 0) m_top = std::max(0, (con.Lines() - height) / m_topDivisor);
  m_right = m_left + width - 1;
  m_bottom = m_top + height - 1;
  Open();
}

Win::~Win() {
  if (!m_hidden && m_saved && m_savedGeneration == Con().GridGeneration())
    Con().RestoreArea(m_left, m_top, SavedWidth(), SavedHeight(), m_saved.get());
}

int Win::Width() const { return m_right - m_left + 1 - (m_framed ? 2 : 0); }
int Win::Height() const { return m_bottom - m_top + 1 - (m_framed ? 2 : 0); }

// The shadow keeps the characters under it and only darkens them.
void Win::DrawShadow() {
  CConsole& con = Con();
  auto darken = [&con](int col, int row) {
    con.SetAttributes(col, row, 1, ShadowAttr(con.CellAt(col, row).attr));
  };
  for (int col = m_left + 2; col <= m_right + 2; ++col) darken(col, m_bottom + 1);
  for (int row = m_top + 1; row <= m_bottom; ++row) {
    darken(m_right + 1, row);
    darken(m_right + 2, row);
  }
}

void Win::DrawFrame(uint8_t attr) {
  CConsole& con = Con();
  const int inner = m_right - m_left - 1;
  Westring line(1, kFrameTopLeft);
  line += Westring(inner, kFrameHorizontal);
  line += kFrameTopRight;
  con.WriteText(m_left, m_top, line.c_str(), attr);
  line[0] = kFrameBottomLeft;
  line[inner + 1] = kFrameBottomRight;
  con.WriteText(m_left, m_bottom, line.c_str(), attr);
  const TCell side{static_cast<uint32_t>(kFrameVertical), attr};
  for (int row = m_top + 1; row < m_bottom; ++row) {
    con.FillCells(m_left, row, 1, side);
    con.FillCells(m_right, row, 1, side);
  }
}

// --- Text output -------------------------------------------------------------

void Win::WriteText(int col, int row, const wchar_t* text, int attr) {
  if (!text || row < 0 || row >= Height() || col < 0) return;
  const Westring clipped = Westring(text).Left(Width() - col);
  if (col < Width())
    Con().WriteText(m_originCol + col, m_originRow + row, clipped.c_str(),
                    static_cast<uint8_t>(attr < 0 ? m_attr : attr));
  m_cursorCol = col + clipped.Length();
  m_cursorRow = row;
}

void Win::WriteText(int col, int row, const char* text, int attr) {
  WriteText(col, row, Westring(text).c_str(), attr);
}

void Win::WriteCells(int col, int row, const CellString& cells) {
  if (row < 0 || row >= Height() || col < 0) return;
  const int count = std::max(0, std::min(cells.Length(), Width() - col));
  std::vector<TCell> run(cells.Cells(), cells.Cells() + count);
  run.push_back(TCell{0, 0});
  Con().WriteCells(m_originCol + col, m_originRow + row, run.data());
  m_cursorCol = col + count;
  m_cursorRow = row;
}

void Win::DrawTitle(const Westring& title) {
  m_title = title;
  const int col = m_left + (m_right - m_left + 1 - title.Length()) / 2;
  Con().WriteText(col, m_top, title.c_str(), m_attr);
}

void Win::WriteCentred(int row, const wchar_t* text, int attr) {
  const int length = Westring(text).Length();
  WriteText(std::max(0, (Width() - length) / 2), row, text, attr);
}

void Win::WriteCentred(int row, const char* text, int attr) {
  WriteCentred(row, Westring(text).c_str(), attr);
}

std::vector<Westring> BreakIntoLines(const Westring& text, int width, int maxLines) {
  std::vector<Westring> lines;
  if (width < 1) return lines;
  Westring rest = text;
  while (!rest.IsEmpty() && static_cast<int>(lines.size()) < maxLines) {
    const int newline = rest.Find(L'\n');
    if (newline >= 0 && newline <= width) {
      Westring line = rest.Left(newline);
      lines.push_back(line.TrimRight());
      rest = rest.Mid(newline + 1);
      continue;
    }
    if (rest.Length() <= width) {
      lines.push_back(rest);
      break;
    }
    int cut = width;
    while (cut > 0 && rest[cut] != L' ') --cut;
    if (cut == 0) cut = width;  // one word longer than the width breaks hard
    Westring line = rest.Left(cut);
    lines.push_back(line.TrimRight());
    rest = rest.Mid(cut);
    rest.TrimLeft();
  }
  return lines;
}

int Win::WriteWrapped(int col, int row, int width, const wchar_t* text, int attr) {
  const std::vector<Westring> lines = BreakIntoLines(Westring(text), width, INT32_MAX);
  for (size_t i = 0; i < lines.size(); ++i)
    WriteText(col, row + static_cast<int>(i), lines[i].c_str(), attr);
  return static_cast<int>(lines.size());
}

void Win::WriteHotKeyText(int col, int row, const wchar_t* label, const wchar_t* highlights,
                          int attr) {
  const uint8_t base = static_cast<uint8_t>(attr < 0 ? m_attr : attr);
  WriteText(col, row, label, base);
  const int endCol = m_cursorCol;
  const Westring text(label);
  for (const wchar_t* h = highlights; h && *h; ++h) {
    int at = text.Find(static_cast<wchar_t>(towupper(static_cast<wint_t>(*h))));
    if (at < 0) at = text.Find(static_cast<wchar_t>(towlower(static_cast<wint_t>(*h))));
    if (at >= 0 && col + at < Width() && row >= 0 && row < Height())
      Con().SetAttributes(m_originCol + col + at, m_originRow + row, 1, HotKeyAttr(base));
  }
  m_cursorCol = endCol;
}

void Win::Clear() { Con().FillArea(m_originCol, m_originRow, Width(), Height(), m_attr); }

void Win::ClearToEndOfRow() {
  if (m_cursorCol < Width())
    Con().FillArea(m_originCol + m_cursorCol, m_originRow + m_cursorRow, Width() - m_cursorCol, 1,
                   m_attr);
}

void Win::ScrollUp(int row, int height, int count) {
  Con().ScrollUp(m_originCol, m_originRow + row, Width(), height, count, m_attr);
}

void Win::ScrollDown(int row, int height, int count) {
  Con().ScrollDown(m_originCol, m_originRow + row, Width(), height, count, m_attr);
}

void Win::PlaceCursor(int col, int row) { Con().SetCursorPos(m_originCol + col, m_originRow + row); }

// --- Hiding ------------------------------------------------------------------

void Win::Hide() {
  if (m_hidden) return;
  std::unique_ptr<TCell[]> shown = Con().SaveArea(m_left, m_top, SavedWidth(), SavedHeight());
  Con().RestoreArea(m_left, m_top, SavedWidth(), SavedHeight(), m_saved.get());
  m_saved = std::move(shown);
  m_hidden = true;
}

void Win::Show() {
  if (!m_hidden) return;
  m_hidden = false;
  std::unique_ptr<TCell[]> covered = Con().SaveArea(m_left, m_top, SavedWidth(), SavedHeight());
  Con().RestoreArea(m_left, m_top, SavedWidth(), SavedHeight(), m_saved.get());
  m_saved = std::move(covered);
}
