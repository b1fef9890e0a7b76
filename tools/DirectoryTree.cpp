#include "tools/DirectoryTree.h"

#include <sys/stat.h>

#include <algorithm>
#include <cwchar>

#include "config/Settings.h"
#include "tools/TreeFile.h"

CTreeSet g_treeSet;

namespace {

bool SameName(const wchar_t* a, const wchar_t* b, bool ignoreCase) {
  return ignoreCase ? FoldCompare(a, b) == 0 : std::wcscmp(a, b) == 0;
}

bool ByName(const TREENODE* a, const TREENODE* b) {
  return std::wcscmp(a->name.c_str(), b->name.c_str()) < 0;
}

// Depths follow a moved node; what would lie below MaxDepth goes.
void SetDepths(TREENODE* node, int depth) {
  node->depth = static_cast<int8_t>(depth);
  if (depth >= TreeLimit::MaxDepth) {
    DeleteNodeList(node->child);
    node->child = nullptr;
    return;
  }
  for (TREENODE* child = node->child; child != nullptr; child = child->next)
    SetDepths(child, depth + 1);
}

}  // namespace

void SortNodeChildren(TREENODE* node) {
  if (node->child == nullptr) return;
  std::vector<TREENODE*> children;
  for (TREENODE* child = node->child; child != nullptr; child = child->next)
    children.push_back(child);
  std::stable_sort(children.begin(), children.end(), ByName);
  for (size_t i = 0; i < children.size(); ++i) {
    children[i]->next = i + 1 < children.size() ? children[i + 1] : nullptr;
    SortNodeChildren(children[i]);
  }
  node->child = children.front();
}

namespace {

int CountNodes(const TREENODE* first) {
  int count = 0;
  for (const TREENODE* node = first; node != nullptr; node = node->next)
    count += 1 + CountNodes(node->child);
  return count;
}

uint32_t VolumeOf(dev_t device) {
  const uint64_t wide = static_cast<uint64_t>(device);
  return static_cast<uint32_t>(wide ^ (wide >> 32));
}

}  // namespace

TREENODE* NewTreeNode(const Westring& name, int depth, bool expanded) {
  TREENODE* node = new TREENODE;
  node->name = name;
  node->depth = static_cast<int8_t>(depth);
  node->expanded = expanded || depth < 1;
  return node;
}

void DeleteNodeList(TREENODE* first) {
  while (first != nullptr) {
    TREENODE* following = first->next;
    DeleteNodeList(first->child);
    delete first;
    first = following;
  }
}

void AppendChild(TREENODE* parent, TREENODE* child) {
  child->parent = parent;
  child->next = nullptr;
  child->depth = static_cast<int8_t>(parent->depth + 1);
  TREENODE** link = &parent->child;
  while (*link != nullptr) link = &(*link)->next;
  *link = child;
}

TREENODE* FindChild(const TREENODE* parent, const wchar_t* name, bool ignoreCase) {
  for (TREENODE* child = parent->child; child != nullptr; child = child->next)
    if (SameName(child->name.c_str(), name, ignoreCase)) return child;
  return nullptr;
}

void UnlinkNode(TREENODE* node) {
  if (node->parent == nullptr) return;
  TREENODE** link = &node->parent->child;
  while (*link != nullptr && *link != node) link = &(*link)->next;
  if (*link == node) *link = node->next;
  node->next = nullptr;
  node->parent = nullptr;
}

// The volume is the file system's device number folded to 32 bits: it stays
// the same between runs for the same mounted file system. The tree's root is
// where that file system is mounted, found by climbing while the device stays.
bool TreeKeyOf(const Westring& path, TTreeKey* key, Westring* mountPath) {
  struct stat info {};
  if (path.IsEmpty() || path[0] != L'/' || stat(path.ToUtf8().c_str(), &info) != 0) return false;
  key->drive = kUnixDrive;
  key->volume = VolumeOf(info.st_dev);
  if (mountPath == nullptr) return true;
  Westring mount = path;
  mount.RemoveTrailingSlash();
  while (mount.Length() > 1) {
    Westring parent = mount.DirPart();
    parent.RemoveTrailingSlash();
    if (parent.IsEmpty()) parent = L"/";
    struct stat above {};
    if (stat(parent.ToUtf8().c_str(), &above) != 0 || above.st_dev != info.st_dev) break;
    mount = parent;
  }
  if (mount.IsEmpty()) mount = L"/";
  *mountPath = mount;
  return true;
}

// --- CTree -------------------------------------------------------------------

CTree::CTree(TTreeKey key, const Westring& rootPath) : m_key(key), m_rootPath(rootPath) {
  ResetToRoot();
}

CTree::~CTree() { DeleteNodeList(m_root); }

void CTree::SetRoot(TREENODE* root) {
  DeleteNodeList(m_root);
  m_root = root;
  if (m_root != nullptr) m_root->name = m_rootPath;
}

void CTree::ResetToRoot() { SetRoot(NewTreeNode(m_rootPath, 0, true)); }

bool CTree::Components(const Westring& path, std::vector<Westring>* parts) const {
  Westring rest = path;
  if (m_rootPath != L"/") {
    if (rest.ComparePrefix(m_rootPath.c_str(), m_rootPath.Length()) != 0) return false;
    rest = rest.Mid(m_rootPath.Length());
    if (!rest.IsEmpty() && rest[0] != L'/') return false;
  }
  int start = 0;
  const int length = rest.Length();
  while (start < length) {
    int end = start;
    while (end < length && rest[end] != L'/') ++end;
    if (end > start) parts->push_back(rest.Mid(start, end - start));
    start = end + 1;
  }
  return true;
}

TREENODE* CTree::Find(const Westring& path, bool ignoreCase) const {
  std::vector<Westring> parts;
  if (m_root == nullptr || !Components(path, &parts)) return nullptr;
  TREENODE* node = m_root;
  for (const Westring& part : parts) {
    node = FindChild(node, part.c_str(), ignoreCase);
    if (node == nullptr) return nullptr;
  }
  return node;
}

Westring CTree::FullPath(const TREENODE* node) const {
  std::vector<const TREENODE*> chain;
  for (; node != nullptr && node->parent != nullptr; node = node->parent) chain.push_back(node);
  Westring path = m_rootPath;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path.AddTrailingSlash();
    path += (*it)->name;
  }
  return path;
}

TREENODE* CTree::AddDirectory(const Westring& path) {
  Westring trimmed = path;
  trimmed.RemoveTrailingSlash();
  Westring parentPath = trimmed.DirPart();
  if (parentPath.IsEmpty()) parentPath = L"/";
  const Westring name = trimmed.NamePart();
  TREENODE* parent = Find(parentPath);
  if (parent == nullptr || name.IsEmpty() || parent->depth >= TreeLimit::MaxDepth) return nullptr;
  if (TREENODE* existing = FindChild(parent, name.c_str())) return existing;
  TREENODE* node = NewTreeNode(name, parent->depth + 1, g_settings.expandedTrees);
  AppendChild(parent, node);
  modified = true;
  return node;
}

TREENODE* CTree::AddPath(const Westring& path) {
  std::vector<Westring> parts;
  if (m_root == nullptr || !Components(path, &parts)) return nullptr;
  TREENODE* node = m_root;
  for (const Westring& part : parts) {
    TREENODE* child = FindChild(node, part.c_str());
    if (child == nullptr) {
      if (node->depth >= TreeLimit::MaxDepth) return nullptr;
      child = NewTreeNode(part, node->depth + 1, g_settings.expandedTrees);
      AppendChild(node, child);
      modified = true;
    }
    node = child;
  }
  return node;
}

bool CTree::RemoveDirectory(const Westring& path) {
  TREENODE* node = Find(path);
  if (node == nullptr || node == m_root) return false;
  UnlinkNode(node);
  DeleteNodeList(node);
  modified = true;
  return true;
}

bool CTree::MoveDirectory(const Westring& from, const Westring& to) {
  TREENODE* node = Find(from);
  if (node == nullptr || node == m_root) return false;
  Westring target = to;
  target.RemoveTrailingSlash();
  Westring parentPath = target.DirPart();
  if (parentPath.IsEmpty()) parentPath = L"/";
  TREENODE* parent = Find(parentPath);
  // A node never goes below itself.
  for (const TREENODE* up = parent; up != nullptr; up = up->parent)
    if (up == node) parent = nullptr;
  UnlinkNode(node);
  modified = true;
  if (parent == nullptr || parent->depth >= TreeLimit::MaxDepth ||
      FindChild(parent, target.NamePart().c_str())) {
    DeleteNodeList(node);
    return true;
  }
  node->name = target.NamePart();
  node->parent = parent;
  node->next = parent->child;
  parent->child = node;
  SetDepths(node, parent->depth + 1);
  return true;
}

bool CTree::SynchroniseChildren(TREENODE* node, const WestringStore& names) {
  std::vector<const wchar_t*> listed;
  for (const Westring* name : names) listed.push_back(name->c_str());
  auto before = [](const wchar_t* a, const wchar_t* b) { return std::wcscmp(a, b) < 0; };
  std::sort(listed.begin(), listed.end(), before);
  bool changed = false;
  std::vector<const wchar_t*> kept;
  for (TREENODE** link = &node->child; *link != nullptr;) {
    TREENODE* child = *link;
    if (std::binary_search(listed.begin(), listed.end(), child->name.c_str(), before)) {
      kept.push_back(child->name.c_str());
      link = &child->next;
      continue;
    }
    *link = child->next;
    child->next = nullptr;
    DeleteNodeList(child);
    changed = true;
  }
  if (node->depth < TreeLimit::MaxDepth) {
    std::sort(kept.begin(), kept.end(), before);
    std::vector<TREENODE*> added;
    for (const wchar_t* name : listed) {
      if (std::binary_search(kept.begin(), kept.end(), name, before)) continue;
      added.push_back(NewTreeNode(Westring(name), node->depth + 1, g_settings.expandedTrees));
    }
    for (TREENODE* child : added) AppendChild(node, child);
    changed = changed || !added.empty();
  }
  if (changed) modified = true;
  return changed;
}

void CTree::Sort() {
  if (m_root != nullptr) SortNodeChildren(m_root);
}

int CTree::NodeCount() const { return CountNodes(m_root); }

// --- CTreeSet ----------------------------------------------------------------

int CTreeSet::CompareKeys(const TTreeKey* a, const TTreeKey* b) const {
  if (a->drive != b->drive) return a->drive < b->drive ? -1 : 1;
  if (a->volume != b->volume) return a->volume < b->volume ? -1 : 1;
  return 0;
}

CTree* CTreeSet::GetTree(TTreeKey key, const Westring& rootPath) {
  CTree* tree = Find(key);
  if (tree == nullptr) {
    tree = new CTree(key, rootPath);
    if (Insert(tree) != 0) {
      delete tree;
      return nullptr;
    }
    LoadTree(tree, TreeDataFileName());
  } else if (tree->Root() == nullptr) {
    LoadTree(tree, TreeDataFileName());
  }
  return tree;
}

CTree* CTreeSet::TreeFor(const Westring& path) {
  TTreeKey key;
  Westring mount;
  if (!TreeKeyOf(path, &key, nullptr)) return nullptr;
  if (CTree* known = Find(key))
    return known->Root() != nullptr ? known : GetTree(key, known->RootPath());
  if (!TreeKeyOf(path, &key, &mount)) return nullptr;
  return GetTree(key, mount);
}

void CTreeSet::SaveModified() {
  for (CTree* tree : *this)
    if (tree->modified && tree->loaded && !tree->writeFailed)
      (void)SaveTree(tree, TreeDataFileName(TreeFileUse::Write));
}
