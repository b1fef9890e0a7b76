// libFuzzer target: the input as a file read in every encoding (the last one
// detected). Stepping forward and backward through it must stay inside the
// text and, where the encoding fixes the character boundaries, meet the same
// number of characters; every line read must move the position on, and the
// line starts found at a few offsets must lie at or before them.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzFile.h"
#include "viewer/ViewTextFile.h"

namespace {

void Check(bool holds) {
  if (!holds) abort();
}

// True when every UTF-8 lead byte has all its continuation bytes and no
// continuation byte stands alone: then both directions must agree.
bool IsWellFormedUtf8(const uint8_t* data, size_t size, size_t from) {
  for (size_t i = from; i < size;) {
    const uint8_t b = data[i];
    const size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > size) return false;
    for (size_t k = 1; k < length; ++k)
      if ((data[i + k] & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

void Exercise(const Westring& name, const uint8_t* data, size_t size, int encoding) {
  ViewTextFile file;
  if (file.Open(name, encoding, encoding == EncodingCodePage ? 1251 : 0) != 0) return;
  const int64_t end = static_cast<int64_t>(size);
  const int64_t start = file.DataStart();
  Check(start >= 0 && start <= 4 && start <= end && file.Position() == start);
  const int unit = file.UnitSize();

  int64_t forward = 0;
  for (int64_t before = file.Position(); file.NextChar() >= 0; before = file.Position()) {
    Check(file.Position() > before && file.Position() <= end);
    Check(++forward <= end);
  }
  Check(file.Position() == end);

  int64_t backward = 0;
  for (int64_t before = file.Position(); file.PrevChar() >= 0; before = file.Position()) {
    Check(file.Position() < before && file.Position() >= start);
    Check(++backward <= end);
  }
  Check(file.Position() == start);

  const bool fixedBoundaries =
      file.Encoding() != EncodingUtf8 || IsWellFormedUtf8(data, size, static_cast<size_t>(start));
  if (fixedBoundaries) {
    Check(forward == backward);
    if (unit > 1 || file.Encoding() == EncodingCodePage) Check(forward == (end - start) / unit);
  }

  for (int maxChars : {ViewTextFile::MaxLineChars, 3}) {
    file.SetPosition(start);
    TViewLine line;
    int64_t lines = 0;
    for (int64_t before = file.Position(); file.ReadLine(maxChars, &line); before = file.Position()) {
      Check(file.Position() > before && file.Position() <= end);
      Check(line.start == before && line.length >= 0 && line.length <= maxChars);
      Check(++lines <= end);
    }
    Check(file.Position() == end && line.length == 0);
  }

  for (int64_t offset : {start, end / 3, end / 2, end - 1, end}) {
    const int64_t lineStart = file.LineStart(offset);
    const int64_t held = std::max(start, std::min(offset, end));
    Check(lineStart >= start && lineStart <= held);
    if (!fixedBoundaries) continue;
    Check(file.LineStart(lineStart) == lineStart);
    const int64_t next = file.NextLineStart(lineStart);
    Check(next > held || (next == held && (held == end || lineStart == held)) ||
          (held - start) % unit != 0);
    Check(file.HexLineStart(offset) >= 0 && file.HexNextLineStart(held) <= end);
  }

  for (bool reverse : {false, true}) {
    const int64_t found = file.Search(L"a\x0431", reverse ? end : start, reverse, !reverse, reverse);
    Check(found == -1 || (found >= start && found < file.MatchEnd() && file.MatchEnd() <= end));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  const Westring name = Westring::FromUtf8(WriteFuzzFile("view.txt", data, size).c_str());
  for (int encoding = EncodingUtf32Le; encoding <= EncodingDetect; ++encoding)
    Exercise(name, data, size, encoding);
  return 0;
}
