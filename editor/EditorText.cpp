#include "editor/EditorText.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "config/Settings.h"
#include "foundation/CodePage.h"

namespace VKEditor {

namespace {

const wchar_t EmptyLine[1] = {0};
// Horizontal scrolling moves in steps of this many columns.
constexpr int ScrollStep = 4;

// The lines of text: split at "\n", a CR before it dropped.
std::vector<Westring> SplitLines(const Westring& text) {
  std::vector<Westring> lines;
  const wchar_t* s = text.c_str();
  for (;;) {
    const wchar_t* lineFeed = wcschr(s, L'\n');
    const wchar_t* end = lineFeed ? lineFeed : s + wcslen(s);
    const wchar_t* cut = lineFeed && end > s && end[-1] == L'\r' ? end - 1 : end;
    Westring line;
    line.Assign(s, static_cast<int>(cut - s));
    lines.push_back(std::move(line));
    if (!lineFeed) return lines;
    s = lineFeed + 1;
  }
}

}  // namespace

CEditorText::CEditorText()
    : m_lines(new (std::nothrow) const wchar_t*[InitialLineRoom]),
      m_lineRoom(m_lines ? InitialLineRoom : 0),
      m_pool(PoolBlockSize),
      m_tabWidth(g_settings.tabWidth > 0 ? g_settings.tabWidth : 8) {
  m_current.MakeRoom(CurrentLineCapacity);
  m_format.codePage = TextCodePage();
  Clear();
}

CEditorText::~CEditorText() = default;

const wchar_t* CEditorText::LineText(int line) const {
  assert(line >= 0 && line < m_lineCount && "line outside the text");
  return line == m_currentIndex ? m_current.c_str() : m_lines[line];
}

int CEditorText::LineLength(int line) const {
  return line == m_currentIndex ? m_current.Length() : static_cast<int>(wcslen(LineText(line)));
}

void CEditorText::Clear() {
  m_pool.Reset();
  m_currentIndex = -1;
  m_currentChanged = false;
  m_current.Assign(EmptyLine, 0);
  m_lineCount = 0;
  if (m_lineRoom > 0) m_lines[m_lineCount++] = EmptyLine;
}

int CEditorText::GrowTable() {
  const int64_t room = m_lineRoom == 0 ? InitialLineRoom : int64_t{m_lineRoom} * 2;
  if (room > INT32_MAX) return ENOMEM;
  auto grown = std::unique_ptr<const wchar_t*[]>(new (std::nothrow) const wchar_t*[room]);
  if (!grown) return ENOMEM;
  if (m_lineCount > 0) memcpy(grown.get(), m_lines.get(), sizeof(wchar_t*) * m_lineCount);
  m_lines = std::move(grown);
  m_lineRoom = static_cast<int>(room);
  return 0;
}

wchar_t* CEditorText::CopyToPool(const wchar_t* text, int length) {
  auto* copy =
      static_cast<wchar_t*>(m_pool.Allocate(sizeof(wchar_t) * (static_cast<size_t>(length) + 1)));
  if (!copy) return nullptr;
  if (length > 0) wmemcpy(copy, text, static_cast<size_t>(length));
  copy[length] = 0;
  return copy;
}

int CEditorText::AppendLine(const wchar_t* text, int length) {
  if (m_lineCount == m_lineRoom) {
    if (int err = GrowTable()) return err;
  }
  wchar_t* copy = CopyToPool(text, length);
  if (!copy) return ENOMEM;
  m_lines[m_lineCount++] = copy;
  return 0;
}

void CEditorText::LoadLine(int line) {
  assert(line >= 0 && line < m_lineCount && "line outside the text");
  if (line == m_currentIndex) return;
  // A line that cannot be stored back stays current, so no edit is lost.
  if (StoreLine() != 0) return;
  const wchar_t* text = m_lines[line];
  m_current.Assign(text, static_cast<int>(wcslen(text)));
  m_currentIndex = line;
  m_currentChanged = false;
}

int CEditorText::StoreLine() {
  if (m_currentIndex < 0 || !m_currentChanged) return 0;
  wchar_t* copy = CopyToPool(m_current.c_str(), m_current.Length());
  if (!copy) return ENOMEM;
  m_lines[m_currentIndex] = copy;
  m_currentChanged = false;
  return 0;
}

void CEditorText::InsertTableLines(int at, int count) {
  memmove(&m_lines[at + count], &m_lines[at], sizeof(wchar_t*) * (m_lineCount - at));
  m_lineCount += count;
}

void CEditorText::RemoveTableLines(int at, int count) {
  memmove(&m_lines[at], &m_lines[at + count], sizeof(wchar_t*) * (m_lineCount - at - count));
  m_lineCount -= count;
}

Westring CEditorText::RegionText(const TTextRegion& region) {
  Westring text;
  if (!region.present) return text;
  for (int line = region.start.line; line <= region.end.line; ++line) {
    const int length = LineLength(line);
    const int from = line == region.start.line ? std::min(region.start.index, length) : 0;
    const int to = line == region.end.line ? std::min(region.end.index, length) : length;
    if (line > region.start.line) text += L"\r\n";
    if (to > from) text.Append(LineText(line) + from, to - from);
  }
  return text;
}

int CEditorText::DeleteRegion(const TTextRegion& region) {
  if (!region.present) return 0;
  if (int err = StoreLine()) return err;
  m_currentIndex = -1;
  const TTextPos start = region.start;
  const TTextPos end = region.end;
  assert(!(end < start) && end.line < m_lineCount && "region out of order or outside the text");
  const int headLength = std::min(start.index, LineLength(start.line));
  const wchar_t* tail = LineText(end.line);
  const int tailLength = static_cast<int>(wcslen(tail));
  const int tailFrom = std::min(end.index, tailLength);
  Westring joined;
  joined.Assign(LineText(start.line), headLength);
  joined.Append(tail + tailFrom, tailLength - tailFrom);
  wchar_t* copy = CopyToPool(joined.c_str(), joined.Length());
  if (!copy) return ENOMEM;
  m_lines[start.line] = copy;
  RemoveTableLines(start.line + 1, end.line - start.line);
  m_flags.fullRedraw = true;
  return 0;
}

int CEditorText::InsertText(TTextPos at, const Westring& text, TTextPos* end) {
  if (int err = StoreLine()) return err;
  m_currentIndex = -1;
  std::vector<Westring> pieces = SplitLines(text);
  const int added = static_cast<int>(pieces.size()) - 1;
  const wchar_t* line = LineText(at.line);
  const int length = static_cast<int>(wcslen(line));

  // The cursor may stand beyond the end of the line: blanks fill the gap.
  Westring head;
  head.Assign(line, std::min(at.index, length));
  if (at.index > length) head += Westring(at.index - length, L' ');
  Westring tail(line + std::min(at.index, length));
  const int lastLength = pieces.back().Length();
  pieces.front() = head + pieces.front();
  pieces.back() += tail;
  for (const Westring& piece : pieces)
    if (piece.Length() > MaxLineLength) return E2BIG;

  while (m_lineCount + added > m_lineRoom) {
    if (int err = GrowTable()) return err;
  }
  std::vector<wchar_t*> copies;
  for (const Westring& piece : pieces) {
    wchar_t* copy = CopyToPool(piece.c_str(), piece.Length());
    if (!copy) return ENOMEM;
    copies.push_back(copy);
  }
  InsertTableLines(at.line + 1, added);
  for (int i = 0; i <= added; ++i) m_lines[at.line + i] = copies[i];
  *end = {added == 0 ? head.Length() + lastLength : lastLength, at.line + added};
  m_flags.fullRedraw = true;
  return 0;
}

void CEditorText::SetTextArea(int rows, int columns) {
  m_textRows = std::max(1, rows);
  m_textColumns = std::max(1, columns);
}

void CEditorText::MoveCursorTo(TTextPos pos) {
  pos.line = std::clamp(pos.line, 0, m_lineCount - 1);
  pos.index = std::max(0, pos.index);
  LoadLine(pos.line);
  if (pos.line < m_view.topLine || pos.line >= m_view.topLine + m_textRows) {
    m_view.topLine = std::max(0, pos.line - m_textRows / 2);
    m_flags.fullRedraw = true;
  }
  m_view.cursorRow = pos.line - m_view.topLine;
  m_view.cursorIndex = pos.index;
  m_view.targetColumn = -1;
  ScrollToCursor();
}

void CEditorText::ScrollToCursor() {
  const int line = m_view.topLine + m_view.cursorRow;
  const int column =
      ScreenColumnOf(LineText(line), LineLength(line), m_view.cursorIndex, m_tabWidth);
  const int left = m_view.leftColumn;
  while (column - m_view.leftColumn >= m_textColumns) m_view.leftColumn += ScrollStep;
  while (column < m_view.leftColumn)
    m_view.leftColumn = std::max(0, m_view.leftColumn - ScrollStep);
  if (m_view.leftColumn != left) m_flags.fullRedraw = true;
  m_view.cursorColumn = column - m_view.leftColumn;
}

int ScreenColumnOf(const wchar_t* line, int length, int index, int tabWidth) {
  int column = 0;
  const int end = std::min(index, length);
  for (int i = 0; i < end; ++i)
    column = line[i] == L'\t' ? (column / tabWidth + 1) * tabWidth : column + 1;
  return column + std::max(0, index - length);
}

int IndexAtColumn(const wchar_t* line, int length, int* column, int tabWidth) {
  int start = 0;
  for (int i = 0; i < length; ++i) {
    const int next = line[i] == L'\t' ? (start / tabWidth + 1) * tabWidth : start + 1;
    if (*column < next) {
      *column = start;
      return i;
    }
    start = next;
  }
  return length;
}

}  // namespace VKEditor
