#pragma once
// File descriptions: a directory's "descript.ion" holds one line per
// described file, its name (quoted when it has blanks), blanks, then the
// description. Copies and moves take a file's line along. Paths are bytes.
#include "foundation/Estring.h"

/// After source was copied (or moved) to destination: the source's line, when
/// there is one, goes into the destination directory's file under the new
/// name, replacing a line of that name; a move also takes it out of the
/// source directory's file. Failures leave the files as they were.
void CarryDescription(const Estring& source, const Estring& destination, bool move);
/// After path was deleted: its line goes from its directory's file.
void DropDescription(const Estring& path);
