#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Cell.h"

/// One stretch of a drawn row that shares colours, in byte offsets into the
/// row's UTF-8 text (end exclusive), as Pango attributes want them.
struct TAttrRun {
  uint32_t startByte = 0;
  uint32_t endByte = 0;
  uint8_t attr = 0;
};

/// A row of cells prepared for one Pango layout: its UTF-8 text and the
/// colour runs over it.
struct TRowRuns {
  std::string utf8;
  std::vector<TAttrRun> runs;
};

/// Bytes the UTF-8 form of `ch` takes (1 below 0x80, 2 below 0x800, 3 below 0x10000, else 4).
int Utf8Length(uint32_t ch);

/// Appends the UTF-8 form of `ch` to `out`.
void AppendUtf8(std::string& out, uint32_t ch);

/// `ch`, or U+FFFD where `ch` is no Unicode scalar value (a surrogate, a
/// value past U+10FFFF, or the 0xFFFFFFFF that stands for a decoded NUL);
/// Pango refuses text that is not valid UTF-8.
inline uint32_t DrawableChar(uint32_t ch) {
  const bool surrogate = ch >= 0xD800 && ch <= 0xDFFF;
  return ch == 0 || surrogate || ch > 0x10FFFF ? 0xFFFD : ch;
}

/// Builds the text and colour runs of `count` cells. A run continues while
/// the attribute stays the same, except that a space breaks it only when its
/// background differs: a blank's foreground is invisible, so splitting on it
/// would only make more runs. `invert(i)` says whether cell i is inside a
/// shown selection, which swaps its nibbles.
template <class InvertFn>
TRowRuns BuildRowRuns(const TCell* cells, int count, InvertFn invert) {
  TRowRuns row;
  row.utf8.reserve(count);
  for (int i = 0; i < count; ++i) {
    uint8_t attr = cells[i].attr;
    if (invert(i)) attr = static_cast<uint8_t>(attr << 4 | attr >> 4);
    const uint32_t start = static_cast<uint32_t>(row.utf8.size());
    AppendUtf8(row.utf8, DrawableChar(cells[i].ch));
    const uint32_t end = static_cast<uint32_t>(row.utf8.size());
    const bool isBlank = cells[i].ch == ' ';
    if (!row.runs.empty()) {
      TAttrRun& run = row.runs.back();
      const bool same = isBlank ? AttrBackground(run.attr) == AttrBackground(attr) : run.attr == attr;
      if (same) {
        run.endByte = end;
        continue;
      }
    }
    row.runs.push_back({start, end, attr});
  }
  return row;
}

/// BuildRowRuns without a selection.
inline TRowRuns BuildRowRuns(const TCell* cells, int count) {
  return BuildRowRuns(cells, count, [](int) { return false; });
}
