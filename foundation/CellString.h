#pragma once
// CellString: a row of screen cells (a character and an attribute each), the
// unit in which text is prepared before it is written to the console grid.
// Room for 20 cells inside the object; a longer row lives in a heap array the
// string owns. The length is explicit and nothing is terminated. Copies are
// deep. A CellString is a plain value: one thread at a time per object.
#include <cstdint>

#include "foundation/Cell.h"

class Westring;

class CellString {
 public:
  /// Cells that fit inside the object.
  static constexpr int InlineCapacity = 20;
  /// The attribute of a string made without one: light grey on black.
  static constexpr uint8_t DefaultAttr = MakeAttr(Color::LightGray, Color::Black);

  /// An empty row whose current attribute is attr; no allocation.
  explicit CellString(uint8_t attr = DefaultAttr) : m_attr(attr) {}
  /// One cell per character of text, each with attr, which also becomes the
  /// current attribute.
  CellString(const Westring& text, uint8_t attr = DefaultAttr);
  /// 0-terminated UTF-8 decoded (invalid bytes taken as Latin-1), one cell per
  /// character with attr; a null pointer gives an empty row.
  CellString(const char* utf8, uint8_t attr = DefaultAttr);
  CellString(const CellString& other);
  /// Takes over a heap array; the source is left empty with its attribute.
  CellString(CellString&& other) noexcept;
  ~CellString();

  /// Copies cells and current attribute. The array is replaced only when it is
  /// too small, and then by one of exactly the needed size.
  CellString& operator=(const CellString& other);
  /// Takes over a heap array; the source is left empty with its attribute.
  CellString& operator=(CellString&& other) noexcept;
  /// Replaces the cells by the characters of text in the current attribute;
  /// reallocates as the copy assignment does.
  CellString& operator=(const Westring& text);
  /// Replaces the cells by decoded UTF-8 in the current attribute; null gives
  /// an empty row.
  CellString& operator=(const char* utf8);

  /// Appends one cell.
  void Append(TCell cell);
  /// Appends one character in the current attribute.
  void Append(wchar_t ch);
  /// Appends count cells (count <= 0 appends nothing); the cells may lie in
  /// this very string.
  void AppendCells(const TCell* cells, int count);
  /// Appends at most n characters of a 0-terminated wide array, each with
  /// attr; n < 0 or n past the end takes the whole text, null appends nothing.
  /// The current attribute is unchanged.
  void AppendText(const wchar_t* text, int n, uint8_t attr);

  /// Sets the length; new cells are spaces in the current attribute and the
  /// array grows as appending grows it. A negative length counts as 0.
  void SetLength(int length);
  /// Makes the capacity at least n cells (exactly n when it grows), keeping the cells.
  void Reserve(int n);

  /// count cells from start: start is clamped into 0..Length(); a negative
  /// count or one running past the end takes everything to the end.
  CellString Sub(int start, int count) const;
  /// The first n cells, n clamped into 0..Length().
  CellString Left(int n) const;
  /// A copy padded with spaces in the current attribute to length cells; a
  /// longer row is copied whole.
  CellString PaddedTo(int length) const;

  const TCell* Cells() const { return m_cells; }
  TCell* Data() { return m_cells; }
  int Length() const { return m_length; }
  bool IsEmpty() const { return m_length == 0; }
  /// Cells the array holds.
  int Capacity() const { return m_capacity; }
  /// The attribute given to cells appended from plain characters.
  uint8_t Attr() const { return m_attr; }
  void SetAttr(uint8_t attr) { m_attr = attr; }

  /// Cell index, which must lie in 0..Length()-1.
  TCell& operator[](int index);
  const TCell& operator[](int index) const;

 private:
  bool OnHeap() const { return m_cells != m_inline; }
  // Replaces the array by one of capacity cells holding the first keep cells.
  void ReplaceArray(int capacity, int keep);
  // Makes room for needed cells, keeping the content: needed + needed/2.
  void Grow(int needed);
  // Makes room for needed cells, discarding the content: exactly needed.
  void MakeRoom(int needed);
  void AssignText(const wchar_t* text, int count);

  TCell* m_cells = m_inline;
  int32_t m_length = 0;
  int32_t m_capacity = InlineCapacity;
  uint8_t m_attr = DefaultAttr;
  TCell m_inline[InlineCapacity];
};
