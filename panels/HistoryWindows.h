#pragma once
// The pop-up lists of the histories: directory history (Alt-\), stored
// paths (Alt-F5) and command history (Alt-F8). Application thread.
#include "foundation/Westring.h"

class CPanel;

/// The directories left, newest selected; the chosen one, or empty when
/// any other key than Enter closed the list.
Westring ChooseFromDirectoryHistory();

/// The ten stored paths: a digit or Enter on a filled slot changes panel
/// into it (expanded; "Invalid directory" when that fails), Ins stores the
/// panel's directory in the selected slot, Del empties it, Esc closes.
void RunStoredPaths(CPanel& panel);
/// Ctrl+digit: changes panel into stored path `slot`, if there is one.
void EnterStoredPath(CPanel& panel, int slot);

/// The command history, newest selected: Enter gives the command, Del asks
/// and removes it, typed text searches. Empty when closed with Esc.
Westring ChooseFromCommandHistory();
