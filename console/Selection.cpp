#include "console/Selection.h"

#include <algorithm>
#include <cwctype>

TCellRect TCellRect::Union(const TCellRect& other) const {
  return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
          std::max(bottom, other.bottom)};
}

void TextSelection::Begin(int col, int row) {
  m_rect = {col, row, col, row};
  m_shown = false;
  m_anchorRight = m_anchorBottom = false;
}

// An edge the pointer passes takes over; inside the rectangle the anchored
// edge follows, so dragging back shrinks the selection again.
static void FollowPointer(int pos, int& low, int& high, bool& anchorHigh) {
  if (pos < low) {
    low = pos;
    anchorHigh = false;
  } else if (pos > high) {
    high = pos;
    anchorHigh = true;
  } else if (anchorHigh) {
    high = pos;
  } else {
    low = pos;
  }
}

TCellRect TextSelection::Extend(int col, int row) {
  const TCellRect old = m_rect;
  FollowPointer(col, m_rect.left, m_rect.right, m_anchorRight);
  FollowPointer(row, m_rect.top, m_rect.bottom, m_anchorBottom);
  m_shown = true;
  return old.Union(m_rect);
}

std::u32string SelectionText(const TCell* grid, int columns, const TCellRect& rect) {
  std::u32string text;
  const bool multiRow = rect.bottom > rect.top;
  for (int row = rect.top; row <= rect.bottom; ++row) {
    std::u32string line;
    for (int col = rect.left; col <= rect.right; ++col) line += grid[row * columns + col].ch;
    while (!line.empty() && std::iswspace(static_cast<wint_t>(line.back()))) line.pop_back();
    text += line;
    if (multiRow) text += U'\n';
  }
  return text;
}
