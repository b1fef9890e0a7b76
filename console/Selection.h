#pragma once
#include <string>

#include "foundation/Cell.h"

/// A rectangle of cells with inclusive edges.
struct TCellRect {
  int left = 0, top = 0, right = 0, bottom = 0;

  bool Contains(int col, int row) const {
    return col >= left && col <= right && row >= top && row <= bottom;
  }
  /// The smallest rectangle holding both.
  TCellRect Union(const TCellRect& other) const;
};

/// The mouse text selection: a press anchors one cell, a drag moves the edge
/// that follows the pointer, a release copies. Only the window-system thread
/// uses it.
class TextSelection {
 public:
  /// Starts a new, not yet shown selection at one cell.
  void Begin(int col, int row);
  /// Moves the edges towards the pointer and shows the selection; returns the
  /// rectangle to redraw (old and new together).
  TCellRect Extend(int col, int row);
  /// Hides the selection.
  void Hide() { m_shown = false; }

  bool Shown() const { return m_shown; }
  const TCellRect& Rect() const { return m_rect; }

 private:
  TCellRect m_rect;
  bool m_shown = false;
  bool m_anchorRight = false;   // the right edge follows the pointer
  bool m_anchorBottom = false;  // the bottom edge follows the pointer
};

/// The clipboard text of a selection over a grid of `columns` cells a row:
/// each row with trailing white space dropped; when more than one row is
/// selected every row, the last too, ends with "\n".
std::u32string SelectionText(const TCell* grid, int columns, const TCellRect& rect);
