#pragma once
// The "Directory Tree" window: the tree drawn from a flat list of rows with
// connector lines, moved through with the cursor keys, folded and unfolded,
// searched by typed name and rescanned with Ctrl+R. Application thread.
#include <cstdint>
#include <vector>

#include "foundation/Westring.h"

struct TREENODE;
class CTree;

/// One row of the window: the node, its depth, and bit d set when the
/// ancestor at depth d (at the node's own depth: the node) has a following
/// sibling, which tells where vertical connector lines go.
struct TTreeRow {
  TREENODE* node;
  int depth;
  uint64_t mask;
};

/// The rows of the tree in pre-order: a node, then its children when it is
/// expanded and lies above the deepest level.
std::vector<TTreeRow> BuildTreeRows(TREENODE* root);
/// A row's text: connectors, then the name.
Westring TreeRowText(const TTreeRow& row);
/// The next node after `from` (or from itself when `inclusive`) in pre-order
/// whose name begins with text ignoring case, going round to the start; null
/// when none does. The root is never a match.
TREENODE* FindTreeMatch(TREENODE* root, TREENODE* from, const Westring& text, bool inclusive);

/// Window widths: the stand-alone window of Alt+F10, the one opened from a dialog.
constexpr int kTreeWindowWidth = 70, kTreeChooserWidth = 52;

/// Shows the tree window on the tree, starting at currentPath (or its
/// nearest ancestor in the tree). 0 with *chosen set to the directory's full
/// path on Enter, -1 on Esc (or when a rescan left no tree).
int ShowTreeWindow(CTree* tree, int width, const Westring& currentPath, Westring* chosen);
