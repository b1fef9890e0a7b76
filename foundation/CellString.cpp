#include "foundation/CellString.h"

#include <cassert>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "foundation/Westring.h"

namespace {

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

void CopyCells(TCell* to, const TCell* from, int count) {
  if (count > 0) memmove(to, from, static_cast<size_t>(count) * sizeof(TCell));
}

}  // namespace

CellString::CellString(const Westring& text, uint8_t attr) : m_attr(attr) {
  AssignText(text.c_str(), text.Length());
}

CellString::CellString(const char* utf8, uint8_t attr) : m_attr(attr) {
  Westring text(utf8);
  AssignText(text.c_str(), text.Length());
}

CellString::CellString(const CellString& other) : m_attr(other.m_attr) {
  MakeRoom(other.m_length);
  CopyCells(m_cells, other.m_cells, other.m_length);
  m_length = other.m_length;
}

CellString::CellString(CellString&& other) noexcept : m_attr(other.m_attr) {
  if (other.OnHeap()) {
    m_cells = other.m_cells;
    m_capacity = other.m_capacity;
    m_length = other.m_length;
    other.m_cells = other.m_inline;
    other.m_capacity = InlineCapacity;
  } else {
    CopyCells(m_inline, other.m_inline, other.m_length);
    m_length = other.m_length;
  }
  other.m_length = 0;
}

CellString::~CellString() {
  if (OnHeap()) delete[] m_cells;
}

CellString& CellString::operator=(const CellString& other) {
  if (this == &other) return *this;
  MakeRoom(other.m_length);
  CopyCells(m_cells, other.m_cells, other.m_length);
  m_length = other.m_length;
  m_attr = other.m_attr;
  return *this;
}

CellString& CellString::operator=(CellString&& other) noexcept {
  if (this == &other) return *this;
  m_attr = other.m_attr;
  if (!other.OnHeap()) {
    // An inline source fits whatever array this string has.
    CopyCells(m_cells, other.m_inline, other.m_length);
    m_length = other.m_length;
    other.m_length = 0;
    return *this;
  }
  if (OnHeap()) delete[] m_cells;
  m_cells = other.m_cells;
  m_capacity = other.m_capacity;
  m_length = other.m_length;
  other.m_cells = other.m_inline;
  other.m_capacity = InlineCapacity;
  other.m_length = 0;
  return *this;
}

CellString& CellString::operator=(const Westring& text) {
  AssignText(text.c_str(), text.Length());
  return *this;
}

CellString& CellString::operator=(const char* utf8) {
  Westring text(utf8);
  AssignText(text.c_str(), text.Length());
  return *this;
}

void CellString::ReplaceArray(int capacity, int keep) {
  auto* cells = new TCell[capacity];
  CopyCells(cells, m_cells, keep);
  if (OnHeap()) delete[] m_cells;
  m_cells = cells;
  m_capacity = capacity;
}

void CellString::Grow(int needed) {
  if (m_capacity < needed) ReplaceArray(needed + needed / 2, m_length);
}

void CellString::MakeRoom(int needed) {
  m_length = 0;
  if (m_capacity < needed) ReplaceArray(needed, 0);
}

void CellString::AssignText(const wchar_t* text, int count) {
  MakeRoom(count);
  for (int i = 0; i < count; ++i) {
    m_cells[i].ch = static_cast<uint32_t>(text[i]);
    m_cells[i].attr = m_attr;
  }
  m_length = count;
}

void CellString::Append(TCell cell) {
  Grow(m_length + 1);
  m_cells[m_length++] = cell;
}

void CellString::Append(wchar_t ch) {
  TCell cell;
  cell.ch = static_cast<uint32_t>(ch);
  cell.attr = m_attr;
  Append(cell);
}

void CellString::AppendCells(const TCell* cells, int count) {
  if (!cells || count <= 0) return;
  // Growing releases the old array, so a source inside it is found again by offset.
  bool aliased = cells >= m_cells && cells < m_cells + m_capacity;
  std::ptrdiff_t offset = cells - m_cells;
  Grow(m_length + count);
  if (aliased) cells = m_cells + offset;
  CopyCells(m_cells + m_length, cells, count);
  m_length += count;
}

void CellString::AppendText(const wchar_t* text, int n, uint8_t attr) {
  if (!text) return;
  int length = static_cast<int>(wcslen(text));
  if (n < 0 || n > length) n = length;
  Grow(m_length + n);
  for (int i = 0; i < n; ++i) {
    m_cells[m_length + i].ch = static_cast<uint32_t>(text[i]);
    m_cells[m_length + i].attr = attr;
  }
  m_length += n;
}

void CellString::SetLength(int length) {
  if (length < 0) length = 0;
  Grow(length);
  for (int i = m_length; i < length; ++i) {
    m_cells[i].ch = ' ';
    m_cells[i].attr = m_attr;
  }
  m_length = length;
}

void CellString::Reserve(int n) {
  if (m_capacity < n) ReplaceArray(n, m_length);
}

CellString CellString::Sub(int start, int count) const {
  start = Clamp(start, 0, m_length);
  if (count < 0 || count > m_length - start) count = m_length - start;
  CellString result(m_attr);
  result.AppendCells(m_cells + start, count);
  return result;
}

CellString CellString::Left(int n) const { return Sub(0, Clamp(n, 0, m_length)); }

CellString CellString::PaddedTo(int length) const {
  CellString result(m_attr);
  result.Reserve(length > m_length ? length : m_length);
  result.AppendCells(m_cells, m_length);
  result.SetLength(length > m_length ? length : m_length);
  return result;
}

TCell& CellString::operator[](int index) {
  assert(index >= 0 && index < m_length && "cell index outside the string");
  return m_cells[index];
}

const TCell& CellString::operator[](int index) const {
  assert(index >= 0 && index < m_length && "cell index outside the string");
  return m_cells[index];
}
