#pragma once
// Where the panels and the file operations reach the directory tree, which
// lives in a higher layer: function pointers that the tools install at
// start-up. The defaults do nothing, so a program or a test without the tree
// behaves as if no tree were kept. Application thread.
#include "foundation/Westring.h"

class CPanel;

struct TTreeHooks {
  /// A directory was made, removed, or renamed or moved (absolute paths).
  void (*directoryMade)(const Westring& path) = [](const Westring&) {};
  void (*directoryRemoved)(const Westring& path) = [](const Westring&) {};
  void (*directoryMoved)(const Westring& from, const Westring& to) = [](const Westring&,
                                                                        const Westring&) {};
  /// A panel listed its directory (not an archive) and has not yet sorted
  /// the entries: the tree follows the subdirectories and lends its known
  /// totals. `complete` says the listing holds every subdirectory by its
  /// own name (hidden ones shown, no case conversion, read to the end).
  void (*directoryRead)(CPanel& panel, bool complete) = [](CPanel&, bool) {};
  /// The tree window opened from a dialog, starting at start: the chosen
  /// directory, or empty after Esc.
  Westring (*chooseDirectory)(const Westring& start) = [](const Westring&) { return Westring(); };
  /// The cd command's search for a relative path the panel's directory
  /// lacks: the directory found below the panel's directory, else below
  /// the root, or empty.
  Westring (*findDirectory)(const Westring& panelDirectory, const Westring& relative) =
      [](const Westring&, const Westring&) { return Westring(); };
};

extern TTreeHooks g_treeHooks;
