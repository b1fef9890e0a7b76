#pragma once
// What the files of the copy engine share: questions asked with the progress
// window held still, the cancel poll and path helpers. fileops/ only.
#include <sys/stat.h>

#include <vector>

#include "fileops/CopyFiles.h"
#include "foundation/Estring.h"
#include "foundation/Westring.h"

namespace copyengine {

/// A path as shown to the user.
Westring Shown(const Estring& path);
/// MessageBox with the progress window paused while it is up.
int Ask(TCopyContext* context, const char* text, const Estring& path, int style);
/// Whether the user asked to stop: the break key, or Esc once the progress
/// window may be up (a key typed ahead before that stays for the questions).
bool CancelRequested(TCopyContext* context);
/// path + "/" + name.
Estring Joined(const Estring& path, const char* name);
/// lstat; 0 or errno.
int LinkStatus(const Estring& path, struct stat* info);
/// True when the two paths, made absolute against the current directory,
/// are the same.
bool SamePath(const Estring& a, const Estring& b);
/// The path made absolute against the current directory, "." and ".."
/// components and repeated slashes resolved by their text.
Estring AbsolutePath(const Estring& path);
/// True when destination is source or lies below it (by the absolute paths).
bool Inside(const Estring& source, const Estring& destination);
/// Names in a directory without "." and "..", in byte order; "descript.ion"
/// only when asked for (copies carry descriptions with the files they
/// describe). 0 or errno.
int ListDirectory(const Estring& path, std::vector<Estring>* names, bool withDescriptions = false);

/// Removes the emptied source directory of a move through the delete engine;
/// one that still holds entries stays without a question. 0,
/// CopyResult::Skipped or CopyResult::Cancelled.
int RemoveMovedDirectory(const Estring& source, TCopyContext* context);
/// Deletes an existing destination before it is replaced, asking about a
/// read-only one. Results as for RemoveMovedDirectory.
int DeleteDestination(const Estring& destination, TCopyContext* context);

}  // namespace copyengine
