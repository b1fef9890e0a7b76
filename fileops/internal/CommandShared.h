#pragma once
// What the panel commands of fileops/ share: the case-filter rule of the
// settings. fileops/ only.
#include "foundation/Westring.h"

/// True when the file system holding directory is named in "Case Filter File
/// Systems:" (anywhere in the setting, in any case).
bool IsCaseFilterFileSystem(const Westring& directory);
