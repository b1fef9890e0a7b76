#pragma once
// F5 and F6: copy or move the tagged entries of the active panel (or the
// entry under the cursor) to a destination the user gives, then re-read both
// panels. Application thread.
#include <vector>

class CPanel;
struct TDestination;

/// inPlace is the Shift form: the entry under the cursor alone, with its own
/// name as the first destination.
void RunCopyCommand(CPanel& active, CPanel& other, bool move, bool inPlace);

/// The copy or move of the chosen entries of active to a checked
/// destination (overwrite: 0 ask, 1 always, 2 never, 3 if older), both
/// panels marked to be read again.
void CopyToDestination(CPanel& active, CPanel& other, const std::vector<int>& chosen,
                       const TDestination& destination, bool move, int overwrite);
