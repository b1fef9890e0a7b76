#pragma once
// The variables children see: the program's own environment, with the
// configuration's [Environment] section and "set" commands written over it.
// Application thread.
#include <string>

#include "foundation/Estring.h"
#include "foundation/ObjectStore.h"
#include "foundation/Westring.h"

/// Sets a variable of the process environment; an empty value removes it,
/// so it is not passed to children.
void SetEnvironmentVariable(const Westring& name, const Westring& value);
/// The value of a variable, or empty.
Westring EnvironmentValue(const Westring& name);
/// path, then ":" (unless it ends with one) and append; path alone when
/// append is empty.
std::string PathWithAppend(const std::string& path, const Westring& append);

/// What a child gets: "NAME=value" for every variable (empty values too),
/// PATH with pathAppend after a ":" (the system's default path when PATH is
/// unset), and TERM=xterm.
TObjectStore<Estring>* BuildEnvironment(const Westring& pathAppend);

/// "~/" becomes $HOME and "/", then every "$NAME" with a non-empty value is
/// replaced (a "$" right after the name goes with it).
Westring ExpandPath(const Westring& path);

/// The reference text[dollar] "$" .. text[nameEnd): its value appended to
/// out (the name upper-cased first when asked), or, without a value, the
/// reference as written. Returns where the text goes on: after the name,
/// and after a "$" that directly follows a replaced one.
int AppendVariableValue(const Westring& text, int dollar, int nameEnd, bool upperCase, Westring* out);
