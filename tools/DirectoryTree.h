#pragma once
// The directory tree: the directory names of one file system as linked
// nodes, the set of trees keyed by file system, and the changes that keep a
// tree following the disk. Application thread (a scan builds its nodes on a
// worker and hands them over whole).
#include <cstdint>
#include <vector>

#include "foundation/SortedCollection.h"
#include "foundation/StringCollections.h"
#include "foundation/Westring.h"

namespace TreeLimit {
constexpr int MaxDepth = 63;      // no node lies deeper
constexpr int MaxNameLine = 300;  // longest name line a data file may hold
}  // namespace TreeLimit

/// One directory. Children form a list through `next`; a node owns its
/// children, which DeleteNodeList frees.
struct TREENODE {
  Westring name;              // one path component; the root holds the mount path ("/")
  TREENODE* next = nullptr;   // next sibling
  TREENODE* child = nullptr;  // first child
  TREENODE* parent = nullptr;
  int64_t size = -1;     // bytes of every file below; -1 while not computed
  int8_t depth = 0;      // 0 for the root
  uint8_t expanded = 0;  // the tree window shows the children
};

/// A new node with no links; null when memory runs out.
TREENODE* NewTreeNode(const Westring& name, int depth, bool expanded);
/// Frees first, the siblings after it and everything below them (children
/// before siblings). Recursion goes only as deep as the tree (at most 64).
void DeleteNodeList(TREENODE* first);
/// Appends child at the end of parent's children, setting its parent and depth.
void AppendChild(TREENODE* parent, TREENODE* child);

/// The file system a tree belongs to. This system has one root, so the drive
/// is always kUnixDrive and the volume tells file systems apart.
struct TTreeKey {
  uint8_t drive = 0;
  uint32_t volume = 0;
};
constexpr uint8_t kUnixDrive = 0;

/// The key of the file system holding path, and the directory where that
/// file system is mounted (the tree's root); false when path cannot be examined.
bool TreeKeyOf(const Westring& path, TTreeKey* key, Westring* mountPath);

class CTree {
 public:
  /// A tree of the single root node rootPath (not yet loaded).
  CTree(TTreeKey key, const Westring& rootPath);
  ~CTree();
  CTree(const CTree&) = delete;
  CTree& operator=(const CTree&) = delete;

  const TTreeKey& Key() const { return m_key; }
  TREENODE* Root() const { return m_root; }
  const Westring& RootPath() const { return m_rootPath; }
  /// Replaces every node by the given root (owned from now on); null leaves
  /// the tree without nodes.
  void SetRoot(TREENODE* root);
  /// Back to the single root node, expanded, size unknown.
  void ResetToRoot();

  /// The node of an absolute path ("/" at the start and a trailing "/"
  /// accepted), names compared exactly or ignoring case; null when a
  /// component is not in the tree or the path lies outside it.
  TREENODE* Find(const Westring& path, bool ignoreCase = false) const;
  /// The absolute path of a node.
  Westring FullPath(const TREENODE* node) const;

  /// A directory made: a node (size unknown) at the end of its parent's
  /// children. The existing node when there is one; null when the parent is
  /// not in the tree or it would lie deeper than MaxDepth.
  TREENODE* AddDirectory(const Westring& path);
  /// As AddDirectory, creating missing ancestors on the way.
  TREENODE* AddPath(const Westring& path);
  /// A directory removed: its node and subtree go. False when not in the tree.
  bool RemoveDirectory(const Westring& path);
  /// A directory renamed or moved: its node becomes the first child of the
  /// new parent under the new name; without the new parent in the tree it
  /// is removed. False when the old path is not in the tree.
  bool MoveDirectory(const Westring& from, const Westring& to);
  /// A listing of node's directory found exactly these subdirectories:
  /// children not listed go, names not yet there are added. True when
  /// anything changed.
  bool SynchroniseChildren(TREENODE* node, const WestringStore& names);
  /// Sorts every children list by plain code-point order of the names.
  void Sort();
  /// Nodes in the tree.
  int NodeCount() const;

  bool loaded = false;       // read from the data file or scanned
  bool modified = false;     // changed since last written
  bool writeFailed = false;  // the last write was refused: only an explicit save tries again

 private:
  /// The components of path below the root; false when outside the tree.
  bool Components(const Westring& path, std::vector<Westring>* parts) const;

  TTreeKey m_key;
  Westring m_rootPath;
  TREENODE* m_root = nullptr;
};

/// The first child of parent named name (exactly, or ignoring case).
TREENODE* FindChild(const TREENODE* parent, const wchar_t* name, bool ignoreCase = false);
/// Sorts node's children, and theirs, by plain code-point order of the names.
void SortNodeChildren(TREENODE* node);
/// Unlinks node from its parent's children (the node keeps its subtree).
void UnlinkNode(TREENODE* node);

/// Every tree of the run, keyed by (drive, volume).
class CTreeSet : public TSortedCollection<CTree, TTreeKey> {
 public:
  /// The tree of key, created and loaded from the data file on first use;
  /// a tree without a root is loaded again.
  CTree* GetTree(TTreeKey key, const Westring& rootPath);
  /// The tree of the file system holding path; null when path cannot be examined.
  CTree* TreeFor(const Westring& path);
  /// Writes every modified tree to the data file, except those whose last
  /// write failed (the user has been told once).
  void SaveModified();

 protected:
  const TTreeKey* KeyOf(const CTree* tree) const override { return &tree->Key(); }
  int CompareKeys(const TTreeKey* a, const TTreeKey* b) const override;
};

extern CTreeSet g_treeSet;
