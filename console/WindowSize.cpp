#include "console/WindowSize.h"

#include <algorithm>

TScreenCells CellsForPixels(int width, int height, int cellWidth, int cellHeight,
                            TScreenCells minimum) {
  TScreenCells cells;
  cells.columns = std::max(minimum.columns, width / std::max(1, cellWidth));
  cells.lines = std::max(minimum.lines, height / std::max(1, cellHeight));
  return cells;
}

void CResizeSettler::Note(int width, int height, int64_t nowMs) {
  m_width = width;
  m_height = height;
  m_lastNoteMs = nowMs;
  m_pending = true;
}

bool CResizeSettler::Take(int64_t nowMs, int* width, int* height) {
  if (!m_pending || nowMs - m_lastNoteMs < m_quietMs) return false;
  m_pending = false;
  *width = m_width;
  *height = m_height;
  return true;
}
