#pragma once
// Path texts the command line works with: making a path absolute and the
// program's temporary names ("~/" and "$NAME" expansion is ExpandPath).
#include "foundation/Westring.h"

/// Makes path absolute against base (the process's current directory when
/// base is empty): backslashes become "/", "." and empty components are
/// dropped, k dots go up k - 1 levels. 0, or -1 when the path climbs above
/// "/" or the current directory cannot be read.
int ResolvePath(Westring* path, const Westring& base = Westring());

/// $TMP, else $TEMP, else "/tmp".
Westring TemporaryDirectory();
/// The first "VK#<pid>.<n>" name in directory (the temporary directory when
/// empty) that no file has yet, joined to it.
Westring UniqueTempName(const Westring& directory = Westring());
/// Deletes the "VK#<pid>.*" files this process left in the temporary directory.
void DeleteOwnTempFiles();
