#pragma once
// "Calculate Dir Size": the total bytes of every file below a directory,
// counted on the application thread while a second thread paints the
// running counters in " Reading Directories ". The totals go into the
// directory tree's nodes and the panel's entries.
#include <atomic>
#include <cstdint>
#include <functional>

#include "foundation/Estring.h"

struct TREENODE;
class CTree;
class CPanel;

/// The counters the calculation advances and the painter reads.
struct TSizeCounters {
  std::atomic<int64_t> directories{0};
  std::atomic<int64_t> files{0};
  std::atomic<int64_t> bytes{0};
};

/// The bytes of every file below path (links are counted, not followed),
/// advancing counters; each directory's total goes into its node below
/// `node` (nodes the tree lacks are added) when node is given. stop is asked
/// once per directory; when it says so the result is -1 and the directories
/// not finished keep their sizes unknown. Any thread, one tree per thread.
int64_t DirectorySize(const Estring& path, TREENODE* node, CTree* tree, TSizeCounters* counters,
                      const std::function<bool()>& stop);

/// Ctrl+Q and F3 on a directory: the cursor's directory, or with allTagged
/// every tagged directory (".." never); a key press stops. Application thread.
void CalculateDirectorySizes(CPanel& panel, bool allTagged);
