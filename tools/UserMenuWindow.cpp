// The user menu on the screen: the menu file looked up from the panel's
// directory, a list box per menu with the entries' keys, submenus to the
// right of their parent, and the chosen entry's commands run in order.
#include "tools/UserMenuWindow.h"

#include <algorithm>
#include <cwctype>
#include <fstream>

#include "config/FileLocations.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/ListBox.h"
#include "dialogs/Look.h"
#include "foundation/SysCalls.h"
#include "panels/CommandMacros.h"
#include "panels/PathNames.h"
#include "tools/UserMenu.h"

namespace {

bool IsFile(const Westring& path) { return Sys::CheckDirectory(path) == ENOTDIR; }

// The rows: key texts padded to one past the longest, the title, and ">"
// in the last column for an entry that opens a submenu.
void MakeRows(const MenuStore& menu, WestringStore* rows, int* widest) {
  *widest = 0;
  for (const MenuEntry* entry : menu.entries) {
    Westring row = entry->keyText.FitLeft(menu.keyTextWidth + 1) + entry->title;
    rows->AppendCopy(row);
    *widest = std::max(*widest, row.Length() + (entry->submenu ? 2 : 0));
  }
  const int inner = std::min(*widest, g_console->Columns() - 4);
  for (int i = 0; i < menu.entries.Count(); ++i) {
    if (menu.entries.At(i)->submenu) *rows->At(i) = rows->At(i)->FitLeft(inner - 1) + L">";
  }
}

// The entry whose key is the one pressed (letters in either case), or -1.
int EntryOfKey(const MenuStore& menu, uint32_t key) {
  if (key < Key::Extended) key = static_cast<uint32_t>(std::towupper(static_cast<wint_t>(key)));
  for (int i = 0; i < menu.entries.Count(); ++i) {
    if (menu.entries.At(i)->key == key) return i;
  }
  return -1;
}

// Shows one menu; a submenu opens at parentRight (-1 for the top level)
// beside the row at parentRow.
const MenuEntry* ShowMenu(const MenuStore& menu, const Westring& title, int parentRight, int parentRow) {
  if (menu.entries.Count() == 0) return nullptr;
  WestringStore rows;
  int widest = 0;
  MakeRows(menu, &rows, &widest);
  const int columns = g_console->Columns(), lines = g_console->Lines();
  const int width = std::min(widest + 2, columns - 2) + 2;  // the rows, a blank either side, the frame
  const int height = std::min(menu.entries.Count(), lines - 8) + 2;
  int left = -1, top = -3;
  if (parentRight >= 0) {
    left = parentRight + 1;
    if (left + width > columns - 3) left = std::max(0, columns - 3 - width);
    top = std::min(parentRow, lines - height - 1);
  }
  const int rightOrWidth = left < 0 ? width : left + width - 1;
  const int bottomOrHeight = top < 0 ? height : top + height - 1;
  int selected = 0;
  for (;;) {
    Dialog dialog(left, top, rightOrWidth, bottomOrHeight, Colour(ColourClass::Menu));
    dialog.SetHelpTopic(HelpTopic::UserMenu);
    dialog.DrawTitle(title);
    dialog.AddListBox(1, 0, true, width - 4, height - 2, &rows, &selected, -1);
    const int result = dialog.Run();
    if (result == DialogResult::Cancel) return nullptr;
    if (result != DialogResult::Ok) {
      const int chosen = EntryOfKey(menu, static_cast<uint32_t>(result));
      if (chosen < 0) continue;
      selected = chosen;
    }
    const MenuEntry& entry = *menu.entries.At(selected);
    if (!entry.submenu) return &entry;
    const MenuEntry* inner = ShowMenu(*entry.submenu, entry.title, dialog.Right(), dialog.OriginRow() + selected);
    if (inner != nullptr) return inner;
  }
}

}  // namespace

Westring FindMenuFile(const Westring& directory) {
  const Westring name = GetFileLocation(FileKind::UserMenu).NamePart();
  Westring place = directory;
  for (;;) {
    Westring candidate = place;
    candidate.AddTrailingSlash();
    candidate += name;
    if (IsFile(candidate)) return candidate;
    if (place == L"/" || place.IsEmpty()) break;
    Westring parent = place;
    parent.AddTrailingSlash();
    parent += L"..";
    if (ResolvePath(&parent) != 0 || parent == place) break;
    place = parent;
  }
  return FindMainMenu();
}

const MenuEntry* ChooseMenuEntry(const MenuStore& menu) { return ShowMenu(menu, L"User  Menu", -1, 0); }

void RunMenuEntry(const MenuEntry& entry, int side) {
  for (const Westring* line : entry.commands) {
    if (RunForPanel(*line, side) != 0) return;
  }
}

void RunUserMenu(const Westring& directory, int side, bool mainMenu) {
  const Westring file = mainMenu ? FindMainMenu() : FindMenuFile(directory);
  if (file.IsEmpty()) return;
  MenuStore menu;
  if (ReadMenuFile(file, &menu) != 0) return;
  const MenuEntry* chosen = ChooseMenuEntry(menu);
  if (chosen != nullptr) RunMenuEntry(*chosen, side);
}

Westring UserMenuFileForEditing() {
  const Westring own = GetFileLocation(FileKind::UserMenu);
  const Westring example = FindExampleMenu();
  if (IsFile(own) || example.IsEmpty()) return own;
  (void)Sys::MakeDirectory(own.DirPart());
  std::ifstream from(example.ToUtf8().c_str(), std::ios::binary);
  std::ofstream(own.ToUtf8().c_str(), std::ios::binary) << from.rdbuf();
  return own;
}
