#include "viewer/ViewTextFile.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <vector>

#include "foundation/CaseFold.h"
#include "foundation/CodePage.h"
#include "foundation/Estring.h"

namespace {

constexpr int DetectBytes = 32768;
constexpr int CR = 13;
constexpr int LF = 10;
// Bytes a byte search reads at a time, straight from the file, plus the
// pattern's length less one so that a match across the edge is seen whole
// in one of two reads.
constexpr size_t SearchChunk = size_t{1} << 17;
// Characters stepped between two polls of a character-by-character search.
constexpr int PollEvery = 65536;

bool IsContinuation(int b) { return b >= 0 && (b & 0xC0) == 0x80; }
bool IsTerminator(int c) { return c == CR || c == LF; }
bool AreLinePair(int a, int b) { return (a == CR && b == LF) || (a == LF && b == CR); }

// Bytes the lead byte b says its character has; 0 for a byte that leads nothing.
int Utf8Length(int b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 0;
}

// The ranges of UTF-16 units that almost never occur in text: unassigned
// blocks, rare scripts and the surrogates and private use area.
bool IsPlausibleUtf16(uint32_t u) {
  static const uint16_t Implausible[][2] = {{0x07FB, 0x0900}, {0x1A20, 0x1AFF}, {0x1C80, 0x1CFF},
                                             {0x2B55, 0x2BFF}, {0xA698, 0xA6FF}, {0xA78D, 0xA7FA},
                                             {0xA960, 0xA9FF}, {0xAA60, 0xABFF}, {0xD7A4, 0xF8FF}};
  if (u == 0) return false;
  for (const auto& range : Implausible)
    if (u >= range[0] && u <= range[1]) return false;
  return true;
}

// One byte order's verdict in the UTF-16 and UTF-32 tests.
struct TOrderTest {
  bool decided = false;
  bool confirmed = false;
  bool space = false;
  bool lineFeed = false;
};

// Finds a pattern's bytes in a buffer, each buffer byte taken through a fold
// table when there is one. Sixteen windows at a time are tested on their
// first and last byte (when at most two bytes fold to each), the rest by
// Horspool's skip on the window's last byte.
class TByteFinder {
 public:
  TByteFinder(const std::vector<uint8_t>& wanted, const uint8_t* fold) : m_wanted(wanted), m_fold(fold) {
    const size_t m = wanted.size();
    for (size_t& sh : m_shift) sh = m;
    for (size_t i = 0; i + 1 < m; ++i) m_shift[wanted[i]] = m - 1 - i;
    m_wide = FoldingTo(wanted[0], m_first) && FoldingTo(wanted[m - 1], m_last);
  }

  bool Same(const uint8_t* window) const {
    if (!m_fold) return memcmp(window, m_wanted.data(), m_wanted.size()) == 0;
    for (size_t i = 0; i < m_wanted.size(); ++i)
      if (m_fold[window[i]] != m_wanted[i]) return false;
    return true;
  }

  /// The first window start from `from` on whose bytes match, below
  /// `windows` (the buffer's length less the pattern's plus one); `windows`
  /// when there is none.
  size_t Find(const uint8_t* data, size_t from, size_t windows) const {
    const size_t m = m_wanted.size();
    size_t i = from;
#ifdef __SSE2__
    if (m_wide) {
      const __m128i first0 = _mm_set1_epi8(static_cast<char>(m_first[0])), first1 = _mm_set1_epi8(static_cast<char>(m_first[1]));
      const __m128i last0 = _mm_set1_epi8(static_cast<char>(m_last[0])), last1 = _mm_set1_epi8(static_cast<char>(m_last[1]));
      for (; i + 16 <= windows; i += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1));
        const __m128i headHits = _mm_or_si128(_mm_cmpeq_epi8(heads, first0), _mm_cmpeq_epi8(heads, first1));
        const __m128i tailHits = _mm_or_si128(_mm_cmpeq_epi8(tails, last0), _mm_cmpeq_epi8(tails, last1));
        for (unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headHits, tailHits))); hits != 0;
             hits &= hits - 1) {
          const size_t at = i + static_cast<size_t>(__builtin_ctz(hits));
          if (Same(data + at)) return at;
        }
      }
    }
#endif
    while (i < windows) {
      const uint8_t last = m_fold ? m_fold[data[i + m - 1]] : data[i + m - 1];
      if (last == m_wanted[m - 1] && Same(data + i)) return i;
      i += m_shift[last];
    }
    return windows;
  }

 private:
  // The bytes that fold to b, in out[0] and out[1] (the same one twice when
  // only one does); false when more than two do.
  bool FoldingTo(uint8_t b, uint8_t* out) const {
    if (!m_fold) {
      out[0] = out[1] = b;
      return true;
    }
    int count = 0;
    for (int c = 0; c < 256; ++c) {
      if (m_fold[c] != b) continue;
      if (count == 2) return false;
      out[count++] = static_cast<uint8_t>(c);
    }
    if (count == 1) out[1] = out[0];
    return count > 0;
  }

  const std::vector<uint8_t>& m_wanted;
  const uint8_t* m_fold;
  size_t m_shift[256];
  uint8_t m_first[2] = {}, m_last[2] = {};
  bool m_wide = false;
};

bool IsAscii(const Westring& text) {
  for (int i = 0; i < text.Length(); ++i)
    if (text[i] >= 0x80) return false;
  return true;
}

bool IsWordByte(int b) {
  return b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
         (b >= 0x80 && b <= 0xFE);
}

}  // namespace

ViewTextFile::ViewTextFile() = default;

ViewTextFile::~ViewTextFile() = default;

void ViewTextFile::ResetState() {
  m_pos = 0;
  m_encoding = EncodingUtf8;
  m_codePage = 0;
  m_bomSize = 0;
  m_bigEndian = false;
  m_invalidUtf8 = 0;
  m_matchEnd = -1;
  m_landmark = TLandmark{};
}

int ViewTextFile::Open(const Westring& name, int encoding, int codePage) {
  Close();
  if (int err = ViewFile::Open(name)) return err;
  m_codePage = codePage;
  SetEncoding(encoding, codePage);
  m_pos = m_bomSize;
  return 0;
}

int ViewTextFile::Close() {
  ResetState();
  return ViewFile::Close();
}

void ViewTextFile::SetEncoding(int encoding, int codePage) {
  m_codePage = codePage;
  m_landmark = TLandmark{};
  if (encoding < EncodingUtf32Le || encoding > EncodingDetect) encoding = EncodingDetect;
  if (encoding == EncodingDetect) {
    Detect();
  } else {
    ApplyEncoding(encoding);
  }
  SetPosition(m_pos);
}

// The file's own mark counts only for the encoding it stands for.
void ViewTextFile::ApplyEncoding(int encoding) {
  m_encoding = encoding;
  m_bigEndian = IsBigEndianEncoding(encoding);
  m_bomSize = 0;
  int size = 0;
  const uint8_t* mark = EncodingByteOrderMark(encoding, &size);
  for (int i = 0; i < size; ++i)
    if (ByteAt(i) != mark[i]) return;
  m_bomSize = size;
}

void ViewTextFile::Detect() {
  std::vector<uint8_t> head(DetectBytes + 4);
  size_t got = 0;
  if (Seek(0) != 0 || Read(head.data(), head.size(), &got) != 0) got = 0;
  const int n = static_cast<int>(got);

  for (int encoding = EncodingUtf32Le; encoding <= EncodingUtf8; ++encoding) {
    int size = 0;
    const uint8_t* mark = EncodingByteOrderMark(encoding, &size);
    if (n >= size && memcmp(head.data(), mark, size) == 0) {
      ApplyEncoding(encoding);
      return;
    }
  }
  m_bomSize = 0;
  m_bigEndian = false;

  // UTF-8: one bad byte decides; a valid sequence only counts when nothing
  // bad follows in the first 32768 bytes.
  bool utf8Seen = false;
  bool invalid = false;
  for (int i = 0; i < n && i < DetectBytes && !invalid;) {
    const int b = head[i];
    if (b == 0) {
      invalid = true;
    } else if (b < 0x80) {
      ++i;
    } else {
      const int length = Utf8Length(b);
      if (length < 2) {
        invalid = true;
        break;
      }
      if (i + length > n) break;  // cut off by the end: proves nothing
      for (int k = 1; k < length; ++k)
        if (!IsContinuation(head[i + k])) invalid = true;
      utf8Seen = true;
      i += length;
    }
  }
  if (utf8Seen && !invalid) {
    ApplyEncoding(EncodingUtf8);
    return;
  }

  TOrderTest little, big;
  for (int i = 0; i + 4 <= n && i <= DetectBytes - 4 && !(little.decided && big.decided); i += 4) {
    const uint8_t* u = &head[i];
    const uint32_t le = u[0] | u[1] << 8 | u[2] << 16 | static_cast<uint32_t>(u[3]) << 24;
    const uint32_t be = u[3] | u[2] << 8 | u[1] << 16 | static_cast<uint32_t>(u[0]) << 24;
    auto judge = [](uint32_t unit, TOrderTest* test) {
      if (test->decided) return;
      if (unit > 0x10FFFF) {
        test->decided = true;
      } else if (unit == ' ' || unit == LF) {
        test->decided = test->confirmed = true;
      }
    };
    judge(le, &little);
    judge(be, &big);
  }
  if (little.confirmed || big.confirmed) {
    ApplyEncoding(little.confirmed ? EncodingUtf32Le : EncodingUtf32Be);
    return;
  }

  little = big = TOrderTest{};
  for (int i = 0; i + 2 <= n && i <= DetectBytes - 2 && !(little.decided && big.decided); i += 2) {
    const uint32_t le = head[i] | head[i + 1] << 8;
    const uint32_t be = head[i + 1] | head[i] << 8;
    auto judge = [](uint32_t unit, TOrderTest* test) {
      if (test->decided) return;
      if (!IsPlausibleUtf16(unit)) {
        test->decided = true;
        return;
      }
      if (unit == ' ') test->space = true;
      if (unit == LF) test->lineFeed = true;
      if (test->space && test->lineFeed) test->decided = test->confirmed = true;
    };
    judge(le, &little);
    judge(be, &big);
  }
  if (little.confirmed || big.confirmed) {
    ApplyEncoding(little.confirmed ? EncodingUtf16Le : EncodingUtf16Be);
    return;
  }
  ApplyEncoding(invalid ? EncodingCodePage : EncodingUtf8);
}

int ViewTextFile::EffectiveCodePage() const { return m_codePage != 0 ? m_codePage : TextCodePage(); }

void ViewTextFile::BuildCodePageTable() {
  const int codePage = EffectiveCodePage();
  if (m_cpTableFor == codePage) return;
  m_cpTableFor = codePage;
  char bytes[256];
  for (int b = 1; b < 256; ++b) bytes[b - 1] = static_cast<char>(b);
  Westring wide;
  CodePageToWide(bytes, 255, codePage, &wide);
  const bool converted = wide.Length() == 255;
  m_cpTable[0] = L'.';
  // A code page iconv does not know shows its bytes as Latin-1.
  for (int b = 1; b < 256; ++b) m_cpTable[b] = converted ? wide[b - 1] : static_cast<wchar_t>(b);
}

wchar_t ViewTextFile::CodePageChar(int b) {
  BuildCodePageTable();
  return m_cpTable[b & 0xFF];
}

void ViewTextFile::SetPosition(int64_t offset) {
  m_pos = std::max<int64_t>(m_bomSize, std::min(offset, KnownSize()));
}

// Continuation bytes give their low six bits and are not checked further: a
// lead byte takes the bytes it asks for, whatever they are.
int ViewTextFile::DecodeUtf8(int64_t at, int64_t* end) {
  int b = ByteAt(at);
  if (b < 0) {
    *end = at;
    return -1;
  }
  int length = Utf8Length(b);
  if (length == 0) {
    ++m_invalidUtf8;
    *end = at + 1;
    return b & 0x7F;
  }
  static const int LeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  int c = b & LeadMask[length];
  for (int k = 1; k < length; ++k) {
    int t = ByteAt(at + k);
    if (t < 0) {
      *end = at + k;
      return -1;
    }
    c = c << 6 | (t & 0x3F);
  }
  *end = at + length;
  return c;
}

// A UTF-32 unit beyond the last code point would read as a negative int, the
// end-of-file value: it comes out as U+FFFD.
int ViewTextFile::ReadUnit(int64_t at, int64_t* missing) {
  const int size = UnitSize();
  uint32_t value = 0;
  for (int k = 0; k < size; ++k) {
    int b = ByteAt(at + k);
    if (b < 0) {
      if (missing) *missing = at + k;
      return -1;
    }
    value = m_bigEndian ? value << 8 | b : value | static_cast<uint32_t>(b) << (8 * k);
  }
  return value > 0x10FFFF ? 0xFFFD : static_cast<int>(value);
}

int ViewTextFile::NextChar() {
  int c;
  if (m_encoding == EncodingUtf8) {
    int64_t end;
    c = DecodeUtf8(m_pos, &end);
    m_pos = end;
    if (c < 0) return -1;
  } else if (m_encoding == EncodingCodePage) {
    c = ByteAt(m_pos);
    if (c < 0) return -1;
    ++m_pos;
  } else {
    int64_t missing;
    c = ReadUnit(m_pos, &missing);
    if (c < 0) {
      // A unit cut off by the end leaves the position at the end.
      m_pos = missing;
      return -1;
    }
    m_pos += UnitSize();
  }
  return FinishChar(c);
}

int ViewTextFile::PrevChar() {
  const int64_t p = m_pos;
  if (p <= m_bomSize) return -1;
  int c;
  if (m_encoding == EncodingUtf8) {
    if (ByteAt(p - 1) < 0) return -1;
    // Back over at most three continuation bytes to the lead; a lead whose
    // character ends before p leaves the byte before p standing alone, as
    // forward stepping reads it.
    int64_t q = p - 1;
    for (int steps = 0; steps < 3 && q > m_bomSize && IsContinuation(ByteAt(q)); ++steps) --q;
    const int length = Utf8Length(ByteAt(q));
    if (length == 0 || q + length < p) q = p - 1;
    int64_t end;
    c = DecodeUtf8(q, &end);
    if (c < 0) {
      // A sequence cut off by the end of the file: its last byte alone.
      q = p - 1;
      c = ByteAt(q) & 0x7F;
    }
    m_pos = q;
  } else if (m_encoding == EncodingCodePage) {
    c = ByteAt(p - 1);
    if (c < 0) return -1;
    m_pos = p - 1;
  } else {
    const int size = UnitSize();
    const int64_t inUnit = (p - m_bomSize) % size;
    int64_t q = inUnit != 0 ? p - inUnit : p - size;
    // The incomplete unit at the end of a file is no character.
    while (q >= m_bomSize && (c = ReadUnit(q, nullptr)) < 0) q -= size;
    if (q < m_bomSize) {
      m_pos = m_bomSize;  // only a cut-off unit lay before: no character at all
      return -1;
    }
    m_pos = q;
  }
  return FinishChar(c);
}

void ViewTextFile::GrowLineBuffer() {
  const int capacity = m_lineCapacity == 0 ? LineBufferInitialCapacity : m_lineCapacity * 2;
  auto grown = std::make_unique<wchar_t[]>(capacity);
  if (m_lineCapacity > 0) std::copy(m_line.get(), m_line.get() + m_lineCapacity, grown.get());
  m_line = std::move(grown);
  m_lineCapacity = capacity;
}

// Bytes that stand for one character of their own (in UTF-8 those below
// 0x80, in a code page any) and are no NUL or terminator are taken from the
// cache a block at a time rather than a character at a time: large files
// load several times faster. Returns how many were taken, at most limit.
int ViewTextFile::CopyPlainRun(int limit, bool store, int at) {
  if (m_encoding != EncodingUtf8 && m_encoding != EncodingCodePage) return 0;
  size_t available = 0;
  const uint8_t* bytes = BytesAt(m_pos, &available);
  if (!bytes) return 0;
  size_t most = std::min<size_t>(available, static_cast<size_t>(limit));
  // The run ends at the next LF at the latest.
  if (const void* lineFeed = memchr(bytes, LF, most))
    most = static_cast<size_t>(static_cast<const uint8_t*>(lineFeed) - bytes);
  const uint8_t highBit = m_encoding == EncodingUtf8 ? 0x80 : 0;
  auto isStop = [highBit](uint8_t b) { return (b & highBit) != 0 || b == 0 || b == CR; };
  // Runs of 16 bytes are checked and widened in loops of a fixed length,
  // which the compiler turns into vector code; the rest byte by byte.
  constexpr size_t Run = 16;
  wchar_t* out = nullptr;
  if (store) {
    while (m_lineCapacity < at + static_cast<int>(most)) GrowLineBuffer();
    out = m_line.get() + at;
  }
  const bool codePage = m_encoding == EncodingCodePage;
  size_t k = 0;
  for (; k + Run <= most; k += Run) {
    bool stops = false;
    for (size_t i = 0; i < Run; ++i) stops |= isStop(bytes[k + i]);
    if (stops) break;
    if (out && codePage) {
      for (size_t i = 0; i < Run; ++i) out[k + i] = m_cpTable[bytes[k + i]];
    } else if (out) {
      for (size_t i = 0; i < Run; ++i) out[k + i] = bytes[k + i];
    }
  }
  for (; k < most && !isStop(bytes[k]); ++k)
    if (out) out[k] = codePage ? m_cpTable[bytes[k]] : bytes[k];
  const int taken = static_cast<int>(k);
  m_pos += taken;
  return taken;
}

// A line ends at CR or LF; one LF and one CR after it, in either order,
// belong to it. A line cut at maxChars keeps whatever follows for the next.
bool ViewTextFile::ReadLineInto(int maxChars, bool store, int* length) {
  if (maxChars < 1) maxChars = 1;
  if (store && m_encoding == EncodingCodePage) BuildCodePageTable();
  int n = 0;
  int terminator = 0;
  while (n < maxChars) {
    if (const int run = CopyPlainRun(maxChars - n, store, n)) {
      n += run;
      continue;
    }
    const int c = NextChar();
    if (c < 0) break;
    if (IsTerminator(c)) {
      terminator = c;
      break;
    }
    if (store) {
      if (n == m_lineCapacity) GrowLineBuffer();
      m_line[n] = m_encoding == EncodingCodePage ? m_cpTable[c & 0xFF] : static_cast<wchar_t>(c);
    }
    ++n;
  }
  if (terminator != 0) {
    // The character after the terminator is only looked at: when it starts
    // the next line, that line's reading counts it.
    const int64_t after = m_pos;
    const uint64_t invalid = m_invalidUtf8;
    if (!AreLinePair(terminator, NextChar())) {
      m_pos = after;
      m_invalidUtf8 = invalid;
    }
  }
  *length = n;
  return n > 0 || terminator != 0;
}

bool ViewTextFile::ReadLine(int maxChars, TViewLine* out) {
  out->start = m_pos;
  int length = 0;
  if (!ReadLineInto(maxChars, true, &length)) {
    out->text = nullptr;
    out->length = 0;
    return false;
  }
  if (m_lineCapacity == 0) GrowLineBuffer();
  out->text = m_line.get();
  out->length = length;
  return true;
}

int64_t ViewTextFile::NextLineStart(int64_t offset, int maxChars) {
  const int64_t saved = m_pos;
  SetPosition(offset);
  int length = 0;
  (void)ReadLineInto(maxChars, false, &length);
  const int64_t next = m_pos;
  m_pos = saved;
  return next;
}

int64_t ViewTextFile::PieceStart(int64_t offset, int64_t start) const {
  return offset - start >= LongLinePiece ? offset - (offset - start) % LongLinePiece : start;
}

int64_t ViewTextFile::LineStart(int64_t offset) {
  offset = std::max<int64_t>(m_bomSize, std::min(offset, KnownSize()));
  if (m_landmark.offset >= 0 && offset >= m_landmark.start && offset <= m_landmark.offset)
    return PieceStart(offset, m_landmark.start);
  const int64_t saved = m_pos;
  const int64_t start = FindLineStart(offset);
  m_pos = saved;
  if (offset - start >= LongLinePiece) m_landmark = TLandmark{offset, start};
  return PieceStart(offset, start);
}

// Steps back from offset to the terminator before it. When offset directly
// follows CR or LF, the run of terminators before it is parsed forward the
// way ReadLine pairs them, to tell a line start from the middle of a pair.
int64_t ViewTextFile::FindLineStart(int64_t offset) {
  m_pos = offset;
  bool beforeRun = false;  // stepping back from a run of terminators
  for (;;) {
    const int64_t after = m_pos;
    const int c = PrevChar();
    if (c < 0) return m_bomSize;
    if (!IsTerminator(c)) {
      if (m_landmark.offset >= 0 && m_pos >= m_landmark.start && m_pos <= m_landmark.offset)
        return m_landmark.start;
      continue;
    }
    if (after < offset || beforeRun) return after;

    int64_t runStart = m_pos;
    for (int64_t steps = 0; steps < LongLinePiece; ++steps) {
      const int d = PrevChar();
      if (!IsTerminator(d)) break;
      runStart = m_pos;
    }
    m_pos = runStart;
    int64_t terminatorStart = runStart;
    while (m_pos < offset) {
      terminatorStart = m_pos;
      const int t = NextChar();
      if (t < 0) break;
      const int64_t single = m_pos;
      if (!AreLinePair(t, NextChar())) m_pos = single;
    }
    if (m_pos == offset) return offset;
    if (terminatorStart > runStart) return terminatorStart;
    // Offset lies inside the first terminator of the run, which ends the
    // line before it: go on back from the run's start.
    m_pos = runStart;
    beforeRun = true;
  }
}

int64_t ViewTextFile::HexLineStart(int64_t offset) const {
  return std::max<int64_t>(0, offset - HexLineBytes);
}

int64_t ViewTextFile::HexNextLineStart(int64_t offset) const {
  return std::min(KnownSize(), offset + HexLineBytes);
}

bool ViewTextFile::IsWordChar(int c) const {
  if (c < 0) return false;
  if (m_encoding == EncodingCodePage) return IsWordByte(c);
  return c == '_' || iswalnum(static_cast<wint_t>(c));
}

bool ViewTextFile::WordBoundsHold(int64_t start, int64_t end) {
  if (m_encoding == EncodingCodePage) {
    const int before = start > m_bomSize ? ByteAt(start - 1) : -1;
    return !IsWordChar(before) && !IsWordChar(ByteAt(end));
  }
  m_pos = start;
  if (IsWordChar(PrevChar())) return false;
  m_pos = end;
  return !IsWordChar(NextChar());
}

int64_t ViewTextFile::Search(const Westring& pattern, int64_t start, bool caseSensitive,
                             bool wholeWord, bool reverse, const SearchCancelPoll& cancel) {
  m_matchEnd = -1;
  const int length = pattern.Length();
  if (length == 0 || !IsOpen()) return -1;
  const int64_t saved = m_pos;
  SetPosition(start);
  start = m_pos;
  int64_t found;
  if (m_encoding == EncodingCodePage) {
    BuildCodePageTable();
    const int codePage = EffectiveCodePage();
    Estring bytes = WideToCodePage(pattern.c_str(), codePage);
    if (bytes.Length() < length) {
      found = -1;  // the code page cannot hold the pattern, so the file cannot either
    } else if (caseSensitive) {
      found = SearchBytes(bytes, nullptr, start, wholeWord, reverse, cancel);
    } else {
      // Each byte folded through its character and back into the code page.
      uint8_t fold[256];
      fold[0] = 0;
      for (int b = 1; b < 256; ++b) {
        const wchar_t ch = m_cpTable[b];
        const wchar_t folded = FoldChar(ch);
        fold[b] = static_cast<uint8_t>(b);
        if (folded == ch) continue;
        const wchar_t one[2] = {folded, 0};
        Estring back = WideToCodePage(one, codePage);
        if (back.Length() == 1) fold[b] = static_cast<uint8_t>(back[0]);
      }
      found = SearchBytes(bytes, fold, start, wholeWord, reverse, cancel);
    }
  } else if (m_encoding == EncodingUtf8 && (caseSensitive || IsAscii(pattern))) {
    // UTF-8 compares as bytes: no sequence of a character above 127 holds an
    // ASCII byte. Without case only ASCII letters fold, so an ASCII pattern
    // misses the few other characters that fold to its letters (the Kelvin
    // sign to k); NULs shown as spaces match a space.
    uint8_t fold[256];
    for (int b = 0; b < 256; ++b) fold[b] = static_cast<uint8_t>(caseSensitive || b >= 0x80 ? b : FoldChar(b));
    const bool nulIsSpace = !m_keepNul && pattern.Find(L' ') >= 0;
    if (nulIsSpace) fold[0] = ' ';
    found = SearchBytes(pattern.ToUtf8(), caseSensitive && !nulIsSpace ? nullptr : fold, start, wholeWord,
                        reverse, cancel);
  } else {
    found = SearchChars(pattern, start, caseSensitive, wholeWord, reverse, cancel);
  }
  if (found < 0) m_matchEnd = -1;
  m_pos = saved;
  return found;
}

int64_t ViewTextFile::SearchChars(const Westring& pattern, int64_t start, bool caseSensitive,
                                  bool wholeWord, bool reverse, const SearchCancelPoll& cancel) {
  const int length = pattern.Length();
  std::vector<wchar_t> wanted(pattern.c_str(), pattern.c_str() + length);
  if (!caseSensitive)
    for (wchar_t& ch : wanted) ch = FoldChar(ch);
  if (reverse) std::reverse(wanted.begin(), wanted.end());
  auto fold = [&](int c) { return caseSensitive ? c : static_cast<int>(FoldChar(static_cast<wchar_t>(c))); };

  int64_t at = start;
  if (reverse) {
    // Matches end no later than the character at start.
    m_pos = start;
    if (NextChar() < 0) m_pos = KnownSize();
    at = m_pos;
  }
  for (int steps = 0;; ++steps) {
    if (steps == PollEvery) {
      steps = 0;
      if (cancel && cancel()) return SearchCancelled;
    }
    m_pos = at;
    int c = reverse ? PrevChar() : NextChar();
    if (c < 0) return -1;
    const int64_t nextAt = m_pos;
    int k = 0;
    while (c >= 0 && fold(c) == static_cast<int>(wanted[k])) {
      if (++k == length) break;
      c = reverse ? PrevChar() : NextChar();
    }
    if (k == length) {
      const int64_t matchStart = reverse ? m_pos : at;
      const int64_t matchEnd = reverse ? at : m_pos;
      if (!wholeWord || WordBoundsHold(matchStart, matchEnd)) {
        m_matchEnd = matchEnd;
        return matchStart;
      }
    }
    at = nextAt;
  }
}

// Byte search over chunks read past the cache, with a bad-character skip
// over the (folded) bytes: led by the window's last byte going forward, by
// the byte just before the window in reverse.
int64_t ViewTextFile::SearchBytes(const Estring& pattern, const uint8_t* fold, int64_t start,
                                  bool wholeWord, bool reverse, const SearchCancelPoll& cancel) {
  const size_t m = static_cast<size_t>(pattern.Length());
  std::vector<uint8_t> wanted(m);
  for (size_t i = 0; i < m; ++i) {
    const uint8_t b = static_cast<uint8_t>(pattern[static_cast<int>(i)]);
    wanted[i] = fold ? fold[b] : b;
  }
  const TByteFinder finder(wanted, fold);
  auto accept = [&](int64_t at) { return !wholeWord || WordBoundsHold(at, at + static_cast<int64_t>(m)); };

  const size_t chunk = std::max(SearchChunk, 4 * m);
  std::vector<uint8_t> buffer(chunk + m);
  const uint8_t* data = buffer.data();
  if (!reverse) {
    for (int64_t base = start;; base += static_cast<int64_t>(chunk)) {
      if (cancel && cancel()) return SearchCancelled;
      const size_t want = chunk + m - 1;
      const ssize_t n = ReadDirect(buffer.data(), want, base);
      if (n < static_cast<ssize_t>(m)) return -1;
      const size_t got = static_cast<size_t>(n), windows = got - m + 1;
      for (size_t i = finder.Find(data, 0, windows); i < windows; i = finder.Find(data, i + 1, windows)) {
        const int64_t at = base + static_cast<int64_t>(i);
        if (accept(at)) {
          m_matchEnd = at + static_cast<int64_t>(m);
          return at;
        }
      }
      if (got < want) return -1;
    }
  }

  // Reverse: the match must end no later than the character at start. The
  // window moves back by how far the byte before it is from that byte's
  // first place in the pattern (m for a byte it does not hold).
  int skip[256];
  for (int& sk : skip) sk = static_cast<int>(m);
  for (size_t i = m; i-- > 0;) skip[wanted[i]] = static_cast<int>(i);
  m_pos = start;
  if (NextChar() < 0) m_pos = KnownSize();
  int64_t end = m_pos;
  for (;;) {
    if (cancel && cancel()) return SearchCancelled;
    if (end - m_bomSize < static_cast<int64_t>(m)) return -1;
    const int64_t base = std::max<int64_t>(m_bomSize, end - static_cast<int64_t>(chunk + m - 1));
    const size_t want = static_cast<size_t>(end - base);
    const ssize_t n = ReadDirect(buffer.data(), want, base);
    if (n < 0) return -1;
    const size_t got = static_cast<size_t>(n);
    if (got >= m) {
      int64_t i = static_cast<int64_t>(got - m);
      while (i >= 0) {
        if (!finder.Same(data + i)) {
          if (i == 0) break;
          const uint8_t before = fold ? fold[data[i - 1]] : data[i - 1];
          i -= skip[before] + 1;
          continue;
        }
        const int64_t at = base + i;
        if (accept(at)) {
          m_matchEnd = at + static_cast<int64_t>(m);
          return at;
        }
        --i;
      }
    }
    if (base == m_bomSize) return -1;
    end = base + static_cast<int64_t>(m) - 1;
  }
}
