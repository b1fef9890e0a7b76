#pragma once
// The pull-down menu bar of the panel screen: the five menus' tables and the
// modal loop that lets the user pick an item. A chosen item gives the command
// code that the main loop dispatches as if it were a key. Application thread.
#include <cstdint>

struct TMouseRecord;

namespace MenuFlag {
constexpr uint8_t Selectable = 0x20;  // set on every item but the separators
}

/// One item of a menu table. Borrows its text, a static literal.
struct TMenuItem {
  const char* text;  // the label with its key hint; "" is a separator line
  int hotIndex;      // position of the highlighted letter in text
  uint8_t flags;     // MenuFlag bits
  uint32_t code;     // the command the item runs
};

/// One pull-down menu: its bar title and its items. Borrows the static table.
struct TMenu {
  const char* title;  // as on the bar, with its padding: "  Left  "
  int column;         // where the title starts on the bar, and the box below it
  int count;          // items, separators included
  int width;          // of the box's interior
  const TMenuItem* items;
};

/// The menus in bar order.
namespace MenuIndex {
constexpr int Left = 0, Files = 1, Commands = 2, Options = 3, Right = 4;
}

/// The number of menus on the bar (5).
int MenuCount();
/// The menu at a bar position 0..MenuCount()-1.
const TMenu& MenuAt(int index);
/// The text of the whole bar, drawn from column 0 of the top line.
const char* MenuBarText();

/// Runs the menu bar for the active side (0 left, 1 right) and returns the
/// code of the chosen item, or 0 when the user left without choosing.
/// `reopen` (Shift+F10) restores the menu, item and dropped-down state of the
/// last run; `openingClick`, a press on the top line that opened the bar,
/// picks the menu under it and drops it down. The screen under the bar and
/// the menus is restored before returning.
uint32_t RunMenuBar(int activeSide, bool reopen, const TMouseRecord* openingClick = nullptr);

