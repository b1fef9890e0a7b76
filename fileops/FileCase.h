#pragma once
// Ctrl+C, "Change case of": the letter case of the tagged names (or the one
// under the cursor), name part and extension by their own rules, into
// directories when asked. Application thread.
#include "foundation/Westring.h"

class CPanel;

/// One part converted by a rule: 'l' lower, 'u' upper, 'm' mixed (each
/// word capitalised), 'n' unchanged.
Westring ConvertCase(const Westring& part, char rule);
/// The name with its part before the last "." converted by rules[0] and
/// the part after it by rules[1].
Westring CasedName(const Westring& name, const char* rules);

/// Renames path to the same directory's newName. A name held by another
/// file is reported and left alone; on a file system that ignores case the
/// rename goes through a temporary name. 0, or -1 when the user cancelled.
int RenameToCase(const Westring& path, const Westring& newName);

/// The dialog, then every chosen entry renamed; both panels are read again.
void RunFileCase(CPanel& active, CPanel& other);
