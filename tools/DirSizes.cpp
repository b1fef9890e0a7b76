#include "tools/DirSizes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"
#include "foundation/NumberFormat.h"
#include "foundation/SyncEvent.h"
#include "foundation/SysCalls.h"
#include "foundation/Thread.h"
#include "panels/Panel.h"
#include "tools/DirectoryTree.h"

namespace {

constexpr uint32_t kRefreshMs = 100;
constexpr int kWindowWidth = 40, kWindowHeight = 5, kNumberWidth = 18;

// The child node of a subdirectory, added when the tree lacks it.
TREENODE* ChildNode(TREENODE* node, CTree* tree, const char* name) {
  if (node == nullptr || tree == nullptr) return nullptr;
  const Westring wide = Westring::FromUtf8(name);
  if (TREENODE* child = FindChild(node, wide.c_str())) return child;
  if (node->depth >= TreeLimit::MaxDepth) return nullptr;
  TREENODE* child = NewTreeNode(wide, node->depth + 1, g_settings.expandedTrees);
  AppendChild(node, child);
  tree->modified = true;
  return child;
}

// The names of one directory are read before any is descended into, so
// only one directory is open at a time however deep the tree goes.
int64_t SizeBelow(const std::string& path, TREENODE* node, CTree* tree, TSizeCounters* counters,
                  const std::function<bool()>& stop) {
  if (stop && stop()) return -1;
  counters->directories.fetch_add(1, std::memory_order_relaxed);
  DIR* stream = Sys::OpenDirectoryStream(path.c_str());
  if (stream == nullptr) return 0;
  const int fd = dirfd(stream);
  int64_t total = 0;
  std::vector<std::string> subdirectories;
  while (const dirent* record = readdir(stream)) {
    if (Sys::IsDotName(record->d_name)) continue;
    struct stat info {};
    if (fstatat(fd, record->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      subdirectories.push_back(record->d_name);
      continue;
    }
    total += info.st_size;
    counters->files.fetch_add(1, std::memory_order_relaxed);
    counters->bytes.fetch_add(info.st_size, std::memory_order_relaxed);
  }
  closedir(stream);
  for (const std::string& name : subdirectories) {
    TREENODE* child = ChildNode(node, tree, name.c_str());
    const int64_t below =
        SizeBelow(path == "/" ? "/" + name : path + "/" + name, child, tree, counters, stop);
    if (below < 0) return -1;
    total += below;
  }
  if (node != nullptr) {
    node->size = total;
    if (tree != nullptr) tree->modified = true;
  }
  return total;
}

// Paints the counters every 100 ms from its own thread, into a window only
// it touches until the join.
class CSizePainter {
 public:
  explicit CSizePainter(const TSizeCounters* counters) : m_counters(counters) {
    if (g_console != nullptr) m_thread = StartThread(&ThreadMain, this);
  }
  ~CSizePainter() { Stop(); }
  CSizePainter(const CSizePainter&) = delete;
  CSizePainter& operator=(const CSizePainter&) = delete;

  /// Ends the painting; the window stays until the painter goes.
  void Stop() {
    m_done.Signal();
    if (m_thread) (void)JoinThread(m_thread);
  }
  /// After Stop: shows the final counters and waits for a key.
  void PauseOnTotals() {
    if (g_console == nullptr) return;
    Paint();
    TMouseRecord info;
    for (;;) {
      const uint32_t code = g_console->GetKey(&info, -1);
      if (code != 0 && code != Key::ModifierChange && code != Key::Mouse) return;
    }
  }

 private:
  static void* ThreadMain(void* self) {
    CSizePainter* painter = static_cast<CSizePainter*>(self);
    while (painter->m_done.Wait(kRefreshMs) == ETIMEDOUT) painter->Paint();
    return nullptr;
  }

  void Paint() {
    if (!m_window) {
      const uint8_t attr = Colour(ColourClass::Messages);
      m_window = std::make_unique<Win>(-1, -3, kWindowWidth, kWindowHeight, attr, attr);
      m_window->DrawTitle(Westring(" Reading Directories "));
    }
    Line(0, "Directories: ", m_counters->directories.load(std::memory_order_relaxed));
    Line(1, "   Files: ", m_counters->files.load(std::memory_order_relaxed));
    Line(2, "Total Size: ", m_counters->bytes.load(std::memory_order_relaxed));
  }

  void Line(int row, const char* label, int64_t value) {
    Westring number = FormatSizeAsShown(value, kNumberWidth);
    number.TrimLeft();
    const Westring text = Westring(label) + number;
    m_window->WriteText(1, row, text.FitLeft(m_window->Width() - 2).c_str());
  }

  const TSizeCounters* m_counters;
  std::unique_ptr<Win> m_window;
  SyncEvent m_done;
  ThreadHandle m_thread = 0;
};

// Any key stops the counting; mouse movements do not.
bool KeyPressed() {
  if (g_console == nullptr) return false;
  std::unique_ptr<TConsoleEvent> event = g_console->Events().Wait(0);
  return event && event->type == TConsoleEvent::Key;
}

std::vector<int> DirectoriesChosen(const CPanel& panel, bool allTagged) {
  std::vector<int> chosen;
  if (allTagged && panel.TaggedCount() > 0) {
    for (int i = 0; i < panel.Count(); ++i)
      if (panel.At(i)->tagged && panel.At(i)->IsDirectory() && !panel.At(i)->IsUpDir())
        chosen.push_back(i);
    return chosen;
  }
  const entry* current = panel.CursorEntry();
  if (current != nullptr && current->IsDirectory() && !current->IsUpDir())
    chosen.push_back(panel.CursorIndex());
  return chosen;
}

}  // namespace

int64_t DirectorySize(const Estring& path, TREENODE* node, CTree* tree, TSizeCounters* counters,
                      const std::function<bool()>& stop) {
  return SizeBelow(path.c_str(), node, tree, counters, stop);
}

void CalculateDirectorySizes(CPanel& panel, bool allTagged) {
  if (panel.InArchive()) return;
  const std::vector<int> chosen = DirectoriesChosen(panel, allTagged);
  if (chosen.empty()) return;
  CTree* tree = g_treeSet.TreeFor(panel.Directory());
  TSizeCounters counters;
  bool stopped = false;
  {
    CSizePainter painter(&counters);
    for (int index : chosen) {
      const entry& e = *panel.At(index);
      const Westring path = panel.PathOf(e.Name());
      // A link's target is counted, but is no directory of the tree.
      TREENODE* node = tree != nullptr && !e.IsLink() ? tree->AddPath(path) : nullptr;
      const int64_t size =
          DirectorySize(path.ToUtf8(), node, node ? tree : nullptr, &counters, KeyPressed);
      if (size < 0) {
        stopped = true;
        break;
      }
      panel.SetDirectorySize(index, size);
    }
    painter.Stop();
    if (!stopped && g_settings.sizeCountPause) painter.PauseOnTotals();
  }
  panel.MarkForRedraw();
}
