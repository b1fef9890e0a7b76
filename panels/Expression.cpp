#include "panels/Expression.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <limits>

#include "config/LocaleConventions.h"
#include "foundation/SysCalls.h"
#include "foundation/Westring.h"
#include "foundation/Wildcard.h"
#include "panels/Entry.h"

namespace {

// Each "!" and "(" nests one level deeper; beyond this the text is refused
// as a syntax error rather than risking the stack.
constexpr int kMaxDepth = 64;

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

enum class CompareOp { Equal, Less, Greater, NotEqual, LessEqual, GreaterEqual };

enum class Attribute { Size, Date, Age, Attrib, Owner, Group, Perm };

struct TAttributeName {
  const char* word;
  Attribute attribute;
};

const TAttributeName kAttributeNames[] = {
    {"size", Attribute::Size},     {"date", Attribute::Date},   {"age", Attribute::Age},
    {"attrib", Attribute::Attrib}, {"owner", Attribute::Owner}, {"group", Attribute::Group},
    {"perm", Attribute::Perm},
};

// A unit letter and the factor it multiplies the number by.
struct TUnit {
  wchar_t letter;
  int64_t factor;
};

const TUnit kSizeUnits[] = {{L'k', 1024}, {L'm', 1048576}, {L'g', 1073741824}};
const TUnit kAgeUnits[] = {{L'd', 86400}, {L'h', 3600}, {L'm', 60}};

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }
bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

// The locale's date separator: the first character of the date format that
// is neither a letter, a digit nor '%'.
wchar_t DateSeparator() {
  for (const char* p = g_dateFormat.c_str(); *p; ++p) {
    const unsigned char ch = static_cast<unsigned char>(*p);
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter && !(ch >= '0' && ch <= '9') && ch != '%') return static_cast<wchar_t>(ch);
  }
  return L'/';
}

bool Compare(int64_t left, CompareOp op, int64_t right) {
  switch (op) {
    case CompareOp::Equal:
      return left == right;
    case CompareOp::Less:
      return left < right;
    case CompareOp::Greater:
      return left > right;
    case CompareOp::NotEqual:
      return left != right;
    case CompareOp::LessEqual:
      return left <= right;
    case CompareOp::GreaterEqual:
      return left >= right;
  }
  return false;
}

// Appends one decimal digit, saturating instead of overflowing.
int64_t AddDigit(int64_t number, wchar_t digit) {
  const int64_t value = digit - L'0';
  if (number > (kInt64Max - value) / 10) return kInt64Max;
  return number * 10 + value;
}

// A decimal number whose last character may be one of the unit letters
// (either case). False when the text is anything else.
template <size_t N>
bool ParseScaled(const Westring& text, const TUnit (&units)[N], int64_t* out) {
  int length = text.Length();
  int64_t factor = 1;
  const wchar_t last = static_cast<wchar_t>(towlower(static_cast<wint_t>(text[length - 1])));
  for (const TUnit& unit : units) {
    if (last == unit.letter) {
      factor = unit.factor;
      --length;
      break;
    }
  }
  if (length == 0) return false;
  int64_t number = 0;
  for (int i = 0; i < length; ++i) {
    if (!IsDigit(text[i])) return false;
    number = AddDigit(number, text[i]);
  }
  *out = number > kInt64Max / factor ? kInt64Max : number * factor;
  return true;
}

// Local midnight of the day that contains the time.
int64_t LocalMidnight(int64_t seconds) {
  const time_t when = static_cast<time_t>(seconds);
  struct tm local = {};
  if (!localtime_r(&when, &local)) return seconds;
  local.tm_hour = local.tm_min = local.tm_sec = 0;
  local.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&local));
}

// Three numbers separated by the date separator, in the locale's order, as
// local midnight of that day. False for any other text or an impossible
// month or day.
bool ParseDate(const Westring& text, wchar_t separator, int64_t* out) {
  constexpr int kMaxDigits = 9;  // keeps every number inside an int
  int numbers[3] = {};
  int count = 0, digits = 0;
  for (int i = 0;; ++i) {
    const wchar_t ch = text[i];
    if (ch == 0 || ch == separator) {
      if (digits == 0 || count == 3) return false;
      ++count;
      digits = 0;
      if (ch == 0) break;
      continue;
    }
    if (count == 3 || !IsDigit(ch) || ++digits > kMaxDigits) return false;
    numbers[count] = numbers[count] * 10 + (ch - L'0');
  }
  if (count != 3) return false;
  int day, month, year;
  switch (g_dateOrder) {
    case 0:
      month = numbers[0], day = numbers[1], year = numbers[2];
      break;
    case 1:
      day = numbers[0], month = numbers[1], year = numbers[2];
      break;
    default:
      year = numbers[0], month = numbers[1], day = numbers[2];
      break;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (year < 100) year += year < 71 ? 2000 : 1900;
  struct tm local = {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_isdst = -1;
  *out = static_cast<int64_t>(mktime(&local));
  return true;
}

// The bits of the letters that name them (either case); other characters
// add nothing.
int LetterBits(const Westring& text, const char* letters, const int* bits) {
  int mask = 0;
  for (int i = 0; text[i]; ++i) {
    const wint_t ch = towlower(static_cast<wint_t>(text[i]));
    for (int k = 0; letters[k]; ++k)
      if (ch == static_cast<wint_t>(letters[k])) mask |= bits[k];
  }
  return mask;
}

// A user or group id as the entry keeps it (low 16 bits); the database's
// failure value -1 stays as it is, so an unknown name matches nothing.
int64_t StoredId(int64_t id) { return id < 0 ? id : (id & 0xFFFF); }

// One evaluation: a recursive descent over the text that computes the truth
// value while it checks the grammar. Borrows the text, the entry and the name.
class CExpressionEvaluator {
 public:
  CExpressionEvaluator(const wchar_t* text, const entry& fields, const wchar_t* name)
      : m_p(text ? text : L""),
        m_fields(fields),
        m_name(name ? name : L""),
        m_now(static_cast<int64_t>(time(nullptr))),
        m_separator(DateSeparator()) {}

  int Evaluate() {
    const bool value = Expression(0);
    SkipBlanks();
    if (*m_p) m_error = true;  // text left over after a complete expression
    return m_error ? -1 : value ? 1 : 0;
  }

 private:
  void SkipBlanks() {
    while (IsBlank(*m_p)) ++m_p;
  }
  bool Fail() {
    m_error = true;
    return false;
  }

  // term { "|" term }: every term is evaluated.
  bool Expression(int depth) {
    bool value = Term(depth);
    while (!m_error) {
      SkipBlanks();
      if (*m_p != L'|') break;
      ++m_p;
      const bool right = Term(depth);
      value = value || right;
    }
    return value;
  }

  // factor { "&" factor }: every factor is evaluated.
  bool Term(int depth) {
    bool value = Factor(depth);
    while (!m_error) {
      SkipBlanks();
      if (*m_p != L'&') break;
      ++m_p;
      const bool right = Factor(depth);
      value = value && right;
    }
    return value;
  }

  bool Factor(int depth) {
    if (depth > kMaxDepth) return Fail();
    SkipBlanks();
    switch (*m_p) {
      case L'!':
        ++m_p;
        return !Factor(depth + 1);
      case L'(': {
        ++m_p;
        const bool value = Expression(depth + 1);
        if (m_error) return false;
        SkipBlanks();
        if (*m_p != L')') return Fail();
        ++m_p;
        return value;
      }
      case L'%':
        ++m_p;
        return AttributeTest();
      default:
        return NamePattern();
    }
  }

  // Up to the next "|", "&" or ")" outside double quotes; the quotes go and
  // protect what they enclose, unprotected trailing blanks go too.
  bool NamePattern() {
    Westring pattern;
    int length = 0, kept = 0;
    bool quoted = false;
    for (; *m_p; ++m_p) {
      const wchar_t ch = *m_p;
      if (ch == L'"') {
        quoted = !quoted;
        continue;
      }
      if (!quoted && (ch == L'|' || ch == L'&' || ch == L')')) break;
      pattern += ch;
      ++length;
      if (quoted || !IsBlank(ch)) kept = length;
    }
    if (kept == 0) return Fail();
    if (kept < length) pattern = pattern.Left(kept);
    return WildcardMatch(pattern.c_str(), m_name);
  }

  // "%" word, operator, value; the "%" is already taken.
  bool AttributeTest() {
    char word[8] = {};
    int wordLength = 0;
    bool tooLong = false;
    for (; iswalpha(static_cast<wint_t>(*m_p)); ++m_p) {
      if (wordLength + 1 >= static_cast<int>(sizeof word) || *m_p > 0x7F) {
        tooLong = true;
        continue;
      }
      word[wordLength++] = static_cast<char>(towlower(static_cast<wint_t>(*m_p)));
    }
    const TAttributeName* found = nullptr;
    for (const TAttributeName& name : kAttributeNames)
      if (!tooLong && strcmp(word, name.word) == 0) found = &name;
    if (!found) return Fail();

    SkipBlanks();
    CompareOp op;
    switch (*m_p) {
      case L'=':
        ++m_p;
        if (*m_p == L'=') ++m_p;
        op = CompareOp::Equal;
        break;
      case L'<':
        ++m_p;
        op = *m_p == L'=' ? (++m_p, CompareOp::LessEqual) : CompareOp::Less;
        break;
      case L'>':
        ++m_p;
        op = *m_p == L'=' ? (++m_p, CompareOp::GreaterEqual) : CompareOp::Greater;
        break;
      case L'!':
        ++m_p;
        if (*m_p != L'=') return Fail();
        ++m_p;
        op = CompareOp::NotEqual;
        break;
      default:
        return Fail();
    }

    SkipBlanks();
    Westring value;
    for (; iswalnum(static_cast<wint_t>(*m_p)) || *m_p == m_separator; ++m_p) value += *m_p;
    if (value.IsEmpty()) return Fail();

    int64_t left = 0, right = 0;
    switch (found->attribute) {
      case Attribute::Size:
        if (!ParseScaled(value, kSizeUnits, &right)) return Fail();
        left = m_fields.size;
        break;
      case Attribute::Age:
        if (!ParseScaled(value, kAgeUnits, &right)) return Fail();
        left = m_now - static_cast<int64_t>(m_fields.timeSec);
        break;
      case Attribute::Date:
        if (!ParseDate(value, m_separator, &right)) return Fail();
        left = LocalMidnight(static_cast<int64_t>(m_fields.timeSec));
        break;
      case Attribute::Attrib: {
        static const int kBits[] = {EntryFlag::Archive, EntryFlag::Directory, EntryFlag::Hidden,
                                    EntryFlag::ReadOnly, EntryFlag::System};
        right = LetterBits(value, "adhrs", kBits);
        left = m_fields.flags & right;
        break;
      }
      case Attribute::Owner:
        left = m_fields.owner;
        right = StoredId(Sys::UserIdByName(value));
        break;
      case Attribute::Group:
        left = m_fields.group;
        right = StoredId(Sys::GroupIdByName(value));
        break;
      case Attribute::Perm: {
        static const int kBits[] = {4, 2, 1};
        right = LetterBits(value, "rwx", kBits);
        left = Sys::AccessClass(m_fields.owner, m_fields.group, m_fields.mode) & right;
        break;
      }
    }
    return Compare(left, op, right);
  }

  const wchar_t* m_p;
  const entry& m_fields;
  const wchar_t* m_name;
  int64_t m_now;
  wchar_t m_separator;
  bool m_error = false;
};

}  // namespace

int EvaluateExpression(const wchar_t* expression, const entry& e) {
  return CExpressionEvaluator(expression, e, e.Name()).Evaluate();
}

int EvaluateOnName(const wchar_t* expression, const wchar_t* name) {
  // Only the fields are read from this record, never a name behind it.
  const entry zero = {};
  return CExpressionEvaluator(expression, zero, name).Evaluate();
}

bool IsValidExpression(const wchar_t* expression) {
  return EvaluateOnName(expression, L"test") != -1;
}
