#pragma once
// The search of a self-extracting archive's executable part for the start
// of the archive: a bounded window read once, matched byte by byte.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "archives/internal/FormatReader.h"

/// True when the file starts with the "MZ" of a DOS or Windows executable.
inline bool StartsWithExecutable(TArchiveBuilder& archive) {
  uint8_t mz[2];
  return archive.ReadAt(0, mz, 2) == 2 && mz[0] == 'M' && mz[1] == 'Z';
}

/// The offset of the first match of pattern (length bytes; a '?' matches any
/// byte) that starts at or after from and ends at or before end, and that
/// accept (when given) takes; -1 when none does. Reads end - from bytes at
/// most, never past the file.
inline int64_t ScanForSignature(TArchiveBuilder& archive, int64_t from, int64_t end,
                                const char* pattern, size_t length,
                                const std::function<bool(int64_t)>& accept = nullptr) {
  const int64_t last = std::min(end, archive.FileSize());
  if (from < 0 || last - from < static_cast<int64_t>(length)) return -1;
  std::vector<uint8_t> window(static_cast<size_t>(last - from));
  const size_t got = archive.ReadAt(from, window.data(), window.size());
  for (size_t at = 0; at + length <= got; ++at) {
    size_t matched = 0;
    while (matched < length && (pattern[matched] == '?' ||
                                window[at + matched] == static_cast<uint8_t>(pattern[matched])))
      ++matched;
    if (matched == length && (!accept || accept(from + static_cast<int64_t>(at))))
      return from + static_cast<int64_t>(at);
  }
  return -1;
}
