#include "dialogs/KeyBar.h"

#include <algorithm>
#include <cstring>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"
#include "foundation/Westring.h"

void DrawKeyBar(const char* const* labels) {
  CConsole& con = *g_console;
  const int row = con.Lines() - 1, slot = std::max(1, con.Columns() / LabelsPerKeyBar);
  const uint8_t digitAttr = Colour(ColourClass::CommandLine),
                wordAttr = Colour(ColourClass::MenuBar);
  con.BeginUpdate();
  con.FillArea(0, row, con.Columns(), 1, digitAttr);
  for (int key = 1; key <= LabelsPerKeyBar; ++key) {
    const char* label = labels[key - 1];
    const int digits = static_cast<int>(std::strspn(label, "0123456789"));
    const int col = (key - 1) * slot;
    con.WriteText(col, row, Westring(label).Left(digits).c_str(), digitAttr);
    con.WriteText(col + digits, row, Westring(label + digits).FitLeft(slot - digits).c_str(),
                  wordAttr);
  }
  con.EndUpdate();
}

uint32_t KeyBarKeyForClick(int column, int columns) {
  const int slot = std::max(1, columns / LabelsPerKeyBar);
  const int key = std::clamp((column + 1) / slot, 1, LabelsPerKeyBar);
  return Key::F1 + static_cast<uint32_t>(key - 1);
}
