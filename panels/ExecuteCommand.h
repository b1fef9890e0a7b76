#pragma once
// Executing one command line for a panel: "cd", "vcd", "set", and every
// other line as a shell command in the panel's directory. Application thread.
#include "foundation/Westring.h"

namespace ExecuteFlag {
constexpr int StayInDirectory = 8;  // run where the process is, not in the panel's directory
}  // namespace ExecuteFlag

/// Runs command for panel side (0 left, 1 right); `shown` is what the
/// console echoes for it (the command itself when empty). 0 done, -1 failed
/// (the user has been told).
int ExecuteCommand(const Westring& command, int side, const Westring& shown = Westring(), int flags = 0);

/// Shows a command line (prompt and command) on the bottom row in the
/// "Command Line" colour, then moves the output on to a fresh line below it.
void EchoCommandLine(const Westring& line);

/// True for a directory change: "cd" followed by "." or a blank.
bool IsDirectoryChange(const Westring& command);
/// A "cd" argument as a path: backslash escapes removed, other backslashes
/// made "/".
Westring DirectoryChangeArgument(const Westring& command);
/// The directory a "cd" argument names: backslash escapes removed, other
/// backslashes made "/", resolved against base. Empty when the path is invalid.
Westring DirectoryChangeTarget(const Westring& command, const Westring& base);
