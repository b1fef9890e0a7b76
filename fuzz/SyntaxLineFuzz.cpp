// libFuzzer target: the input's first line ending in "===" splits it into a
// definition (its rules applied to every file) and lines to colour with the
// state carried from line to line. Each line must give one cell per
// character (tabs aside), and the state must stay bounded.
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/SyntaxColourer.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find("===\n");
  if (split == std::string::npos) return 0;
  const std::string rules = "[All: *]\n" + input.substr(0, split);
  const std::string& path =
      WriteFuzzFile("lines.ini", reinterpret_cast<const uint8_t*>(rules.data()), rules.size());
  CSyntaxDefinition definition;
  if (definition.Load(Westring::FromUtf8(path.c_str()), L"f.c", 0x17, nullptr) != 0) return 0;
  CContextStack state;
  std::vector<TCell> cells;
  size_t at = split + 4;
  while (at <= input.size()) {
    size_t end = input.find('\n', at);
    if (end == std::string::npos) end = input.size();
    const Westring line = Westring::FromUtf8(input.substr(at, end - at).c_str());
    ColourSyntaxLine(&definition, &state, line.c_str(), line.Length(), 4, 0x17, &cells);
    if (line.Find(L'\t') < 0 && cells.size() != static_cast<size_t>(line.Length())) abort();
    if (state.contexts.empty() || state.contexts.size() > 64 || state.open.size() > 64) abort();
    at = end + 1;
  }
  return 0;
}
