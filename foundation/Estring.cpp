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

using string_parts::Clamp;

bool IsSpace(char ch) { return isspace(static_cast<unsigned char>(ch)) != 0; }

}  // namespace

// --- Storage ---------------------------------------------------------------

Estring::Estring(const char* text) { Assign(text, ByteLength(text)); }

Estring::Estring(int count, char ch) { m_s.Fill(count, ch); }

Estring::Estring(const Estring& other) { m_s.Assign(other.c_str(), other.Length()); }

Estring::Estring(Estring&& other) noexcept { m_s.TakeFrom(other.m_s); }

Estring::~Estring() = default;

Estring Estring::WithRoom(int n) {
  Estring result;
  if (n > InlineCapacity - 1) result.m_s.ReplaceBuffer(n + 1, 0);
  return result;
}

Estring Estring::FromLowBytes(const Westring& text) {
  int length = text.Length();
  Estring result = WithRoom(length);
  for (int i = 0; i < length; ++i) result.m_s.text[i] = static_cast<char>(text.c_str()[i] & 0xFF);
  result.m_s.text[length] = 0;
  return result;
}


void Estring::MakeRoom(int n) { m_s.MakeRoom(n); }

void Estring::MakeRoomKeeping(int n) { m_s.MakeRoomKeeping(n); }

Estring& Estring::operator=(const char* text) {
  Assign(text, ByteLength(text));
  return *this;
}

Estring& Estring::operator=(const Estring& other) {
  if (this != &other) Assign(other.m_s.text, other.Length());
  return *this;
}

Estring& Estring::operator=(Estring&& other) noexcept {
  m_s.TakeFrom(other.m_s);
  return *this;
}

void Estring::Assign(const char* bytes, int count) { m_s.Assign(bytes, count); }

Estring& Estring::operator+=(char ch) {
  m_s.AppendOne(ch);
  return *this;
}

Estring& Estring::operator+=(const char* text) {
  Append(text, ByteLength(text));
  return *this;
}

Estring& Estring::operator+=(const Estring& other) {
  Append(other.m_s.text, other.Length());
  return *this;
}

void Estring::Append(const char* bytes, int count) { m_s.Append(bytes, count); }

int Estring::Length() const { return m_s.Length(); }

char& Estring::operator[](int index) { return m_s.Slot(index); }

char Estring::operator[](int index) const { return m_s.Slot(index); }

// --- Search and parts --------------------------------------------------------

int Estring::Find(char ch) const {
  if (ch == 0) return -1;
  const char* hit = strchr(m_s.text, ch);
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

int Estring::FindLast(char ch) const {
  if (ch == 0) return -1;
  const char* hit = strrchr(m_s.text, ch);
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

int Estring::FindSub(const char* sub, int start) const {
  if (start < 0) start = 0;
  if (start > Length()) return -1;
  const char* hit = strstr(m_s.text + start, sub ? sub : "");
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

Estring Estring::Left(int n) const { return string_parts::Left(*this, n); }

Estring Estring::Right(int n) const { return string_parts::Right(*this, n); }

Estring Estring::Mid(int start, int count) const { return string_parts::Mid(*this, start, count); }

Estring Estring::AllButLast(int n) const { return string_parts::AllButLast(*this, n); }

Estring Estring::FitRight(int width, char fill) const {
  return string_parts::FitRight(*this, width, fill);
}

Estring Estring::FitLeft(int width, char fill) const {
  return string_parts::FitLeft(*this, width, fill);
}

Estring& Estring::TrimLeft() {
  m_s.TrimLeft(IsSpace);
  return *this;
}

Estring& Estring::TrimRight() {
  m_s.TrimRight(IsSpace);
  return *this;
}

Estring& Estring::Trim() { return TrimRight().TrimLeft(); }

// --- Comparison and paths ----------------------------------------------------

bool Estring::Equals(const char* text) const { return strcmp(m_s.text, text ? text : "") == 0; }

int Estring::CompareNoCase(const char* text) const { return strcasecmp(m_s.text, text ? text : ""); }

Estring& Estring::RemoveTrailingSlash() {
  m_s.RemoveTrailingSlash();
  return *this;
}

Estring& Estring::AddTrailingSlash() {
  m_s.AddTrailingSlash();
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
  for (const char* p = m_s.text; *p; ++p) {
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
