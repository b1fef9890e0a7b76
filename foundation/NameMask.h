#pragma once
// Target names for copies and moves to a wildcard name such as "*.bak".
#include "foundation/Westring.h"

/// The name made by laying mask over source: '*' copies source characters up
/// to (not including) the source's next '.', or to its end; '?' copies one
/// source character if one is left; '.' moves the source past its next '.'
/// (to its end when it has none) and writes '.'; any other character is
/// written as it is without moving the source. An empty mask gives "".
Westring ApplyNameMask(const Westring& mask, const Westring& source);
