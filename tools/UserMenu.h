#pragma once
// The user menu's data: entries with a hot key, a title, command lines and
// an optional submenu, read from a menu file that may include others.
// Application thread.
#include <cstdint>
#include <memory>

#include "foundation/ObjectStore.h"
#include "foundation/StringCollections.h"
#include "foundation/Westring.h"

struct MenuStore;

struct MenuEntry {
  uint32_t key = 0;  // the key code that selects the entry
  Westring keyText;  // as the menu shows it: trimmed, upper case
  Westring title;
  WestringStore commands;
  std::unique_ptr<MenuStore> submenu;
};

struct MenuStore {
  TObjectStore<MenuEntry> entries;
  int keyTextWidth = 0;  // the longest key text, to align the titles
};

/// Include files nest at most this deep.
constexpr int kMaxMenuIncludeDepth = 8;

/// The key code a key text stands for: one character, "Fn", or "CFn",
/// "SFn", "AFn" for n from 1 to 12; 0 for anything else.
uint32_t MenuKeyCode(const Westring& keyText);

/// Reads a menu file into menu. Problems are told in message boxes naming
/// file and line (an include that cannot be opened, includes in a loop or
/// nested too deeply, a submenu left open); lines that fit no rule are
/// passed over. 0, or the errno of the file itself when it cannot be opened
/// (no message: a missing menu file is no error).
int ReadMenuFile(const Westring& path, MenuStore* menu);
