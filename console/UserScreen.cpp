#include "console/UserScreen.h"

#include <memory>

#include "console/Console.h"
#include "foundation/Cell.h"

namespace {

struct TUserScreen {
  std::unique_ptr<TCell[]> cells;
  int columns = 0, lines = 0;
  int cursorCol = 0, cursorRow = 0;
};

TUserScreen& Saved() {
  static TUserScreen screen;
  return screen;
}

}  // namespace

void RestoreUserScreen() {
  CConsole& console = *g_console;
  TUserScreen& saved = Saved();
  const int columns = console.Columns(), lines = console.Lines();
  // After a change of screen size only a screen of the same size can go back.
  if (saved.cells == nullptr || saved.columns != columns || saved.lines != lines) {
    console.FillArea(0, 0, columns, lines, console.OutputAttr());
    console.SetCursorPos(0, lines - 1);
    return;
  }
  console.RestoreArea(0, 0, columns, lines, saved.cells.get());
  console.SetCursorPos(saved.cursorCol, saved.cursorRow);
}

void SaveUserScreen() {
  CConsole& console = *g_console;
  TUserScreen& saved = Saved();
  saved.columns = console.Columns();
  saved.lines = console.Lines();
  saved.cells = console.SaveArea(0, 0, saved.columns, saved.lines);
  saved.cursorCol = console.CursorColumn();
  saved.cursorRow = console.CursorRow();
}
