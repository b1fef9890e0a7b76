#pragma once
// What the panel commands of fileops/ share: the entries a command works on
// and the case-filter rule of the settings. fileops/ only.
#include <vector>

#include "foundation/Westring.h"

class CPanel;

/// The entries a command works on, in panel order: the tagged ones, else the
/// one under the cursor ("..", never). inPlace takes the cursor's entry even
/// when entries are tagged.
std::vector<int> ChosenEntries(const CPanel& panel, bool inPlace);

/// True when the file system holding directory is named in "Case Filter File
/// Systems:" (anywhere in the setting, in any case).
bool IsCaseFilterFileSystem(const Westring& directory);
