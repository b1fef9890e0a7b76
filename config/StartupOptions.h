#pragma once
// The command line of vk: what to start with, or why not to start.
#include "foundation/Westring.h"

struct TStartupOptions {
  Westring configFile, viewFile, editFile, leftDirectory, rightDirectory, exitDirectoryFile;
};

/// The usage text printed for an option that is not recognised.
extern const char* const UsageText;

/// Parses argv[1..argc-1]. Returns 0, or 1 after writing "No file specified"
/// or the usage text to `message` (the program then ends with status 1).
/// Options start with '-' or '\' and only their letter counts, in any case.
int ParseStartupOptions(int argc, const char* const* argv, TStartupOptions* options,
                        Estring* message);

/// A path made absolute against the current directory, backslashes as '/'.
Westring AbsolutePath(const char* path);
