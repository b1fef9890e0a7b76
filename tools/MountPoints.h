#pragma once
// The "Drive" chooser (Alt+F1, Alt+F2): the mounted file systems with their
// size and free space (foundation's mount list asks for those under a
// time-out, so a dead network mount shows "?"), and eject through GIO.
// Application thread.
#include "foundation/Westring.h"

/// The chooser: the chosen mount point, or empty after Esc. Ctrl+R reads
/// the list again; Alt+E ejects the highlighted one.
Westring ChooseMountPoint();

/// Ejects the medium mounted at mountPoint through GIO, moving the process
/// out of it first; "Ejecting..." while it runs, a failure told.
void EjectMountPoint(const Westring& mountPoint);
