#pragma once
// F3 in a panel: the viewer on the cursor entry, and Alt-Up / Alt-Down in
// the viewer going on with the previous or next file of the panel.
// Application thread.
#include "foundation/Westring.h"

class CPanel;

/// Views the entry under the panel's cursor; Alt-Up and Alt-Down move the
/// cursor to the nearest entry before or after it that is not a directory
/// and view that, or show "No more files" and end. The cursor stays on the
/// file viewed last.
void ViewFromPanel(CPanel& panel);
