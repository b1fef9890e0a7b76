#pragma once
// The destination of a copy or move: the dialog that asks for it, the checks
// it must pass and the target name each entry gets. Application thread.
#include "foundation/Westring.h"

/// What the dialog returns: the destination as typed and, for copies, the
/// overwrite mode (0 ask, 1 always, 2 never, 3 if older).
struct TCopyRequest {
  Westring destination;
  int overwrite = 0;
};

/// "Copy \"name\" to", "Move/Rename \"name\" to" for one entry, "Copy 3 files
/// to" ("file " for one) for tagged entries.
Westring CopyDialogTitle(bool move, int count, const Westring& name);

/// Runs the dialog with request->destination as the first text; false when
/// cancelled. otherDirectory completes a name without a "/" (Alt+D, F5, F6).
bool RunCopyDialog(bool move, const Westring& title, const Westring& otherDirectory, TCopyRequest* request);

/// A checked destination: the absolute path, and whether it was typed with
/// a trailing "/" (then it always names a directory to copy into).
struct TDestination {
  Westring path;
  bool intoDirectory = false;
};

/// Makes the destination absolute against base and checks it for count
/// entries, showing "Invalid path", "Destination must be a valid directory"
/// or "Directory does not exist" when it fails. 0, or -1 after a message.
int CheckDestination(const Westring& typed, const Westring& base, int count, TDestination* out);

/// The path the entry source (an absolute path) is copied or moved to: a
/// name mask in the last component is applied to its name; a directory
/// named by the destination takes it inside; else the destination itself.
Westring CopyTarget(const TDestination& destination, const Westring& source);
