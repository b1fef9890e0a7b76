// One load and one save of a text file through the editor's buffer, without
// a window: the time each takes and the process's peak resident memory.
// Usage: vk_editor_bench FILE   (the file is written back in place)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "editor/EditorText.h"
#include "viewer/ViewTextFile.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  VKEditor::CEditorText text;
  {
    ViewTextFile file;
    if (int err = file.Open(Westring::FromUtf8(argv[1]))) {
      fprintf(stderr, "%s: cannot open (%d)\n", argv[1], err);
      return 1;
    }
    if (!text.Load(file, VKEditor::LoadKind::Fresh)) return 1;
  }
  const double loaded = SecondsSince(start);
  const auto saving = std::chrono::steady_clock::now();
  const int result = text.Save(text.FileName());
  const double saved = SecondsSince(saving);
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  printf("lines %d load %.3f save %.3f result %d peak_rss_kib %ld\n", text.LineCount(), loaded,
         saved, result, usage.ru_maxrss);
  return result == 0 ? 0 : 1;
}
