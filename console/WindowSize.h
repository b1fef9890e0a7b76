#pragma once
// How the window's pixel size becomes a screen size in whole cells, and how
// a burst of configure events (a drag of the window edge) settles into one
// change.
#include <cstdint>

/// A screen size in cells.
struct TScreenCells {
  int columns = 0, lines = 0;
  bool operator==(const TScreenCells& other) const {
    return columns == other.columns && lines == other.lines;
  }
  bool operator!=(const TScreenCells& other) const { return !(*this == other); }
};

/// The smallest screen a user can drag the window down to.
constexpr TScreenCells kMinimumWindowCells{80, 25};

/// The whole cells a drawing area of width x height pixels holds; the rest
/// of a partly covered cell is dropped, and the result is never below
/// `minimum`. A cell size below 1 counts as 1.
TScreenCells CellsForPixels(int width, int height, int cellWidth, int cellHeight,
                            TScreenCells minimum);

/// Each noted window size restarts a quiet period; only a size that still
/// stands when the period ends is handed out, once. Window-system thread.
class CResizeSettler {
 public:
  explicit CResizeSettler(int quietMs) : m_quietMs(quietMs) {}

  /// Notes the window's pixel size at time `nowMs`.
  void Note(int width, int height, int64_t nowMs);
  /// Whether a noted size waits for its quiet period to end.
  bool Pending() const { return m_pending; }
  /// After the quiet period: hands out the last noted size, forgets it and
  /// returns true; before it, or with nothing noted, returns false.
  bool Take(int64_t nowMs, int* width, int* height);
  /// Forgets a noted size (the window came back to the screen's size).
  void Cancel() { m_pending = false; }

 private:
  int m_quietMs;
  int m_width = 0, m_height = 0;
  int64_t m_lastNoteMs = 0;
  bool m_pending = false;
};
