#include "tools/TreeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "dialogs/MessageBox.h"
#include "foundation/SysCalls.h"
#include "tools/DirectoryTree.h"

namespace {

constexpr size_t kVolumeBytes = sizeof(uint32_t);

// Where a new line goes, by its depth against the previous node's: one
// deeper is its first child, the same depth its next sibling, shallower the
// next sibling of the ancestor at that depth. Deeper by more than one, or a
// second root, is unsound: null.
TREENODE* Link(TREENODE* previous, TREENODE* node) {
  if (node->depth == previous->depth + 1) {
    node->parent = previous;
    previous->child = node;
    return node;
  }
  if (node->depth > previous->depth || node->depth < 1) return nullptr;
  TREENODE* sibling = previous;
  while (sibling->depth > node->depth) sibling = sibling->parent;
  node->parent = sibling->parent;
  sibling->next = node;
  return node;
}

// A name is sound when it is not empty and, decoded (an overlong form can
// stand for any character), holds no "/" and no line feed and is not longer
// than the limit; the bytes are bounded before decoding.
bool SoundName(const char* bytes, size_t length, Westring* name) {
  constexpr size_t kMostBytes = 4 * TreeLimit::MaxNameLine;
  if (length == 0 || length > kMostBytes) return false;
  *name = Westring::FromUtf8(bytes);
  return !name->IsEmpty() && name->Length() <= TreeLimit::MaxNameLine && name->Find(L'/') < 0 &&
         name->Find(L'\n') < 0;
}

void AppendLines(const TREENODE* first, std::string* out) {
  for (const TREENODE* node = first; node != nullptr; node = node->next) {
    // A name with a line feed cannot be written as one line: it and what
    // lies below it are left to the next scan.
    if (node->name.Find(L'\n') >= 0) continue;
    out->push_back(static_cast<char>('0' + node->depth));
    out->append(node->name.ToUtf8().c_str());
    out->push_back('\n');
    AppendLines(node->child, out);
  }
}

int WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return wrote < 0 ? errno : ENOSPC;
    done += static_cast<size_t>(wrote);
  }
  return 0;
}

int ReadWhole(const Westring& fileName, std::vector<char>* bytes) {
  const int fd = open(fileName.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat info {};
  int err = fstat(fd, &info) == 0 ? 0 : errno;
  if (err == 0) {
    bytes->resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
      const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    bytes->resize(done);
  }
  close(fd);
  return err;
}

}  // namespace

Westring TreeDataFileName(TreeFileUse use) {
  if (!g_settings.treeDir.IsEmpty()) {
    Westring name = g_settings.treeDir;
    name.AddTrailingSlash();
    return name + L"vk2tree.dat";
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == 0) return Westring();
  Westring directory = Westring::FromUtf8(home);
  directory.AddTrailingSlash();
  directory += L".vkl";
  // The per-user directory is made when a tree is first written, private to its user.
  if (use == TreeFileUse::Write) (void)mkdir(directory.ToUtf8().c_str(), 0700);
  return directory + L"/vktree.dat";
}

bool ParseTreeData(CTree* tree, char* data, size_t size) {
  uint32_t volume = 0;
  if (size < kVolumeBytes) return false;
  std::memcpy(&volume, data, kVolumeBytes);
  if (volume != tree->Key().volume) return false;
  char* line = data + kVolumeBytes;
  char* const end = data + size;
  char* newline = static_cast<char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
  if (newline == nullptr) return false;
  // The root line's depth character stands for the drive; its name is where
  // the file system is mounted, which the tree knows already.
  TREENODE* root = NewTreeNode(tree->RootPath(), 0, true);
  tree->SetRoot(root);
  const bool expanded = g_settings.expandedTrees;
  TREENODE* previous = root;
  for (line = newline + 1; line < end; line = newline + 1) {
    newline = static_cast<char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
    if (newline == nullptr) break;  // a last line cut short
    const int depth = static_cast<unsigned char>(line[0]) - '0';
    if (depth < 0 || depth > TreeLimit::MaxDepth) break;
    *newline = 0;
    Westring name;
    if (!SoundName(line + 1, static_cast<size_t>(newline - line - 1), &name)) break;
    TREENODE* node = NewTreeNode(name, depth, expanded);
    if (Link(previous, node) == nullptr) {
      delete node;
      break;
    }
    previous = node;
  }
  tree->loaded = true;
  tree->modified = false;
  return true;
}

void LoadTree(CTree* tree, const Westring& fileName) {
  std::vector<char> bytes;
  tree->loaded = false;
  if (fileName.IsEmpty() || ReadWhole(fileName, &bytes) != 0 ||
      !ParseTreeData(tree, bytes.data(), bytes.size())) {
    tree->ResetToRoot();
    tree->loaded = false;
  }
}

int SaveTree(CTree* tree, const Westring& fileName) {
  if (tree->Root() == nullptr || fileName.IsEmpty()) return 0;
  tree->Sort();
  std::string bytes;
  const uint32_t volume = tree->Key().volume;
  bytes.append(reinterpret_cast<const char*>(&volume), kVolumeBytes);
  // The root line is the depth character and "/" whatever the mount path.
  bytes.append("0/\n");
  AppendLines(tree->Root()->child, &bytes);
  // A crash while writing leaves the old file: the new one takes its name
  // only when complete.
  const Estring target = fileName.ToUtf8();
  const Estring temporary = (fileName + L".new").ToUtf8();
  int err = 0;
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    err = errno;
  } else {
    err = WriteAll(fd, bytes);
    if (close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && rename(temporary.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) (void)unlink(temporary.c_str());
  }
  tree->writeFailed = err != 0;
  if (err != 0) {
    MessageBox(Westring("Error writing tree data file:") + L"\n" + fileName, Sys::ErrorText(err),
               MessageStyle::Ok);
    return err;
  }
  tree->loaded = true;
  tree->modified = false;
  return 0;
}
