#pragma once
// Win: a rectangle of the console that saves what it covers, clears its
// interior, draws an optional double frame and shadow, writes text relative
// to its interior and puts the screen back when destroyed. Application
// thread (or a progress thread for its own window).
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Cell.h"
#include "foundation/Westring.h"

class CellString;

class Win {
 public:
  /// left < 0 centres horizontally and takes rightOrWidth as the width;
  /// top < 0 places the window (screen rows - height) / -top from the top and
  /// takes bottomOrHeight as the height. attr < 0 keeps the area as it is
  /// (the window then uses the Messages colour); frameAttr < 0 means no frame
  /// and no shadow.
  Win(int left, int top, int rightOrWidth, int bottomOrHeight, int attr, int frameAttr,
      bool noShadow = false);
  virtual ~Win();
  Win(const Win&) = delete;
  Win& operator=(const Win&) = delete;

  int Left() const { return m_left; }
  int Top() const { return m_top; }
  int Right() const { return m_right; }
  int Bottom() const { return m_bottom; }
  /// The interior's size: the outer size less the frame.
  int Width() const;
  int Height() const;
  /// Screen position of interior (0, 0).
  int OriginColumn() const { return m_originCol; }
  int OriginRow() const { return m_originRow; }
  uint8_t Attr() const { return m_attr; }
  bool Framed() const { return m_framed; }
  bool HasShadow() const { return m_shadow; }
  bool Hidden() const { return m_hidden; }
  /// Where the last text written ended (interior coordinates).
  int CursorColumn() const { return m_cursorCol; }
  int CursorRow() const { return m_cursorRow; }

  // Text output at interior positions; attr < 0 means the window attribute.
  // Each leaves the cursor after the text and clips at the interior's edge.
  void WriteText(int col, int row, const wchar_t* text, int attr = -1);
  /// Narrow text is UTF-8, as every literal of the program is.
  void WriteText(int col, int row, const char* text, int attr = -1);
  void WriteCells(int col, int row, const CellString& cells);
  /// Centres text on an interior row.
  void WriteCentred(int row, const wchar_t* text, int attr = -1);
  void WriteCentred(int row, const char* text, int attr = -1);
  /// Word-wraps text over rows from (col, row), `width` cells a row: a line
  /// breaks at the last space that fits, or hard at the width; a following
  /// line's leading spaces are dropped. Returns the number of rows written.
  int WriteWrapped(int col, int row, int width, const wchar_t* text, int attr = -1);
  /// Writes a label and highlights, for each character of `highlights`, its
  /// first occurrence in the label (upper-case form first, then lower-case).
  void WriteHotKeyText(int col, int row, const wchar_t* label, const wchar_t* highlights,
                       int attr = -1);

  /// Centres a title on the top frame row in the window attribute.
  void DrawTitle(const Westring& title);

  /// Clears the interior in the window attribute.
  void Clear();
  /// Clears from the cursor to the end of its interior row.
  void ClearToEndOfRow();
  /// Scrolls interior rows [row, row + height) up or down by count rows.
  void ScrollUp(int row, int height, int count);
  void ScrollDown(int row, int height, int count);
  /// Places the console's text cursor at an interior position.
  void PlaceCursor(int col, int row);

  /// Hiding puts the covered screen back and keeps the window's cells;
  /// showing swaps them again.
  void Hide();
  void Show();
  /// After the screen changed size: centres the window again where it was
  /// centred, saves what lies under it now, and draws its background,
  /// shadow, frame and title again; the owner draws the contents. A window
  /// whose saved cells belong to an older grid does not put them back.
  void Repaint();

 protected:
  /// Screen cells of the window and its shadow (what SaveArea covers).
  int SavedWidth() const { return m_right - m_left + 1 + (m_shadow ? 2 : 0); }
  int SavedHeight() const { return m_bottom - m_top + 1 + (m_shadow ? 1 : 0); }

 private:
  void Open();
  void DrawShadow();
  void DrawFrame(uint8_t attr);

  std::unique_ptr<TCell[]> m_saved;
  int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
  int m_originCol = 0, m_originRow = 0;
  int m_cursorCol = 0, m_cursorRow = 0;
  uint8_t m_attr = 7;
  bool m_shadow = false;
  bool m_framed = false;
  bool m_hidden = false;
  // How the window was placed and drawn, so Repaint can do it again.
  bool m_centred = false;
  int m_topDivisor = 0;  // 0: a fixed top row
  int m_fillAttr = -1;
  int m_frameAttr = -1;
  bool m_noShadow = false;
  Westring m_title;
  int m_savedGeneration = 0;
};

/// Breaks text into at most maxLines lines of at most `width` characters:
/// at the last space that fits, or hard at the width when a word is longer;
/// lines lose their trailing spaces and the next line its leading ones. A
/// line feed always ends a line.
std::vector<Westring> BreakIntoLines(const Westring& text, int width, int maxLines);

/// The attribute of a highlighted hot-key letter on a label drawn in attr:
/// yellow (white on a yellow label); on a light-grey or white background the
/// label's foreground with its lowest bit inverted.
uint8_t HotKeyAttr(uint8_t attr);

/// The shadow attribute a cell of attribute attr takes: black background,
/// bright foregrounds dimmed by 8, others dark grey.
uint8_t ShadowAttr(uint8_t attr);
