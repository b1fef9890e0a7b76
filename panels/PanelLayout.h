#pragma once
// Where a panel sits and how its columns divide its width: pure arithmetic
// over the screen size, redone at every change of screen size.
#include "config/Settings.h"

/// What a column of a style shows.
enum class ColumnKind : uint8_t { Name, Size, Date, Time, Permissions, Owner, Group };

struct TColumn {
  ColumnKind kind;
  int minimum;
  int maximum;
  int width;  // the current width
};

/// The columns of one list style (at most five).
struct TColumnLayout {
  TColumn columns[5];
  int count = 0;
  /// Entries shown side by side (3 brief, 2 briefwide, else 1).
  int entriesPerRow = 1;
};

/// The columns of a style at their minimum widths.
TColumnLayout StyleColumns(PanelStyle style);
/// Widens the columns of layout to fill an inner width: each column starts at
/// its minimum and passes over the columns share out what is left in
/// proportion to their widths, never beyond a maximum.
void DistributeWidth(TColumnLayout* layout, int innerWidth);

/// A panel's place on the screen.
struct TPanelGeometry {
  int left = 0;        // column of the left frame line
  int top = 0;         // row of the top frame line
  int width = 0;       // outer width, frame included
  int innerWidth = 0;  // W: screen columns / 2 - 2
  int rows = 0;        // visible rows of entries
  int fileTop() const { return top + 1; }
  int dividerRow() const { return top + 1 + rows; }
  int statusRow() const { return top + 2 + rows; }
  int bottomRow() const { return top + 3 + rows; }
  int height() const { return rows + 4; }
};

/// Visible entry rows: lines - 6 with FullScreen, else lines - (lines / 2 + 2).
int PanelRows(int lines, bool fullScreen);
/// The geometry of the left (side 0) or right (side 1) panel.
TPanelGeometry PanelGeometry(int side, int columns, int lines, bool fullScreen);
