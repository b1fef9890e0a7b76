#pragma once
// Path texts the command line works with: making a path absolute, "~/" and
// "$NAME" expansion, and the program's temporary names.
#include "foundation/Westring.h"

/// Makes path absolute against base (the process's current directory when
/// base is empty): backslashes become "/", "." and empty components are
/// dropped, k dots go up k - 1 levels. 0, or -1 when the path climbs above
/// "/" or the current directory cannot be read.
int ResolvePath(Westring* path, const Westring& base = Westring());

/// "~/" becomes $HOME and "/", then every "$NAME" with a non-empty value is
/// replaced (a "$" right after the name goes with it).
Westring ExpandPath(const Westring& path);

/// The reference text[dollar] "$" .. text[nameEnd): its value appended to
/// out (the name upper-cased first when asked), or, without a value, the
/// reference as written. Returns where the text goes on: after the name,
/// and after a "$" that directly follows a replaced one.
int AppendVariableValue(const Westring& text, int dollar, int nameEnd, bool upperCase, Westring* out);

/// $TMP, else $TEMP, else "/tmp".
Westring TemporaryDirectory();
/// The first "VK#<pid>.<n>" name in directory (the temporary directory when
/// empty) that no file has yet, joined to it.
Westring UniqueTempName(const Westring& directory = Westring());
/// Deletes the "VK#<pid>.*" files this process left in the temporary directory.
void DeleteOwnTempFiles();
