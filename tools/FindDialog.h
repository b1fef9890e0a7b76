#pragma once
// Alt+F7: the " File Find " dialog over the active panel, with the search
// running on a worker thread and the commands of its result list.
class CPanel;

/// Opens the dialog for the active panel (side 0 or 1 of the screen) and
/// returns when it is closed; GoTo changes the active panel to the found
/// file's directory with the cursor on the file. Application thread.
void RunFileFind(CPanel& active, CPanel& other, int side);
