#include "foundation/Estring.h"

#include <strings.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "foundation/Westring.h"

namespace {

int ByteLength(const char* text) { return text ? static_cast<int>(strlen(text)) : 0; }

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

bool IsSpace(char ch) { return isspace(static_cast<unsigned char>(ch)) != 0; }

}  // namespace

// --- Storage ---------------------------------------------------------------

Estring::Estring(const char* text) { Assign(text, ByteLength(text)); }

Estring::Estring(int count, char ch) {
  if (count <= 0) return;
  MakeRoom(count);
  memset(m_text, ch, static_cast<size_t>(count));
  m_text[count] = 0;
}

Estring::Estring(const Estring& other) { Assign(other.m_text, other.Length()); }

Estring::Estring(Estring&& other) noexcept {
  if (other.OnHeap()) {
    m_text = other.m_text;
    m_capacity = other.m_capacity;
    other.m_text = other.m_inline;
    other.m_capacity = InlineCapacity;
  } else {
    memcpy(m_inline, other.m_inline, InlineCapacity);
  }
  other.m_inline[0] = 0;
}

Estring::~Estring() {
  if (OnHeap()) delete[] m_text;
}

Estring Estring::WithRoom(int n) {
  Estring result;
  if (n > InlineCapacity - 1) result.ReplaceBuffer(n + 1, 0);
  return result;
}

Estring Estring::FromLowBytes(const Westring& text) {
  int length = text.Length();
  Estring result = WithRoom(length);
  for (int i = 0; i < length; ++i) result.m_text[i] = static_cast<char>(text.c_str()[i] & 0xFF);
  result.m_text[length] = 0;
  return result;
}

void Estring::ReplaceBuffer(int capacity, int keep) {
  auto* buffer = new char[capacity];
  if (keep > 0) memcpy(buffer, m_text, static_cast<size_t>(keep));
  buffer[keep < capacity ? keep : capacity - 1] = 0;
  if (OnHeap()) delete[] m_text;
  m_text = buffer;
  m_capacity = capacity;
}

void Estring::MakeRoom(int n) {
  if (m_capacity <= n) ReplaceBuffer(n + 1, 0);
  m_text[0] = 0;
}

void Estring::MakeRoomKeeping(int n) {
  if (m_capacity <= n) ReplaceBuffer(n + n / 4 + 1, m_capacity);
}

Estring& Estring::operator=(const char* text) {
  Assign(text, ByteLength(text));
  return *this;
}

Estring& Estring::operator=(const Estring& other) {
  if (this != &other) Assign(other.m_text, other.Length());
  return *this;
}

Estring& Estring::operator=(Estring&& other) noexcept {
  if (this == &other) return *this;
  if (!other.OnHeap()) {
    Assign(other.m_text, other.Length());
    other.m_inline[0] = 0;
    return *this;
  }
  if (OnHeap()) delete[] m_text;
  m_text = other.m_text;
  m_capacity = other.m_capacity;
  other.m_text = other.m_inline;
  other.m_capacity = InlineCapacity;
  other.m_inline[0] = 0;
  return *this;
}

void Estring::Assign(const char* bytes, int count) {
  if (!bytes || count < 0) count = 0;
  if (m_capacity > count) {
    // memmove: the source may be a part of this very buffer.
    if (count > 0) memmove(m_text, bytes, static_cast<size_t>(count));
  } else {
    auto* buffer = new char[count + 1];
    memcpy(buffer, bytes, static_cast<size_t>(count));
    if (OnHeap()) delete[] m_text;
    m_text = buffer;
    m_capacity = count + 1;
  }
  m_text[count] = 0;
}

Estring& Estring::operator+=(char ch) {
  if (ch == 0) return *this;
  int length = Length();
  MakeRoomKeeping(length + 1);
  m_text[length] = ch;
  m_text[length + 1] = 0;
  return *this;
}

Estring& Estring::operator+=(const char* text) {
  Append(text, ByteLength(text));
  return *this;
}

Estring& Estring::operator+=(const Estring& other) {
  Append(other.m_text, other.Length());
  return *this;
}

void Estring::Append(const char* bytes, int count) {
  if (!bytes || count <= 0) return;
  // Growing releases the old buffer, so a source inside it is found again by offset.
  bool aliased = bytes >= m_text && bytes < m_text + m_capacity;
  ptrdiff_t offset = bytes - m_text;
  int length = Length();
  MakeRoomKeeping(length + count);
  if (aliased) bytes = m_text + offset;
  memmove(m_text + length, bytes, static_cast<size_t>(count));
  m_text[length + count] = 0;
}

int Estring::Length() const { return static_cast<int>(strlen(m_text)); }

char& Estring::operator[](int index) {
  return index >= 0 && index < m_capacity ? m_text[index] : m_text[m_capacity - 1];
}

char Estring::operator[](int index) const {
  return index >= 0 && index < m_capacity ? m_text[index] : m_text[m_capacity - 1];
}

// --- Search and parts --------------------------------------------------------

int Estring::Find(char ch) const {
  if (ch == 0) return -1;
  const char* hit = strchr(m_text, ch);
  return hit ? static_cast<int>(hit - m_text) : -1;
}

int Estring::FindLast(char ch) const {
  if (ch == 0) return -1;
  const char* hit = strrchr(m_text, ch);
  return hit ? static_cast<int>(hit - m_text) : -1;
}

int Estring::FindSub(const char* sub, int start) const {
  if (start < 0) start = 0;
  if (start > Length()) return -1;
  const char* hit = strstr(m_text + start, sub ? sub : "");
  return hit ? static_cast<int>(hit - m_text) : -1;
}

Estring Estring::Left(int n) const {
  Estring result;
  result.Assign(m_text, Clamp(n, 0, Length()));
  return result;
}

Estring Estring::Right(int n) const {
  int length = Length();
  return Estring(m_text + length - Clamp(n, 0, length));
}

Estring Estring::Mid(int start, int count) const {
  int length = Length();
  start = Clamp(start, 0, length);
  if (count <= 0 || count > length - start) count = length - start;
  Estring result;
  result.Assign(m_text + start, count);
  return result;
}

Estring Estring::AllButLast(int n) const {
  int length = Length();
  return Left(length - Clamp(n, 0, length));
}

Estring Estring::FitRight(int width, char fill) const {
  if (width <= 0) return Estring();
  int length = Length();
  if (length >= width) return Estring(m_text + length - width);
  Estring result(width - length, fill);
  result.Append(m_text, length);
  return result;
}

Estring Estring::FitLeft(int width, char fill) const {
  if (width <= 0) return Estring();
  int length = Length();
  if (length >= width) return Left(width);
  Estring result = WithRoom(width);
  result.Assign(m_text, length);
  memset(result.m_text + length, fill, static_cast<size_t>(width - length));
  result.m_text[width] = 0;
  return result;
}

Estring& Estring::TrimLeft() {
  int skip = 0;
  while (m_text[skip] && IsSpace(m_text[skip])) ++skip;
  if (skip > 0) memmove(m_text, m_text + skip, static_cast<size_t>(Length() - skip + 1));
  return *this;
}

Estring& Estring::TrimRight() {
  int length = Length();
  while (length > 0 && IsSpace(m_text[length - 1])) --length;
  m_text[length] = 0;
  return *this;
}

Estring& Estring::Trim() { return TrimRight().TrimLeft(); }

// --- Comparison and paths ----------------------------------------------------

bool Estring::Equals(const char* text) const { return strcmp(m_text, text ? text : "") == 0; }

int Estring::CompareNoCase(const char* text) const { return strcasecmp(m_text, text ? text : ""); }

Estring& Estring::RemoveTrailingSlash() {
  int length = Length();
  if (length == 0 || m_text[length - 1] != '/') return *this;
  if (length <= 3 && m_text[1] == '/') return *this;
  m_text[length - 1] = 0;
  return *this;
}

Estring& Estring::AddTrailingSlash() {
  int length = Length();
  if (length > 0 && m_text[length - 1] != '/') *this += '/';
  return *this;
}

Estring operator+(const Estring& a, const Estring& b) {
  Estring result = Estring::WithRoom(a.Length() + b.Length());
  result += a;
  result += b;
  return result;
}

Estring operator+(const Estring& a, const char* b) {
  Estring result(a);
  result += b;
  return result;
}

Estring operator+(const char* a, const Estring& b) {
  Estring result(a);
  result += b;
  return result;
}

// --- Formatting --------------------------------------------------------------

Estring Estring::ExpandTabs(int tabWidth) const {
  if (tabWidth < 1) tabWidth = 1;
  Estring result = WithRoom(Length());
  int column = 0;
  for (const char* p = m_text; *p; ++p) {
    if (*p != '\t') {
      result += *p;
      ++column;
      continue;
    }
    // One fewer than the distance to the next tab stop, as the help text expects.
    for (int spaces = tabWidth - column % tabWidth - 1; spaces > 0; --spaces, ++column) result += ' ';
  }
  return result;
}

Estring Estring::FromInt(long value) { return Format("%ld", value); }

Estring Estring::FromInt64(int64_t value, int base) {
  base = Clamp(base, 2, 36);
  // Work on the magnitude as unsigned so INT64_MIN needs no special case.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[66];
  int at = sizeof digits - 1;
  digits[at] = 0;
  do {
    unsigned digit = static_cast<unsigned>(magnitude % static_cast<uint64_t>(base));
    digits[--at] = static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    magnitude /= static_cast<uint64_t>(base);
  } while (magnitude);
  if (value < 0) digits[--at] = '-';
  return Estring(digits + at);
}

Estring Estring::Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int written = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (written < 0) buffer[0] = 0;
  return Estring(buffer);
}

Estring Estring::ErrorText(int err) {
  // The GNU strerror_r returns the text, which may be a static string rather than buffer.
  char buffer[256];
  Estring text(strerror_r(err, buffer, sizeof buffer));
  return text.TrimRight();
}

void PrintTo(const Estring& text, std::ostream* out) { *out << '"' << text.c_str() << '"'; }
