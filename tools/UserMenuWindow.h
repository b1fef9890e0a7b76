#pragma once
// F2 and Shift+F2: the user menu found for a directory, shown as a pop-up
// menu with submenus, and the chosen entry's command lines run for a panel.
// Application thread.
#include "foundation/Westring.h"

struct MenuEntry;
struct MenuStore;

/// The menu file F2 uses in directory: the first one of the main menu's
/// name found there or in a parent directory, else the main menu file.
Westring FindMenuFile(const Westring& directory);

/// The menu and its submenus on the screen: the entry chosen (by Enter or
/// its key), or null after Esc.
const MenuEntry* ChooseMenuEntry(const MenuStore& menu);

/// Runs an entry's command lines in order for panel side (0 left, 1 right)
/// with the command macros; a line that fails or is cancelled ends it.
void RunMenuEntry(const MenuEntry& entry, int side);

/// F2 (mainMenu false) or Shift+F2 for the panel side showing directory.
void RunUserMenu(const Westring& directory, int side, bool mainMenu);

/// The user's own main menu file for editing; when there is none yet it
/// starts as a copy of the shipped example.
Westring UserMenuFileForEditing();
