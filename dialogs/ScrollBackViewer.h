#pragma once
// Browsing the scroll-back (Ctrl+B): a window over the whole screen showing
// the lines output scrolled off, with the current screen after them, in
// which the mouse selects text to copy. Application thread.
#include "dialogs/Win.h"

class CScrollBackBuffer;

class CScrollBackViewer : public Win {
 public:
  /// A framed window over the screen; borrows the buffer.
  explicit CScrollBackViewer(CScrollBackBuffer* lines);
  /// Shows the last page and reads keys until Escape: Up and Down move a
  /// line, PgUp and PgDn a window height less 2, Home to the first line,
  /// End to the last page.
  void Run();
  /// Index of the line in the window's top row.
  int TopLine() const { return m_topLine; }
  /// Moves so that line `top` is in the top row, clamped to the buffer.
  void ScrollTo(int top);

 private:
  void Draw();
  int LastTop() const;

  CScrollBackBuffer* m_lines;
  int m_topLine = 0;
};

/// The Ctrl+B command: the current screen's lines but the last two join the
/// scroll-back while the viewer runs. Does nothing when scroll-back is off.
void ShowScrollBack();
