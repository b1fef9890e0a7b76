#include "tools/TreeScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <string>
#include <utility>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"
#include "foundation/SysCalls.h"
#include "foundation/Thread.h"
#include "tools/DirectoryTree.h"

namespace {

constexpr int kWindowWidth = 24, kWindowHeight = 4;
constexpr int kPollMs = 100;

// A directory record names a directory, not a link to one; file systems
// that do not give the type in the record are asked.
bool IsRealDirectory(int dirFd, const dirent* record) {
  if (record->d_type == DT_DIR) return true;
  if (record->d_type != DT_UNKNOWN) return false;
  struct stat info {};
  return fstatat(dirFd, record->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

struct TQueued {
  TREENODE* node;
  std::string path;
};

// Lists one directory into node's children, queueing those that may have
// children of their own. A directory that cannot be opened, or belongs to
// another file system, stays a leaf.
void ListInto(TQueued& item, dev_t device, bool expanded, std::deque<TQueued>* queue,
              TScanProgress* progress) {
  struct stat info {};
  DIR* stream = Sys::OpenDirectoryStream(item.path.c_str(), item.node->parent != nullptr ? O_NOFOLLOW : 0, &info);
  if (stream == nullptr) return;
  if (info.st_dev != device) {
    closedir(stream);
    return;
  }
  const int fd = dirfd(stream);
  TREENODE** tail = &item.node->child;
  const int depth = item.node->depth + 1;
  const bool deeper = depth < TreeLimit::MaxDepth;
  while (const dirent* record = readdir(stream)) {
    if (Sys::IsDotName(record->d_name) || !IsRealDirectory(fd, record)) continue;
    TREENODE* node = NewTreeNode(Westring::FromUtf8(record->d_name), depth, expanded);
    node->parent = item.node;
    *tail = node;
    tail = &node->next;
    progress->directories.fetch_add(1, std::memory_order_relaxed);
    if (!deeper) continue;
    std::string path = item.path;
    if (path.size() > 1) path += '/';
    path += record->d_name;
    queue->push_back({node, std::move(path)});
  }
  closedir(stream);
}

struct TScanJob {
  Westring rootPath;
  bool expanded = false;
  TScanProgress* progress = nullptr;
  TREENODE* result = nullptr;
  std::atomic<bool> done{false};
};

void* ScanThreadMain(void* argument) {
  TScanJob* job = static_cast<TScanJob*>(argument);
  job->result = ScanDirectories(job->rootPath, job->expanded, job->progress);
  job->done.store(true, std::memory_order_release);
  return nullptr;
}

void ShowScanProgress(Win& window, TScanProgress& progress) {
  const Westring count =
      Westring(std::to_wstring(progress.directories.load(std::memory_order_relaxed)).c_str());
  const Westring path =
      progress.current.WithLock([](const Estring& p) { return Westring::FromUtf8(p.c_str()); });
  const int width = window.Width();
  window.WriteText(0, 0, count.FitLeft(width).c_str());
  window.WriteText(0, 1, (path.Length() > width ? path.Right(width) : path).FitLeft(width).c_str());
}

bool IsKeyPress(uint32_t code) {
  return code != 0 && code != Key::ModifierChange && code != Key::Mouse;
}

}  // namespace

TREENODE* ScanDirectories(const Westring& rootPath, bool expanded, TScanProgress* progress) {
  TREENODE* root = NewTreeNode(rootPath, 0, true);
  progress->directories.store(1, std::memory_order_relaxed);
  struct stat info {};
  const std::string rootBytes = rootPath.ToUtf8().c_str();
  if (stat(rootBytes.c_str(), &info) != 0) return root;
  std::deque<TQueued> queue;
  queue.push_back({root, rootBytes});
  while (!queue.empty() && !progress->stop.load(std::memory_order_relaxed)) {
    TQueued item = std::move(queue.front());
    queue.pop_front();
    progress->current.WithLock([&](Estring& current) { current = item.path.c_str(); });
    ListInto(item, info.st_dev, expanded, &queue, progress);
  }
  SortNodeChildren(root);
  return root;
}

void RunTreeScan(CTree* tree) {
  TScanProgress progress;
  TScanJob job;
  job.rootPath = tree->RootPath();
  job.expanded = g_settings.expandedTrees;
  job.progress = &progress;
  ThreadHandle worker = StartThread(&ScanThreadMain, &job);
  if (worker == 0) {
    ScanThreadMain(&job);
  } else {
    const uint8_t attr = Colour(ColourClass::Messages);
    Win window(-1, -2, kWindowWidth, kWindowHeight, attr, attr);
    window.DrawTitle(Westring("Scanning directories"));
    TMouseRecord info;
    while (!job.done.load(std::memory_order_acquire)) {
      ShowScanProgress(window, progress);
      if (IsKeyPress(g_console->GetKey(&info, kPollMs)))
        progress.stop.store(true, std::memory_order_relaxed);
    }
    (void)JoinThread(worker);
  }
  tree->SetRoot(job.result);
  tree->loaded = true;
  tree->modified = true;
}
