#pragma once
// The start-up and shutdown steps around the main loop that do not belong
// to a part of their own.
#include "foundation/Westring.h"

/// After the configuration is loaded: the code pages go to the console and
/// the code-page tables, the [Environment] section and PathAppend to the
/// children, and a screen smaller than 80 x 25 grows to 80 columns (keeping
/// its lines).
void ApplyConfiguration();

/// Sets every [Environment] entry of the configuration in the process
/// environment.
void ApplyEnvironmentSection();

/// Writes the exit-directory file of -x: a drive line and the "cd" line a
/// shell wrapper runs. Returns 0 or errno (the caller skips failures).
int WriteExitDirectoryFile(const Westring& file, const Westring& directory);

/// The current directory as a Westring, "/" when it cannot be read.
Westring CurrentDirectory();
