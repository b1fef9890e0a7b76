#pragma once
// "Multi-file search & replace": the searched text replaced by another in
// every file found. Each file is written to a temporary file beside it
// (its room reserved first) that takes the file's name only when something
// was replaced, so a failure never loses the original; the bytes around the
// occurrences are copied unchanged, which keeps the encoding, the
// byte-order mark and the line ends.
#include <vector>

#include "foundation/Westring.h"

/// What is replaced, and how occurrences are found.
struct TReplaceRequest {
  Westring search;
  Westring replacement;
  bool caseSensitive = false;
  bool wholeWord = false;
  int codePage = 0;  // 0: the default text code page
};

/// What is appended to a file's path to name its temporary file.
constexpr const char* kReplaceTempSuffix = ".vk@@@.tmp";

/// Replaces every occurrence in the file at path; *replaced gets their
/// number. A file without one is not written at all. Returns 0 or the errno
/// of the read or write that failed, in which case the file is as it was and
/// no temporary file is left. Any thread; asks nothing.
int ReplaceInFile(const Westring& path, const TReplaceRequest& request, int* replaced);

/// Ctrl-R over the found files: asks for the replacement and confirms it,
/// shows " Search & Replace " while it works, reports a failure (the system
/// error and the file) and ends with the count of occurrences and files.
/// Application thread.
void RunMultiReplace(const std::vector<Westring>& paths, const TReplaceRequest& search);
