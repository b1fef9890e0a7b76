#pragma once
// Shift+Ctrl+F5: symbolic links to the tagged entries of the active panel
// (or the entry under the cursor), each pointing at the entry's absolute
// path. Application thread.
class CPanel;
class Estring;
struct TCopyContext;

/// Asks where the links go (a path for the entry under the cursor, a
/// directory for tagged entries), makes them and re-reads both panels.
void RunMakeLinksCommand(CPanel& active, CPanel& other);

/// Makes linkPath a symbolic link to target; a failure is put to the user,
/// whose Retry tries again. 1 when made or skipped, 0 when the user cancelled.
int MakeLink(const Estring& linkPath, const Estring& target, TCopyContext* context);
