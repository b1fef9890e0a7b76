#pragma once
// F5 and F6: copy or move the tagged entries of the active panel (or the
// entry under the cursor) to a destination the user gives, then re-read both
// panels. Application thread.
class CPanel;

/// inPlace is the Shift form: the entry under the cursor alone, with its own
/// name as the first destination.
void RunCopyCommand(CPanel& active, CPanel& other, bool move, bool inPlace);
