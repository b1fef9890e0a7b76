#pragma once
// Ctrl+I, " File Information ": what the file system records about the
// entry under the cursor, the link itself rather than its target.
// Application thread.
#include <sys/stat.h>

#include <vector>

#include "foundation/Westring.h"

class CPanel;

/// One "label value" line of the window.
struct TInformationLine {
  const char* label;
  Westring value;
};

/// The lines for a file examined with lstat; target is the text of a link.
std::vector<TInformationLine> FileInformationLines(const struct stat& info, const Westring& target);

/// The window for the panel's cursor entry; Enter or Esc closes it.
void RunFileInformation(CPanel& panel);
