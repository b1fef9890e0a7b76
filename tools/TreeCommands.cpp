#include "tools/TreeCommands.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "config/Settings.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "panels/Panel.h"
#include "panels/TreeHooks.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeFile.h"
#include "tools/TreeScan.h"
#include "tools/TreeWindow.h"

namespace {

Westring ParentOf(const Westring& path) {
  Westring trimmed = path;
  trimmed.RemoveTrailingSlash();
  Westring parent = trimmed.DirPart();
  return parent.IsEmpty() ? Westring(L"/") : parent;
}

// The tree of the nearest directory on the way up that can be examined:
// a removed directory is found through its parent.
CTree* TreeAround(const Westring& path) {
  Westring probe = path;
  for (;;) {
    if (CTree* tree = g_treeSet.TreeFor(probe)) return tree;
    if (probe.Length() <= 1) return nullptr;
    probe = ParentOf(probe);
  }
}

// A tree never loaded or scanned is scanned before it is shown.
CTree* ShownTree(const Westring& path) {
  CTree* tree = TreeAround(path);
  if (tree != nullptr && !tree->loaded) RunTreeScan(tree);
  return tree;
}

void OnDirectoryMade(const Westring& path) {
  if (CTree* tree = TreeAround(ParentOf(path))) (void)tree->AddDirectory(path);
}

void OnDirectoryRemoved(const Westring& path) {
  if (CTree* tree = TreeAround(ParentOf(path))) (void)tree->RemoveDirectory(path);
}

void OnDirectoryMoved(const Westring& from, const Westring& to) {
  CTree* source = TreeAround(ParentOf(from));
  CTree* target = TreeAround(ParentOf(to));
  if (source != nullptr && source == target) {
    (void)source->MoveDirectory(from, to);
    return;
  }
  if (source != nullptr) (void)source->RemoveDirectory(from);
  if (target != nullptr) (void)target->AddDirectory(to);
}

bool NodeBefore(const TREENODE* a, const TREENODE* b) {
  return std::wcscmp(a->name.c_str(), b->name.c_str()) < 0;
}

// With RetainCount, listed directories show the totals the tree knows.
void LendKnownSizes(CPanel& panel, TREENODE* node) {
  std::vector<TREENODE*> children;
  for (TREENODE* child = node->child; child != nullptr; child = child->next)
    if (child->size >= 0) children.push_back(child);
  if (children.empty()) return;
  std::sort(children.begin(), children.end(), NodeBefore);
  TREENODE probe;
  for (int i = 0; i < panel.Count(); ++i) {
    entry* e = panel.At(i);
    if (!e->IsDirectory() || e->IsUpDir() || e->IsLink()) continue;
    probe.name = e->Name();
    auto found = std::lower_bound(children.begin(), children.end(), &probe, NodeBefore);
    if (found == children.end() || (*found)->name != probe.name) continue;
    e->size = (*found)->size;
    e->sizeKnown = 1;
  }
}

void OnDirectoryRead(CPanel& panel, bool complete) {
  CTree* tree = g_treeSet.TreeFor(panel.Directory());
  if (tree == nullptr) return;
  TREENODE* node = tree->Find(panel.Directory());
  if (node == nullptr) return;
  if (complete) {
    // Links to directories are listed as directories, but the tree holds
    // only real ones, as a scan finds them.
    WestringStore names;
    for (int i = 0; i < panel.Count(); ++i) {
      const entry* e = panel.At(i);
      if (e->IsDirectory() && !e->IsLink() && !e->IsUpDir()) names.AppendCopy(Westring(e->Name()));
    }
    (void)tree->SynchroniseChildren(node, names);
    // Without subdirectories the files listed are everything below.
    if (panel.Subdirectories().Count() == 0 && node->size != panel.DirectoryTotal()) {
      node->size = panel.DirectoryTotal();
      tree->modified = true;
    }
  }
  if (g_settings.retainCount) LendKnownSizes(panel, node);
}

Westring OnChooseDirectory(const Westring& start) {
  Westring from = start;
  from.Trim();
  if (from.IsEmpty() || from[0] != L'/') from = Sys::CurrentDirectory();
  CTree* tree = ShownTree(from);
  Westring chosen;
  if (tree == nullptr || ShowTreeWindow(tree, kTreeChooserWidth, from, &chosen) != 0)
    return Westring();
  return chosen;
}

// The node at the end of parts below node, components compared ignoring case.
TREENODE* WalkIgnoringCase(TREENODE* node, const std::vector<Westring>& parts) {
  for (const Westring& part : parts) {
    node = FindChild(node, part.c_str(), true);
    if (node == nullptr) return nullptr;
  }
  return node;
}

// Depth first: node itself, then its subdirectories in children order.
TREENODE* FindBelow(TREENODE* node, const std::vector<Westring>& parts) {
  if (TREENODE* found = WalkIgnoringCase(node, parts)) return found;
  for (TREENODE* child = node->child; child != nullptr; child = child->next)
    if (TREENODE* found = FindBelow(child, parts)) return found;
  return nullptr;
}

Westring OnFindDirectory(const Westring& panelDirectory, const Westring& relative) {
  if (relative.IsEmpty() || relative[0] == L'/') return Westring();
  std::vector<Westring> parts;
  int start = 0;
  const int length = relative.Length();
  while (start <= length) {
    int end = start;
    while (end < length && relative[end] != L'/') ++end;
    const Westring part = relative.Mid(start, end - start);
    if (part == L"..") return Westring();
    if (!part.IsEmpty() && part != L".") parts.push_back(part);
    start = end + 1;
  }
  if (parts.empty()) return Westring();
  CTree* tree = g_treeSet.TreeFor(panelDirectory);
  TREENODE* here = tree != nullptr ? tree->Find(panelDirectory) : nullptr;
  if (here == nullptr) return Westring();
  TREENODE* found = FindBelow(here, parts);
  if (found == nullptr) found = FindBelow(tree->Root(), parts);
  return found != nullptr ? tree->FullPath(found) : Westring();
}

}  // namespace

void InstallTreeHooks() {
  g_treeHooks.directoryMade = OnDirectoryMade;
  g_treeHooks.directoryRemoved = OnDirectoryRemoved;
  g_treeHooks.directoryMoved = OnDirectoryMoved;
  g_treeHooks.directoryRead = OnDirectoryRead;
  g_treeHooks.chooseDirectory = OnChooseDirectory;
  g_treeHooks.findDirectory = OnFindDirectory;
}

void RunTreeCommand(CPanel& panel) {
  const Westring directory = panel.WorkingDirectory();
  CTree* tree = ShownTree(directory);
  if (tree == nullptr) return;
  Westring chosen;
  const int result = ShowTreeWindow(tree, kTreeWindowWidth, directory, &chosen);
  // A directory gone since the tree learned of it leaves the tree now.
  if (result == 0 && panel.EnterOrReport(chosen) != 0 && Sys::CheckDirectory(chosen) != 0)
    (void)tree->RemoveDirectory(chosen);
  if (tree->modified && tree->loaded) (void)SaveTree(tree, TreeDataFileName(TreeFileUse::Write));
}

void SaveDirectoryTrees() { g_treeSet.SaveModified(); }
