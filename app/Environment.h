#pragma once
// The variables children see: the program's own environment, then the
// [Environment] section and "set" commands over it. Application thread.
#include <string>

#include "foundation/Estring.h"
#include "foundation/ObjectStore.h"
#include "foundation/Westring.h"

/// Sets (or, with an empty value, empties) a variable of the process
/// environment. An emptied variable is not passed to children.
void SetEnvironmentVariable(const Westring& name, const Westring& value);
/// The value of a variable, or empty.
Westring EnvironmentValue(const Westring& name);
/// Sets every [Environment] entry of the configuration.
void ApplyEnvironmentSection();

/// path, then ":" (unless it ends with one) and PathAppend; path alone
/// when PathAppend is empty.
std::string PathWithAppend(const std::string& path);

/// What a child gets: "NAME=value" for every variable with a value, PATH
/// with PathAppend after a ":", and TERM=xterm.
TObjectStore<Estring>* BuildEnvironment();
