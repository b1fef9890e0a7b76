#pragma once
// Scanning a file system's directories into a tree: breadth first, links and
// directories of other file systems not followed, unreadable directories
// kept as leaves. The listing runs on a worker thread while the application
// thread shows "Scanning directories" and watches the keyboard.
#include <atomic>
#include <cstdint>

#include "foundation/Estring.h"
#include "foundation/Locked.h"
#include "foundation/Westring.h"

struct TREENODE;
class CTree;

/// What the scanning thread and the thread watching it share.
struct TScanProgress {
  std::atomic<int32_t> directories{0};  // found so far, the root included
  std::atomic<bool> stop{false};        // set by the watcher: end the scan early
  Locked<Estring> current;              // the directory being listed
};

/// The tree below rootPath as a new root node (named rootPath, expanded),
/// children sorted; the scan ends early when progress->stop is set, keeping
/// what it found. New nodes are expanded when `expanded`. Any thread; null
/// only when memory runs out.
TREENODE* ScanDirectories(const Westring& rootPath, bool expanded, TScanProgress* progress);

/// Scans the tree's file system from its root with the progress window; a
/// key press stops the scan and keeps what was found. The tree is then
/// loaded and modified. Application thread.
void RunTreeScan(CTree* tree);
