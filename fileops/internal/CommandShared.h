#pragma once
// What the panel commands of fileops/ share: the case-filter rule of the
// settings, the question after a failed system call. fileops/ only.
#include <functional>

#include <vector>

#include "foundation/Westring.h"

class CPanel;

/// True when the file system holding directory is named in "Case Filter File
/// Systems:" (anywhere in the setting, in any case).
bool IsCaseFilterFileSystem(const Westring& directory);

/// Makes a system call (0 or -1 with errno) until it works, the user skips
/// it or cancels, showing the system's error text and the path after each
/// failure: 0, 's' for Skip, -1 for Cancel.
int RetrySkipCancel(const Westring& path, const std::function<int()>& call);

/// What a dialog says it works on: the one entry's name, or "%d file(s)"
/// when entries are tagged.
Westring ChosenEntriesText(const CPanel& panel, const std::vector<int>& chosen);
