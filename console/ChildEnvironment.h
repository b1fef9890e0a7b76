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
