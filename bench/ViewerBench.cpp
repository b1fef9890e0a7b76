// The viewer on a large file, timed in the program's own code: opening it and
// drawing the first screen, End until the last screen is in the cell grid,
// and a search for a text that is only at the end (case-sensitive and not).
// Prints one figure a line and the resident memory while viewing.
// Usage: vk_viewer_bench FILE NEEDLE   (needs a DISPLAY; bench/viewer.sh runs it)
#include <gdk/gdk.h>
#include <gtkmm/main.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/KeyCodes.h"
#include "viewer/FileViewer.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

double SearchMBs(FileViewer& viewer, const Westring& needle, bool caseSensitive) {
  ViewTextFile& file = viewer.File();
  const auto start = Clock::now();
  const int64_t match = file.Search(needle, 0, caseSensitive, false, false, [] { return g_console->EscPressed(); });
  const double ms = MsSince(start);
  if (match < 0) std::printf("search: the needle was not found\n");
  return static_cast<double>(file.KnownSize()) / (1 << 20) / (ms / 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE NEEDLE\n", argv[0]);
    return 2;
  }
  InitGdkThreads();
  Gtk::Main kit(argc, argv);
  CConsole console;
  g_console = &console;
  const Westring name = Westring::FromUtf8(argv[1]), needle = Westring::FromUtf8(argv[2]);

  FileViewer viewer;
  auto start = Clock::now();
  if (viewer.Open(name) != 0) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  viewer.Draw();
  std::printf("open to first screen: %.2f ms\n", MsSince(start));
  start = Clock::now();
  viewer.HandleKey(Key::End);
  std::printf("End to last screen: %.2f ms\n", MsSince(start));
  start = Clock::now();
  viewer.HandleKey(Key::Home);
  std::printf("Home to first screen: %.2f ms\n", MsSince(start));
  std::printf("search, case-sensitive: %.0f MB/s\n", SearchMBs(viewer, needle, true));
  std::printf("search, any case: %.0f MB/s\n", SearchMBs(viewer, needle, false));
  std::printf("RSS while viewing: %ld KiB\n", ResidentKiB());
  return 0;
}
