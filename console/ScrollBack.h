#pragma once
// The scroll-back: every screen line that output scrolled off the top, kept
// for the whole run so the user can browse it (Ctrl+B). Application thread.
#include "foundation/CellString.h"
#include "foundation/ObjectStore.h"

class CConsole;

class CScrollBackBuffer : public TObjectStore<CellString> {
 public:
  /// Keeps a copy of one screen row of the console.
  void AppendRow(const CConsole& console, int row);
};

/// The process's scroll-back.
extern CScrollBackBuffer g_scrollBack;
/// Whether scrolled-off lines are kept (the ConsoleScrollback setting).
extern bool g_keepScrollBack;
