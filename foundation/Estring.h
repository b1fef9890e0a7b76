#pragma once
// Estring: the program's 8-bit string (UTF-8 or single-byte code-page text).
// Same layout as Westring: a 0-terminated buffer, 21 bytes inline, a signed
// 32-bit capacity that counts the terminator, and no stored length. Copies are
// deep. An Estring is a plain value: one thread at a time per object.
#include <cstdint>
#include <iosfwd>

#include "foundation/StringStorage.h"

class Westring;

class Estring {
 public:
  /// Bytes that fit inside the object, terminator included.
  static constexpr int InlineCapacity = 21;

  /// The empty string; no allocation.
  Estring() = default;
  /// A copy of a 0-terminated byte array; a null pointer gives the empty string.
  Estring(const char* text);  // NOLINT: literals convert implicitly on purpose
  /// count copies of one byte; a count of 0 or less gives the empty string.
  Estring(int count, char ch);
  Estring(const Estring& other);
  /// Takes over a heap buffer; the source is left empty.
  Estring(Estring&& other) noexcept;
  ~Estring();

  /// An empty string with room for n bytes (heap of exactly n+1 when n > 20).
  static Estring WithRoom(int n);
  /// The low byte of every character of wide text (no encoding; for text
  /// known to be Latin-1 or ASCII).
  static Estring FromLowBytes(const Westring& text);

  /// Copies a 0-terminated byte array; null gives the empty string. The source
  /// may point into this string's own buffer.
  Estring& operator=(const char* text);
  Estring& operator=(const Estring& other);
  /// Takes over a heap buffer; the source is left empty.
  Estring& operator=(Estring&& other) noexcept;
  /// Copies count bytes (clamped at 0) and terminates them; the bytes may
  /// contain 0, which then ends the text early.
  void Assign(const char* bytes, int count);

  /// Appends one byte; appending 0 changes nothing.
  Estring& operator+=(char ch);
  /// Appends a 0-terminated byte array; null appends nothing.
  Estring& operator+=(const char* text);
  Estring& operator+=(const Estring& other);
  /// Appends count bytes (clamped at 0) of bytes; may alias this string.
  void Append(const char* bytes, int count);

  /// The length in bytes, found by scanning for the terminator.
  int Length() const;
  bool IsEmpty() const { return m_s.text[0] == 0; }
  /// The 0-terminated bytes; valid until the string is next changed.
  const char* c_str() const { return m_s.text; }
  /// The writable buffer of Capacity() bytes; the caller keeps a terminator in it.
  char* Data() { return m_s.text; }
  /// Bytes the buffer holds, terminator included.
  int Capacity() const { return m_s.capacity; }

  /// Makes room for n bytes, discarding the content: a buffer of capacity n
  /// or less is replaced by a heap buffer of exactly n+1. The text is left empty.
  void MakeRoom(int n);
  /// Makes room for n bytes, keeping the content: a buffer of capacity n or
  /// less grows to n + n/4 + 1.
  void MakeRoomKeeping(int n);

  /// The byte slot at index; an index outside 0..Capacity()-1 gives the last
  /// slot, so the access never leaves the buffer.
  char& operator[](int index);
  char operator[](int index) const;

  /// Index of the first occurrence of ch, or -1 (also for ch == 0).
  int Find(char ch) const;
  /// Index of the last occurrence of ch, or -1 (also for ch == 0).
  int FindLast(char ch) const;
  /// Index of the first occurrence of sub at or after start (clamped at 0),
  /// or -1; an empty sub is found at start when start is within the text.
  int FindSub(const char* sub, int start = 0) const;

  /// The first n bytes, n clamped to 0..Length().
  Estring Left(int n) const;
  /// The last n bytes, n clamped to 0..Length().
  Estring Right(int n) const;
  /// count bytes from start (clamped to 0..Length()); a count of 0 or less, or
  /// one running past the end, takes everything to the end.
  Estring Mid(int start, int count = 0) const;
  /// All but the last n bytes, n clamped to 0..Length().
  Estring AllButLast(int n) const;
  /// Exactly width bytes: the text at the right end of fill bytes; a longer
  /// text keeps its last width bytes. A width of 0 or less gives "".
  Estring FitRight(int width, char fill = ' ') const;
  /// Exactly width bytes: the text at the left, padded with fill; a longer
  /// text keeps its first width bytes. A width of 0 or less gives "".
  Estring FitLeft(int width, char fill = ' ') const;

  /// Removes leading white space (isspace) in place.
  Estring& TrimLeft();
  /// Removes trailing white space (isspace) in place.
  Estring& TrimRight();
  /// Removes leading and trailing white space in place.
  Estring& Trim();

  /// Exact byte comparison (the operators below ignore case).
  bool Equals(const char* text) const;
  /// strcasecmp against text (null counts as the empty string).
  int CompareNoCase(const char* text) const;
  bool EqualsNoCase(const char* text) const { return CompareNoCase(text) == 0; }

  /// Removes one trailing '/', except from a string of at most 3 bytes whose
  /// second byte is '/' (so "//" stays); "/" becomes "".
  Estring& RemoveTrailingSlash();
  /// Adds a trailing '/' to a non-empty string that does not end with one.
  Estring& AddTrailingSlash();

  /// A copy in which each tab at column c (from 0) of the result becomes
  /// (tabWidth - c % tabWidth) - 1 spaces; a width below 1 counts as 1.
  Estring ExpandTabs(int tabWidth) const;

  /// value as decimal ("%ld").
  static Estring FromInt(long value);
  /// value in base (clamped to 2..36) with digits 0-9 then A-Z, and a leading
  /// '-' for negative values.
  static Estring FromInt64(int64_t value, int base);
  /// printf-style text; the result is cut at 1023 bytes.
  static Estring Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
  /// strerror(err) with trailing white space removed.
  static Estring ErrorText(int err);

 private:
  TStringStorage<char> m_s;
};

// All comparison operators ignore case (strcasecmp), as configuration keys,
// extensions and archive names are compared throughout the program. Use
// Equals for an exact comparison.
inline bool operator==(const Estring& a, const char* b) { return a.CompareNoCase(b) == 0; }
inline bool operator!=(const Estring& a, const char* b) { return a.CompareNoCase(b) != 0; }
inline bool operator<(const Estring& a, const char* b) { return a.CompareNoCase(b) < 0; }
inline bool operator<=(const Estring& a, const char* b) { return a.CompareNoCase(b) <= 0; }
inline bool operator>(const Estring& a, const char* b) { return a.CompareNoCase(b) > 0; }
inline bool operator>=(const Estring& a, const char* b) { return a.CompareNoCase(b) >= 0; }
inline bool operator==(const Estring& a, const Estring& b) { return a == b.c_str(); }
inline bool operator!=(const Estring& a, const Estring& b) { return a != b.c_str(); }
inline bool operator<(const Estring& a, const Estring& b) { return a < b.c_str(); }
inline bool operator<=(const Estring& a, const Estring& b) { return a <= b.c_str(); }
inline bool operator>(const Estring& a, const Estring& b) { return a > b.c_str(); }
inline bool operator>=(const Estring& a, const Estring& b) { return a >= b.c_str(); }

Estring operator+(const Estring& a, const Estring& b);
Estring operator+(const Estring& a, const char* b);
Estring operator+(const char* a, const Estring& b);

/// Prints the bytes in quotes (used by test failure messages).
void PrintTo(const Estring& text, std::ostream* out);
