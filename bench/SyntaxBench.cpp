// Colouring a source file line by line with a syntax definition, the way
// the viewer and the editor do: the time of the colouring alone (lines are
// decoded to wide characters first) in MB of source per second.
// Usage: vk_syntax_bench SYNTAX_INI SOURCE_FILE
#include <chrono>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "editor/SyntaxColourer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SYNTAX_INI SOURCE_FILE\n", argv[0]);
    return 2;
  }
  CSyntaxDefinition definition;
  std::vector<TConfigMessage> messages;
  if (definition.Load(Westring::FromUtf8(argv[1]), Westring::FromUtf8(argv[2]), 0x17, &messages) != 0 ||
      !definition.HasSyntax()) {
    fprintf(stderr, "%s: no definition for %s\n", argv[1], argv[2]);
    return 1;
  }
  std::ifstream in(argv[2], std::ios::binary);
  std::vector<std::wstring> lines;
  size_t bytes = 0;
  for (std::string line; std::getline(in, line);) {
    bytes += line.size() + 1;
    lines.emplace_back(Westring::FromUtf8(line.c_str()).c_str());
  }
  // The best of three passes over the lines.
  std::vector<TCell> cells;
  size_t coloured = 0;
  double seconds = 1e9;
  for (int pass = 0; pass < 3; ++pass) {
    CContextStack state;
    coloured = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const std::wstring& line : lines) {
      ColourSyntaxLine(&definition, &state, line.c_str(), static_cast<int>(line.size()), 8, 0x17, &cells);
      coloured += cells.size();
    }
    seconds = std::min(seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  printf("%zu lines, %.1f MB, %zu cells in %.3f s: %.0f MB/s\n", lines.size(), bytes / 1e6, coloured,
         seconds, bytes / 1e6 / seconds);
  return 0;
}
