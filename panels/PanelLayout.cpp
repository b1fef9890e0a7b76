#include "panels/PanelLayout.h"

namespace {

struct TStyleRow {
  TColumn columns[5];
  int count;
  int entriesPerRow;
};

constexpr TColumn Name{ColumnKind::Name, 12, 256, 0};

const TStyleRow kStyles[5] = {
    {{Name, Name, Name}, 3, 3},
    {{{ColumnKind::Name, 13, 256, 0}, {ColumnKind::Size, 8, 10, 0}, {ColumnKind::Date, 8, 8, 0},
      {ColumnKind::Time, 6, 6, 0}}, 4, 1},
    {{{ColumnKind::Size, 8, 10, 0}, {ColumnKind::Name, 29, 256, 0}}, 2, 1},
    {{Name, Name}, 2, 2},
    {{Name, {ColumnKind::Size, 7, 10, 0}, {ColumnKind::Permissions, 9, 9, 0},
      {ColumnKind::Owner, 3, 10, 0}, {ColumnKind::Group, 3, 10, 0}}, 5, 1},
};

}  // namespace

TColumnLayout StyleColumns(PanelStyle style) {
  int index = static_cast<int>(style);
  if (index < 0 || index > 4) index = 0;
  const TStyleRow& row = kStyles[index];
  TColumnLayout layout;
  layout.count = row.count;
  layout.entriesPerRow = row.entriesPerRow;
  for (int i = 0; i < row.count; ++i) {
    layout.columns[i] = row.columns[i];
    layout.columns[i].width = row.columns[i].minimum;
  }
  return layout;
}

void DistributeWidth(TColumnLayout* layout, int innerWidth) {
  int remainder = innerWidth - (layout->count - 1);
  for (int i = 0; i < layout->count; ++i) {
    layout->columns[i].width = layout->columns[i].minimum;
    remainder -= layout->columns[i].minimum;
  }
  if (innerWidth <= 0) return;
  while (remainder > 0) {
    const long passStart = remainder;
    int given = 0;
    for (int i = 0; i < layout->count && remainder > 0; ++i) {
      TColumn& column = layout->columns[i];
      const long share = (column.width * passStart + innerWidth - 1) / innerWidth;
      int add = static_cast<int>(share < remainder ? share : remainder);
      if (column.width + add > column.maximum) add = column.maximum - column.width;
      if (add <= 0) continue;
      column.width += add;
      remainder -= add;
      given += add;
    }
    if (given == 0) break;
  }
}

int PanelRows(int lines, bool fullScreen) { return fullScreen ? lines - 6 : lines - (lines / 2 + 2); }

TPanelGeometry PanelGeometry(int side, int columns, int lines, bool fullScreen) {
  TPanelGeometry g;
  g.width = columns / 2;
  g.innerWidth = columns / 2 - 2;
  g.left = side == 0 ? 0 : columns / 2;
  g.top = 0;
  g.rows = PanelRows(lines, fullScreen);
  if (g.rows < 1) g.rows = 1;
  return g;
}
