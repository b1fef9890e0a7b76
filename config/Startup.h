#pragma once
// The start-up and shutdown steps around the main loop that do not belong
// to a part of their own.
#include <vector>

#include "config/ConfigFile.h"
#include "foundation/Westring.h"

/// After the configuration is loaded: the code pages go to the console and
/// the code-page tables, the [Environment] section and PathAppend to the
/// children, and a screen smaller than 80 x 25 grows to 80 columns (keeping
/// its lines).
void ApplyConfiguration();

/// Shows the messages of one load or save of vk.ini in one box: the first
/// three, each cut to a line, and how many more there were. A broken file
/// gives thousands; one box per message would keep the user from the
/// program, so they are gathered instead of shown as they arise.
void ShowConfigMessages(const std::vector<TConfigMessage>& messages);

/// Sets every [Environment] entry of the configuration in the process
/// environment.
void ApplyEnvironmentSection();

/// Writes the exit-directory file of -x: a drive line and the "cd" line a
/// shell wrapper runs. Returns 0 or errno (the caller skips failures).
int WriteExitDirectoryFile(const Westring& file, const Westring& directory);

/// The current directory as a Westring, "/" when it cannot be read.
Westring CurrentDirectory();
