#pragma once
// Where a panel of the information type gets its contents: the figures and
// the description file are gathered by a higher layer, which installs the
// drawing function at start-up. The default draws nothing inside the frame,
// so a program or a test without it shows an empty box. Application thread.

class CPanel;

struct TInfoHooks {
  /// Draws the rows inside info's frame about the directory of source,
  /// the other panel.
  void (*draw)(const CPanel& info, const CPanel& source) = [](const CPanel&, const CPanel&) {};
};

extern TInfoHooks g_infoHooks;
