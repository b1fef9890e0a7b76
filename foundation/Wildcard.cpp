#include "foundation/Wildcard.h"

#include <cstdint>

#include "foundation/CaseFold.h"
#include "foundation/Westring.h"

namespace {

struct TNarrowChars {
  using Char = char;
  static uint32_t Value(char ch) { return static_cast<unsigned char>(ch); }
  static uint32_t Fold(uint32_t value) { return NarrowUpper(static_cast<unsigned char>(value)); }
};

struct TWideChars {
  using Char = wchar_t;
  static uint32_t Value(wchar_t ch) { return static_cast<uint32_t>(ch); }
  static uint32_t Fold(uint32_t value) {
    return static_cast<uint32_t>(FoldChar(static_cast<wchar_t>(value)));
  }
};

// The matcher for one character width. Pattern pieces are half-open ranges
// [begin, end) so alternatives can be matched inside the pattern in place;
// names are 0-terminated.
template <class Chars>
class TWildcard {
 public:
  using Char = typename Chars::Char;

  static bool Match(const Char* pattern, const Char* patternEnd, const Char* name) {
    while (pattern < patternEnd) {
      Char p = *pattern;
      if (p == '*') {
        while (pattern < patternEnd && *pattern == '*') ++pattern;
        if (pattern == patternEnd) return true;
        for (;; ++name) {
          if (Match(pattern, patternEnd, name)) return true;
          if (*name == 0) return false;
        }
      }
      if (p == '?') {
        if (*name == 0) return false;
        ++pattern;
        ++name;
        continue;
      }
      if (p == '[') {
        const Char* close = Find(pattern + 1, patternEnd, ']');
        if (close) {
          if (*name == 0 || !ClassMatches(pattern + 1, close, *name)) return false;
          pattern = close + 1;
          ++name;
          continue;
        }
      }
      if (p == '{') {
        const Char* close = Find(pattern + 1, patternEnd, '}');
        if (close && AlternativesMatch(pattern + 1, close, patternEnd, name)) return true;
      }
      // An ordinary character, or a '[' or '{' that opened nothing.
      if (*name == 0 || !Same(p, *name)) return false;
      ++pattern;
      ++name;
    }
    return *name == 0;
  }

 private:
  static const Char* Find(const Char* from, const Char* end, Char ch) {
    for (; from < end; ++from)
      if (*from == ch) return from;
    return nullptr;
  }

  static bool Same(Char a, Char b) {
    return Chars::Fold(Chars::Value(a)) == Chars::Fold(Chars::Value(b));
  }

  // Members lie in [members, close). Each member sets the verdict for the
  // characters it covers to the sense in force, so the last member covering
  // a character decides; characters no member covers match a negated class.
  static bool ClassMatches(const Char* members, const Char* close, Char nameChar) {
    uint32_t ch = Chars::Fold(Chars::Value(nameChar));
    bool negated = members < close && *members == '^';
    bool verdict = negated;
    if (negated) ++members;
    while (members < close) {
      if (*members == '^') {
        negated = !negated;
        ++members;
        continue;
      }
      uint32_t low = Chars::Fold(Chars::Value(*members));
      uint32_t high = low;
      if (members + 1 < close && members[1] == '-') {
        if (members + 2 == close) {
          high = 255;
          members += 2;
        } else {
          high = Chars::Fold(Chars::Value(members[2]));
          members += 3;
        }
      } else {
        ++members;
      }
      if (low <= ch && ch <= high) verdict = !negated;
    }
    return verdict;
  }

  // The alternatives lie in [list, close); the rest of the pattern follows close.
  static bool AlternativesMatch(const Char* list, const Char* close, const Char* patternEnd,
                                const Char* name) {
    for (const Char* begin = list;;) {
      const Char* end = Find(begin, close, ',');
      if (!end) end = close;
      const Char* rest = MatchAlternative(begin, end, name);
      if (rest && Match(close + 1, patternEnd, rest)) return true;
      if (end == close) return false;
      begin = end + 1;
    }
  }

  // Matches one alternative at the start of name; returns where the name
  // goes on, or null. '*' and '{' are ordinary characters here.
  static const Char* MatchAlternative(const Char* begin, const Char* end, const Char* name) {
    while (begin < end) {
      if (*name == 0) return nullptr;
      if (*begin == '?') {
        ++begin;
        ++name;
        continue;
      }
      if (*begin == '[') {
        if (const Char* close = Find(begin + 1, end, ']')) {
          if (!ClassMatches(begin + 1, close, *name)) return nullptr;
          begin = close + 1;
          ++name;
          continue;
        }
      }
      if (!Same(*begin, *name)) return nullptr;
      ++begin;
      ++name;
    }
    return name;
  }
};

template <class Char>
const Char* EndOf(const Char* text) {
  while (*text) ++text;
  return text;
}

}  // namespace

bool WildcardMatch(const char* pattern, const char* name) {
  if (!pattern) pattern = "";
  if (!name) name = "";
  return TWildcard<TNarrowChars>::Match(pattern, EndOf(pattern), name);
}

bool WildcardMatch(const wchar_t* pattern, const wchar_t* name) {
  if (!pattern) pattern = L"";
  if (!name) name = L"";
  return TWildcard<TWideChars>::Match(pattern, EndOf(pattern), name);
}

bool WildcardMatch(const Westring& pattern, const Westring& name) {
  return WildcardMatch(pattern.c_str(), name.c_str());
}
