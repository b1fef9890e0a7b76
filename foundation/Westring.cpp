#include "foundation/Westring.h"

#include <cwchar>
#include <cwctype>
#include <ostream>

#include "foundation/CaseFold.h"
#include "foundation/CodePage.h"
#include "foundation/Utf8.h"

namespace {

int WideLength(const wchar_t* text) { return text ? static_cast<int>(wcslen(text)) : 0; }

bool IsWideSpace(wchar_t ch) { return iswspace(static_cast<wint_t>(ch)) != 0; }

// Differences of folded characters can exceed int for values such as the
// 0xFFFFFFFF that stands for a decoded NUL; only the sign matters then.
int Difference(uint32_t a, uint32_t b) {
  int64_t d = static_cast<int64_t>(a) - static_cast<int64_t>(b);
  if (d > INT32_MAX) return INT32_MAX;
  if (d < INT32_MIN) return INT32_MIN;
  return static_cast<int>(d);
}

uint32_t Folded(wchar_t ch) { return static_cast<uint32_t>(FoldChar(ch)); }

}  // namespace

// --- Storage ---------------------------------------------------------------

Westring::Westring(const wchar_t* text) { Assign(text, WideLength(text)); }

Westring::Westring(const char* utf8) { DecodeUtf8(utf8, -1, this); }

Westring::Westring(int count, wchar_t ch) { m_s.Fill(count, ch); }

Westring::Westring(const Westring& other) { m_s.Assign(other.c_str(), other.Length()); }

Westring::Westring(Westring&& other) noexcept { m_s.TakeFrom(other.m_s); }

Westring::~Westring() = default;

Westring Westring::WithRoom(int n) {
  Westring result;
  if (n > InlineCapacity - 1) result.m_s.ReplaceBuffer(n + 1, 0);
  return result;
}


void Westring::MakeRoom(int n) { m_s.MakeRoom(n); }

void Westring::MakeRoomKeeping(int n) { m_s.MakeRoomKeeping(n); }

Westring& Westring::operator=(const wchar_t* text) {
  Assign(text, WideLength(text));
  return *this;
}

Westring& Westring::operator=(const char* utf8) {
  DecodeUtf8(utf8, -1, this);
  return *this;
}

Westring& Westring::operator=(const Westring& other) {
  if (this != &other) Assign(other.m_s.text, other.Length());
  return *this;
}

Westring& Westring::operator=(Westring&& other) noexcept {
  m_s.TakeFrom(other.m_s);
  return *this;
}

void Westring::Assign(const wchar_t* text, int count) { m_s.Assign(text, count); }

bool Westring::AssignUtf8(const char* utf8, int count) { return DecodeUtf8(utf8, count, this); }

Westring& Westring::operator+=(wchar_t ch) {
  m_s.AppendOne(ch);
  return *this;
}

Westring& Westring::operator+=(const wchar_t* text) {
  Append(text, WideLength(text));
  return *this;
}

Westring& Westring::operator+=(const Westring& other) {
  Append(other.m_s.text, other.Length());
  return *this;
}

void Westring::Append(const wchar_t* text, int count) { m_s.Append(text, count); }

int Westring::Length() const { return m_s.Length(); }

wchar_t& Westring::operator[](int index) { return m_s.Slot(index); }

wchar_t Westring::operator[](int index) const { return m_s.Slot(index); }

// --- Search ----------------------------------------------------------------

int Westring::Find(wchar_t ch) const {
  if (ch == 0) return -1;
  const wchar_t* hit = wcschr(m_s.text, ch);
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

int Westring::FindLast(wchar_t ch) const {
  if (ch == 0) return -1;
  const wchar_t* hit = wcsrchr(m_s.text, ch);
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

int Westring::FindNth(wchar_t ch, int k) const {
  if (ch == 0 || k < 1) return -1;
  for (int i = 0; m_s.text[i]; ++i)
    if (m_s.text[i] == ch && --k == 0) return i;
  return -1;
}

int Westring::FindSub(const Westring& sub) const { return FindSubFrom(sub, 0); }

int Westring::FindSubFrom(const Westring& sub, int start) const {
  if (start < 0) start = 0;
  if (start > Length()) return -1;
  const wchar_t* hit = wcsstr(m_s.text + start, sub.m_s.text);
  return hit ? static_cast<int>(hit - m_s.text) : -1;
}

int Westring::FindSubNoCase(const Westring& sub) const { return Lower().FindSub(sub.Lower()); }

int Westring::FindUnquoted(wchar_t ch) const {
  bool quoted = false;
  for (int i = 0; m_s.text[i]; ++i) {
    if (m_s.text[i] == L'"')
      quoted = !quoted;
    else if (!quoted && m_s.text[i] == ch)
      return i;
  }
  return -1;
}

// --- Parts -----------------------------------------------------------------

Westring Westring::Left(int n) const { return string_parts::Left(*this, n); }

Westring Westring::Right(int n) const { return string_parts::Right(*this, n); }

Westring Westring::Mid(int start, int count) const { return string_parts::Mid(*this, start, count); }

Westring Westring::AllButLast(int n) const { return string_parts::AllButLast(*this, n); }

Westring Westring::FitRight(int width, wchar_t fill) const {
  return string_parts::FitRight(*this, width, fill);
}

Westring Westring::FitLeft(int width, wchar_t fill) const {
  return string_parts::FitLeft(*this, width, fill);
}

Westring& Westring::TrimLeft() {
  m_s.TrimLeft(IsWideSpace);
  return *this;
}

Westring& Westring::TrimRight() {
  m_s.TrimRight(IsWideSpace);
  return *this;
}

Westring& Westring::Trim() { return TrimRight().TrimLeft(); }

Westring Westring::Lower() const {
  Westring result(*this);
  for (wchar_t* p = result.m_s.text; *p; ++p) *p = static_cast<wchar_t>(towlower(static_cast<wint_t>(*p)));
  return result;
}

Westring& Westring::FoldUpper() {
  for (wchar_t* p = m_s.text; *p; ++p) *p = FoldChar(*p);
  return *this;
}

bool Westring::Replace(const Westring& what, const Westring& with) {
  int at = what.IsEmpty() ? -1 : FindSub(what);
  if (at < 0) return false;
  Westring result = Left(at);
  result += with;
  result += m_s.text + at + what.Length();
  *this = std::move(result);
  return true;
}

bool Westring::ReplaceAll(const Westring& what, const Westring& with) {
  if (what.IsEmpty()) return false;
  int whatLength = what.Length();
  Westring result;
  int from = 0;
  bool found = false;
  for (int at; (at = FindSubFrom(what, from)) >= 0; from = at + whatLength) {
    result.Append(m_s.text + from, at - from);
    result += with;
    found = true;
  }
  if (!found) return false;
  result += m_s.text + from;
  *this = std::move(result);
  return true;
}

// --- Paths -----------------------------------------------------------------

int Westring::LastSeparator() const {
  for (int i = Length() - 1; i >= 0; --i)
    if (m_s.text[i] == L'/' || m_s.text[i] == L'\\') return i;
  return -1;
}

Westring Westring::DirPart() const {
  int separator = LastSeparator();
  if (separator < 0) return Westring();
  if (separator == 2 && m_s.text[1] == L':') return Left(3);
  return Left(separator);
}

Westring Westring::NamePart() const { return Westring(m_s.text + LastSeparator() + 1); }

Westring& Westring::RemoveTrailingSlash() {
  m_s.RemoveTrailingSlash();
  return *this;
}

Westring& Westring::AddTrailingSlash() {
  m_s.AddTrailingSlash();
  return *this;
}

// --- Comparison ------------------------------------------------------------

int Westring::Compare(const Westring& other) const { return wcscmp(m_s.text, other.m_s.text); }

bool Westring::EqualsNoCase(const wchar_t* text) const {
  return wcscasecmp(m_s.text, text ? text : L"") == 0;
}

int Westring::ComparePrefix(const wchar_t* text, int n) const {
  if (n <= 0) return 0;
  return wcsncmp(m_s.text, text ? text : L"", static_cast<size_t>(n));
}

bool Westring::StartsWith(const wchar_t* prefix) const {
  return ComparePrefix(prefix, WideLength(prefix)) == 0;
}

bool operator==(const Westring& a, const wchar_t* b) { return wcscmp(a.c_str(), b ? b : L"") == 0; }

Westring operator+(const Westring& a, const Westring& b) {
  Westring result = Westring::WithRoom(a.Length() + b.Length());
  result += a;
  result += b;
  return result;
}

Westring operator+(const Westring& a, const wchar_t* b) {
  Westring result(a);
  result += b;
  return result;
}

Westring operator+(const wchar_t* a, const Westring& b) {
  Westring result(a);
  result += b;
  return result;
}

int FoldCompare(const wchar_t* a, const wchar_t* b) { return FoldCompareN(a, b, INT32_MAX); }

int FoldCompareN(const wchar_t* a, const wchar_t* b, int n) {
  if (!a) a = L"";
  if (!b) b = L"";
  for (int i = 0; i < n; ++i) {
    uint32_t fa = a[i] ? Folded(a[i]) : 0;
    uint32_t fb = b[i] ? Folded(b[i]) : 0;
    if (fa != fb || fa == 0) return Difference(fa, fb);
  }
  return 0;
}

int NameSortCompare(const wchar_t* a, const wchar_t* b) {
  if (!a) a = L"";
  if (!b) b = L"";
  for (int i = 0;; ++i) {
    uint32_t fa = a[i] ? Folded(a[i]) : 0;
    uint32_t fb = b[i] ? Folded(b[i]) : 0;
    if (fa == fb && fa != 0) continue;
    if (fa == L'_') fa = 1;
    if (fb == L'_') fb = 1;
    return Difference(fa, fb);
  }
}

wchar_t LowerChar(wchar_t ch) {
  if (ch >= 0 && ch <= 127) return static_cast<wchar_t>(tolower(ch));
  return static_cast<wchar_t>(towlower(static_cast<wint_t>(ch)));
}

// --- Conversions -----------------------------------------------------------

Westring Westring::FromUtf8(const char* utf8, bool* valid) {
  Westring result;
  bool ok = DecodeUtf8(utf8, -1, &result);
  if (valid) *valid = ok;
  return result;
}

Westring Westring::FromLatin1(const Estring& bytes) {
  int length = bytes.Length();
  Westring result = WithRoom(length);
  for (int i = 0; i < length; ++i)
    result.m_s.text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes.c_str()[i]));
  result.m_s.text[length] = 0;
  return result;
}

Westring Westring::FromCodePage(const char* bytes, int codePage, bool* allMapped) {
  Westring result;
  bool ok = CodePageToWide(bytes, -1, codePage, &result);
  if (allMapped) *allMapped = ok;
  return result;
}

Westring Westring::FromCurrentCodePage(const char* bytes, bool* allMapped) {
  return FromCodePage(bytes, CurrentCodePage(), allMapped);
}

Estring Westring::ToUtf8() const {
  Estring result;
  EncodeUtf8(m_s.text, &result);
  return result;
}

Estring Westring::ToCodePage(int codePage) const { return WideToCodePage(m_s.text, codePage); }

Estring Westring::ToCurrentCodePage() const { return ToCodePage(CurrentCodePage()); }

void PrintTo(const Westring& text, std::ostream* out) { *out << '"' << text.ToUtf8().c_str() << '"'; }
