#include "console/ScrollBack.h"

#include "console/Console.h"

CScrollBackBuffer g_scrollBack;
bool g_keepScrollBack = false;

void CScrollBackBuffer::AppendRow(const CConsole& console, int row) {
  auto* line = new CellString;
  console.CopyArea(0, row, console.Columns(), 1, *line);
  Append(line);
}
