// The panel read of one large directory through the program's own code:
// DirSearch, the drop rules, the entry array and the name sort, best of a
// few runs, and the heap each entry costs. With a display it also times
// paging through the list with the panel drawn, the work between two keys.
// Usage: vk_panel_read_bench DIRECTORY [RUNS]
#include <gtkmm/main.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/KeyCodes.h"
#include "panels/Panel.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

size_t HeapInUse() { return mallinfo2().uordblks; }

// Reads dir into a fresh panel; returns the seconds the read took.
double TimedRead(CPanel& panel, const Westring& dir) {
  panel.SetDirectory(dir);
  const auto start = std::chrono::steady_clock::now();
  panel.ReadDirectory();
  return Seconds(start);
}

void MeasureRead(const Westring& dir, int runs) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    CPanel panel(PanelSide::Left);
    panel.Layout(80, 25, true);
    const double seconds = TimedRead(panel, dir);
    if (seconds < best) best = seconds;
  }
  // Memory: the heap one read of a fresh panel leaves in use, per entry.
  const size_t before = HeapInUse();
  auto panel = std::make_unique<CPanel>(PanelSide::Left);
  panel->Layout(80, 25, true);
  TimedRead(*panel, dir);
  const size_t after = HeapInUse();
  size_t nameBytes = 0;
  for (int i = 0; i < panel->Count(); ++i) nameBytes += sizeof(wchar_t) * (std::wcslen(panel->At(i)->Name()) + 1);
  const double perEntry = static_cast<double>(after - before) / panel->Count();
  const double namePerEntry = static_cast<double>(nameBytes) / panel->Count();
  std::printf("entries %d\n", panel->Count());
  std::printf("read+sort best %.4f s\n", best);
  std::printf("heap per entry %.1f bytes (name %.1f, rest %.1f)\n", perEntry, namePerEntry,
              perEntry - namePerEntry);
}

// Page Down from the top to the end, drawing the panel after each key.
void MeasurePaging(const Westring& dir) {
  CPanel panel(PanelSide::Left);
  panel.Layout(g_console->Columns(), g_console->Lines(), true);
  panel.SetActive(true);
  TimedRead(panel, dir);
  int keys = 0;
  double worst = 0;
  const auto start = std::chrono::steady_clock::now();
  while (panel.CursorIndex() < panel.Count() - 1) {
    const auto one = std::chrono::steady_clock::now();
    panel.HandleCursorKey(Key::PageDown);
    panel.Draw();
    const double seconds = Seconds(one);
    if (seconds > worst) worst = seconds;
    ++keys;
  }
  std::printf("paging %d keys, %.3f ms per key, worst %.3f ms\n", keys, 1000 * Seconds(start) / keys,
              1000 * worst);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: vk_panel_read_bench DIRECTORY [RUNS]\n");
    return 1;
  }
  const Westring dir(argv[1]);
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  MeasureRead(dir, runs > 0 ? runs : 1);
  if (std::getenv("DISPLAY") == nullptr) return 0;
  InitGdkThreads();
  Gtk::Main kit(argc, argv);
  {
    CConsole console;
    g_console = &console;
    MeasurePaging(dir);
    g_console = nullptr;
  }
  return 0;
}
