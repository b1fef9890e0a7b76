// The file-find worker over a tree, best of a few runs: a content search
// (names "*", a text) or a name-only search (a pattern, no text).
// Usage: vk_find_bench DIRECTORY PATTERN [TEXT] [RUNS] [nocase]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/FileFind.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DIRECTORY PATTERN [TEXT] [RUNS] [nocase]\n", argv[0]);
    return 2;
  }
  TFindRequest request;
  request.startDirectory = Westring::FromUtf8(argv[1]);
  request.specification = Westring::FromUtf8(argv[2]);
  request.text = argc > 3 ? Westring::FromUtf8(argv[3]) : Westring();
  request.caseSensitive = !(argc > 5 && std::string(argv[5]) == "nocase");
  const int runs = argc > 4 ? std::atoi(argv[4]) : 5;
  double best = 1e9;
  int found = 0;
  for (int i = 0; i < runs; ++i) {
    CFileFinder finder;
    const auto start = std::chrono::steady_clock::now();
    if (finder.Start(request) != 0) return 1;
    finder.Join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best) best = seconds;
    found = finder.ResultCount();
  }
  std::printf("find best %.4f s, %d found\n", best, found);
  return 0;
}
