#pragma once
// Directory compare: the files of the left panel against the right panel's
// by name, the ones that differ in the chosen way left tagged in both
// panels, so that the next command works on them. Application thread.
#include <cstdint>

#include "foundation/Westring.h"

class CPanel;

/// Which files of a pair get tagged; the values are the CMP settings'.
struct TCompareRules {
  enum Rule : int32_t { Ignore = 0, Greater = 1, Less = 2, Different = 3 };
  int32_t date = Greater;  // Greater tags the newer file, Less the older
  int32_t size = Ignore;   // Greater tags the larger file, Less the smaller
  bool unmatched = true;   // tag files without a counterpart
  bool contents = false;   // tag pairs whose bytes differ
  Westring mask = L"*";    // a file is tagged only when it matches
};

/// Ctrl+K: the " Directory Compare " dialog, then the comparison; its
/// options become the settings. Nothing happens unless both panels list
/// files.
void RunCompareDirectories(CPanel& left, CPanel& right);

/// Tags in both panels what the rules pick (the panels' tags before are
/// dropped). 0, or -1 when a contents comparison failed (reported) or was
/// stopped: then no tag is left in either panel.
int CompareDirectories(CPanel& left, CPanel& right, const TCompareRules& rules);

/// 0 when the two files hold the same bytes, 1 when they differ, -1 when
/// one cannot be read (reported with its name) or a key press stopped it.
int CompareFileContents(const Westring& a, const Westring& b);
