#pragma once
// Westring: the program's wide string of UTF-32 characters, used for every
// file name, path and displayed text. A 0-terminated buffer with room for 21
// characters inside the object, so short names cost no heap allocation; the
// capacity (signed 32-bit) counts the terminator; the length is not stored and
// is found by scanning. Copies are deep. A Westring is a plain value: one
// thread at a time per object.
#include <cstdint>
#include <iosfwd>

#include "foundation/StringStorage.h"

#include "foundation/Estring.h"

class Westring {
 public:
  /// Characters that fit inside the object, terminator included.
  static constexpr int InlineCapacity = 21;

  /// The empty string; no allocation.
  Westring() = default;
  /// A copy of a 0-terminated wide array; a null pointer gives the empty string.
  Westring(const wchar_t* text);  // NOLINT: literals convert implicitly on purpose
  /// 0-terminated UTF-8 decoded (invalid bytes are taken as Latin-1); a null
  /// pointer gives the empty string. This is how narrow literals become text.
  Westring(const char* utf8);  // NOLINT: literals convert implicitly on purpose
  /// count copies of one character; a count of 0 or less gives the empty string.
  Westring(int count, wchar_t ch);
  Westring(const Westring& other);
  /// Takes over a heap buffer; the source is left empty.
  Westring(Westring&& other) noexcept;
  ~Westring();

  /// An empty string with room for n characters (heap of exactly n+1 when n > 20).
  static Westring WithRoom(int n);
  /// Decodes 0-terminated UTF-8; *valid (when given) tells whether every byte
  /// was valid UTF-8. Null gives "" and valid.
  static Westring FromUtf8(const char* utf8, bool* valid = nullptr);
  /// Widens each byte to the code point of the same value (Latin-1, no decoding).
  static Westring FromLatin1(const Estring& bytes);
  /// Decodes 0-terminated text in a single-byte code page; *allMapped tells
  /// whether no byte had to be replaced by U+2302. An unknown code page gives
  /// "" and false.
  static Westring FromCodePage(const char* bytes, int codePage, bool* allMapped = nullptr);
  /// Decodes text in the current 8-bit text code page (CurrentCodePage()).
  static Westring FromCurrentCodePage(const char* bytes, bool* allMapped = nullptr);

  /// Copies a 0-terminated wide array; null gives "". The source may point
  /// into this string's own buffer.
  Westring& operator=(const wchar_t* text);
  /// Decodes UTF-8 as the constructor does.
  Westring& operator=(const char* utf8);
  Westring& operator=(const Westring& other);
  /// Takes over a heap buffer; the source is left empty.
  Westring& operator=(Westring&& other) noexcept;
  /// Copies count characters (clamped at 0) and terminates them.
  void Assign(const wchar_t* text, int count);
  /// Replaces the content by decoded UTF-8; returns whether every byte was
  /// valid. count < 0 means up to the 0 byte.
  bool AssignUtf8(const char* utf8, int count = -1);

  /// Appends one character; appending 0 changes nothing.
  Westring& operator+=(wchar_t ch);
  /// Appends a 0-terminated wide array; null appends nothing.
  Westring& operator+=(const wchar_t* text);
  Westring& operator+=(const Westring& other);
  /// Appends count characters (clamped at 0); the source may alias this string.
  void Append(const wchar_t* text, int count);

  /// The length in characters, found by scanning for the terminator.
  int Length() const;
  bool IsEmpty() const { return m_s.text[0] == 0; }
  /// The 0-terminated characters; valid until the string is next changed.
  const wchar_t* c_str() const { return m_s.text; }
  /// The writable buffer of Capacity() characters; the caller keeps a terminator in it.
  wchar_t* Data() { return m_s.text; }
  /// Characters the buffer holds, terminator included.
  int Capacity() const { return m_s.capacity; }

  /// Makes room for n characters, discarding the content: a buffer of
  /// capacity n or less is replaced by a heap buffer of exactly n+1. The text
  /// is left empty.
  void MakeRoom(int n);
  /// Makes room for n characters, keeping the content: a buffer of capacity n
  /// or less grows to n + n/4 + 1.
  void MakeRoomKeeping(int n);

  /// The character slot at index; an index outside 0..Capacity()-1 gives the
  /// last slot, so the access never leaves the buffer.
  wchar_t& operator[](int index);
  wchar_t operator[](int index) const;

  /// Index of the first occurrence of ch, or -1 (also for ch == 0).
  int Find(wchar_t ch) const;
  /// Index of the last occurrence of ch, or -1 (also for ch == 0).
  int FindLast(wchar_t ch) const;
  /// Index of the k-th occurrence of ch (k from 1), or -1; k < 1 gives -1.
  int FindNth(wchar_t ch, int k) const;
  /// Index of the first occurrence of sub, or -1; an empty sub is found at 0.
  int FindSub(const Westring& sub) const;
  /// Index of the first occurrence of sub at or after start (clamped at 0),
  /// or -1 when start lies past the end.
  int FindSubFrom(const Westring& sub, int start) const;
  /// FindSub after lower-casing both strings with towlower.
  int FindSubNoCase(const Westring& sub) const;
  /// Index of the first ch outside a double-quoted stretch, or -1; each '"'
  /// toggles the quoted state and is never a match itself.
  int FindUnquoted(wchar_t ch) const;

  /// The first n characters, n clamped to 0..Length().
  Westring Left(int n) const;
  /// The last n characters, n clamped to 0..Length().
  Westring Right(int n) const;
  /// count characters from start (clamped to 0..Length()); a count of 0 or
  /// less, or one running past the end, takes everything to the end.
  Westring Mid(int start, int count = 0) const;
  /// All but the last n characters, n clamped to 0..Length().
  Westring AllButLast(int n) const;
  /// Exactly width characters: the text at the right end of fill characters;
  /// a longer text keeps its last width characters. Width <= 0 gives "".
  Westring FitRight(int width, wchar_t fill = L' ') const;
  /// Exactly width characters: the text at the left, padded with fill; a
  /// longer text keeps its first width characters. Width <= 0 gives "".
  Westring FitLeft(int width, wchar_t fill = L' ') const;

  /// Removes leading white space (iswspace) in place.
  Westring& TrimLeft();
  /// Removes trailing white space (iswspace) in place.
  Westring& TrimRight();
  /// Removes leading and trailing white space in place.
  Westring& Trim();
  /// A copy with every character passed through towlower.
  Westring Lower() const;
  /// Upper-cases in place through the CaseFoldTable; characters above U+FFFF stay.
  Westring& FoldUpper();

  /// Replaces the first occurrence of what by with; false when there is none
  /// (or what is empty).
  bool Replace(const Westring& what, const Westring& with);
  /// Replaces every occurrence, resuming after the inserted text (so a with
  /// containing what is not replaced again); false when there was none.
  bool ReplaceAll(const Westring& what, const Westring& with);

  /// Index of the last '/' or '\', or -1.
  int LastSeparator() const;
  /// Everything before the last separator; the separator is kept for a drive
  /// root ("C:/x" gives "C:/"); no separator gives "".
  Westring DirPart() const;
  /// Everything after the last separator; the whole string when there is none.
  Westring NamePart() const;
  /// Removes one trailing '/', except from a string of at most 3 characters
  /// whose second character is '/' (so "//" stays); "/" becomes "".
  Westring& RemoveTrailingSlash();
  /// Adds a trailing '/' to a non-empty string that does not end with one.
  Westring& AddTrailingSlash();

  /// wcscmp against other.
  int Compare(const Westring& other) const;
  /// wcscasecmp against text (null counts as "").
  bool EqualsNoCase(const wchar_t* text) const;
  bool EqualsNoCase(const Westring& other) const { return EqualsNoCase(other.c_str()); }
  /// wcsncmp of the first n characters (n <= 0 gives 0).
  int ComparePrefix(const wchar_t* text, int n) const;
  /// True when the string starts with prefix (exact).
  bool StartsWith(const wchar_t* prefix) const;

  /// The text encoded as UTF-8.
  Estring ToUtf8() const;
  /// The text in a single-byte code page; conversion stops at the first
  /// character the code page cannot represent; an unknown code page gives "".
  Estring ToCodePage(int codePage) const;
  /// The text in the current 8-bit text code page (CurrentCodePage()).
  Estring ToCurrentCodePage() const;

 private:
  TStringStorage<wchar_t> m_s;
};

bool operator==(const Westring& a, const wchar_t* b);
inline bool operator==(const Westring& a, const Westring& b) { return a == b.c_str(); }
inline bool operator!=(const Westring& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const Westring& a, const Westring& b) { return !(a == b.c_str()); }
inline bool operator<(const Westring& a, const Westring& b) { return a.Compare(b) < 0; }

Westring operator+(const Westring& a, const Westring& b);
Westring operator+(const Westring& a, const wchar_t* b);
Westring operator+(const wchar_t* a, const Westring& b);

/// Case-insensitive ordering through the CaseFoldTable: the difference of the
/// first folded characters that differ (a string's end counts as 0).
int FoldCompare(const wchar_t* a, const wchar_t* b);
/// FoldCompare over at most n characters; n <= 0 gives 0.
int FoldCompareN(const wchar_t* a, const wchar_t* b, int n);
/// FoldCompare in which a folded '_' at the deciding position counts as 1, so
/// names with an underscore there sort first. Whole code points are compared.
int NameSortCompare(const wchar_t* a, const wchar_t* b);
inline int FoldCompare(const Westring& a, const Westring& b) { return FoldCompare(a.c_str(), b.c_str()); }
inline int FoldCompareN(const Westring& a, const Westring& b, int n) {
  return FoldCompareN(a.c_str(), b.c_str(), n);
}
inline int NameSortCompare(const Westring& a, const Westring& b) {
  return NameSortCompare(a.c_str(), b.c_str());
}
/// One character lower-cased: up to 127 through tolower, others through towlower.
wchar_t LowerChar(wchar_t ch);

/// Prints the text as UTF-8 in quotes (used by test failure messages).
void PrintTo(const Westring& text, std::ostream* out);
