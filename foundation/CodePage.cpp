#include "foundation/CodePage.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

#include "foundation/Estring.h"
#include "foundation/Westring.h"

namespace {

constexpr int DefaultCodePage = 850;
constexpr int DefaultTextCodePage = 819;
const char* const WideName = "UCS-4LE";

std::atomic<int> g_currentCodePage{DefaultCodePage};
std::atomic<int> g_textCodePage{DefaultTextCodePage};

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);

// The two descriptors of one code page. A descriptor that could not be opened
// stays NoConverter and is not retried, so an unknown code page costs one
// iconv_open per direction for the life of the process.
struct TConverterPair {
  int codePage = 0;
  iconv_t toWide = NoConverter;
  iconv_t fromWide = NoConverter;
};

// iconv descriptors carry conversion state, so a conversion holds the cache's
// lock from start to finish; conversions are short and this keeps them simple.
class ConverterCache {
 public:
  ~ConverterCache() {
    for (TConverterPair& pair : m_pairs) {
      if (pair.toWide != NoConverter) iconv_close(pair.toWide);
      if (pair.fromWide != NoConverter) iconv_close(pair.fromWide);
    }
  }

  std::mutex& Lock() { return m_lock; }

  // Caller holds Lock().
  TConverterPair& PairFor(int codePage) {
    for (TConverterPair& pair : m_pairs)
      if (pair.codePage == codePage) return pair;
    Estring name = CodePageIconvName(codePage);
    TConverterPair pair;
    pair.codePage = codePage;
    pair.toWide = iconv_open(WideName, name.c_str());
    pair.fromWide = iconv_open(name.c_str(), WideName);
    m_pairs.push_back(pair);
    return m_pairs.back();
  }

 private:
  std::mutex m_lock;
  std::vector<TConverterPair> m_pairs;
};

ConverterCache& Cache() {
  static ConverterCache cache;
  return cache;
}

}  // namespace

Estring CodePageIconvName(int codePage) {
  if (codePage == 878 || codePage == 20866) return "KOI8-R";
  if (codePage == 819) return "ISO-8859-1";
  return Estring::Format("CP%d", codePage);
}

bool IsCodePageAvailable(int codePage) {
  std::lock_guard<std::mutex> hold(Cache().Lock());
  TConverterPair& pair = Cache().PairFor(codePage);
  return pair.toWide != NoConverter && pair.fromWide != NoConverter;
}

Estring WideToCodePage(const wchar_t* text, int codePage) {
  int length = text ? static_cast<int>(wcslen(text)) : 0;
  std::lock_guard<std::mutex> hold(Cache().Lock());
  iconv_t converter = Cache().PairFor(codePage).fromWide;
  if (converter == NoConverter) return Estring();
  Estring result = Estring::WithRoom(length);
  // UCS-4LE is the machine's own wchar_t layout on this little-endian platform.
  char* in = const_cast<char*>(reinterpret_cast<const char*>(text));
  size_t inLeft = static_cast<size_t>(length) * sizeof(wchar_t);
  char* out = result.Data();
  size_t outLeft = static_cast<size_t>(length);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (length > 0) iconv(converter, &in, &inLeft, &out, &outLeft);
  *out = 0;
  return result;
}

bool CodePageToWide(const char* bytes, int count, int codePage, Westring* out) {
  out->MakeRoom(0);
  if (count < 0) count = bytes ? static_cast<int>(strlen(bytes)) : 0;
  std::lock_guard<std::mutex> hold(Cache().Lock());
  iconv_t converter = Cache().PairFor(codePage).toWide;
  if (converter == NoConverter) return false;
  out->MakeRoom(count);
  char* in = const_cast<char*>(bytes);
  size_t inLeft = static_cast<size_t>(count);
  char* start = reinterpret_cast<char*>(out->Data());
  char* next = start;
  size_t outLeft = static_cast<size_t>(count) * sizeof(wchar_t);
  bool allMapped = true;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    if (iconv(converter, &in, &inLeft, &next, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) break;  // cannot happen for a single-byte code page
    // An unmappable byte: skip it and mark its place.
    ++in;
    --inLeft;
    wchar_t mark = UnmappableCharacter;
    memcpy(next, &mark, sizeof mark);
    next += sizeof mark;
    outLeft -= sizeof mark;
    allMapped = false;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  // Flush a character held back by code pages that compose combining marks.
  iconv(converter, nullptr, nullptr, &next, &outLeft);
  out->Data()[(next - start) / sizeof(wchar_t)] = 0;
  return allMapped;
}

int CurrentCodePage() { return g_currentCodePage.load(std::memory_order_relaxed); }

void SetCurrentCodePage(int codePage) {
  g_currentCodePage.store(codePage ? codePage : DefaultCodePage, std::memory_order_relaxed);
}

int TextCodePage() { return g_textCodePage.load(std::memory_order_relaxed); }

void SetTextCodePage(int codePage) {
  g_textCodePage.store(codePage ? codePage : DefaultTextCodePage, std::memory_order_relaxed);
}
