// An archive listed into a panel through the program's own code: the
// member list read from the archive's headers, sorted, and its top level
// handed to the panel, best of a few runs; and the heap each member costs.
// Usage: vk_archive_bench ARCHIVE [RUNS]
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "archives/ArchivePanel.h"
#include "archives/ArchiveReader.h"
#include "panels/Panel.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

size_t HeapInUse() { return mallinfo2().uordblks; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s ARCHIVE [RUNS]\n", argv[0]);
    return 2;
  }
  const Westring path = Westring::FromUtf8(argv[1]);
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  g_openArchiveListing = OpenArchiveListing;
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    CPanel panel(PanelSide::Left);
    panel.Layout(80, 25, true);
    const auto start = std::chrono::steady_clock::now();
    if (!panel.EnterArchive(path)) {
      std::fprintf(stderr, "%s is not an archive the panels can open\n", argv[1]);
      return 1;
    }
    const double seconds = Seconds(start);
    if (seconds < best) best = seconds;
  }
  // Memory: the heap the member list of one reader holds, per member.
  const size_t before = HeapInUse();
  auto* reader = new ArchiveReader;
  reader->SetQuiet(true);
  reader->Open(path);
  const size_t after = HeapInUse();
  size_t nameBytes = 0;
  for (int i = 0; i < reader->Count(); ++i)
    if (const wchar_t* name = reader->At(i).name) nameBytes += sizeof(wchar_t) * (std::wcslen(name) + 1);
  const double perMember = static_cast<double>(after - before) / reader->Count();
  const double namePerMember = static_cast<double>(nameBytes) / reader->Count();
  std::printf("format %s, members %d\n", ArchiveFormatName(reader->Format()), reader->Count());
  std::printf("listed into a panel, best %.4f s\n", best);
  std::printf("heap per member %.1f bytes (name %.1f, rest %.1f)\n", perMember, namePerMember, perMember - namePerMember);
  delete reader;
  return 0;
}
