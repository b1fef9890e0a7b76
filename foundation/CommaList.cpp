#include "foundation/CommaList.h"

#include <cstring>

#include "foundation/StringCollections.h"

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The end of the field starting at text: the first ',' outside quotes that no
// backslash escapes, or the terminator. Every quote flips the quoted state,
// which is what the doubled-quote rule amounts to as well.
const char* FieldEnd(const char* text) {
  bool quoted = false;
  for (; *text; ++text) {
    if (*text == '\\') {
      if (*++text == 0) break;
    } else if (*text == '"') {
      quoted = !quoted;
    } else if (*text == ',' && !quoted) {
      break;
    }
  }
  return text;
}

}  // namespace

bool ReadCommaField(const char** cursor, Estring* field) {
  field->MakeRoom(0);
  const char* in = *cursor;
  if (!in || *in == 0) return false;
  const char* end = FieldEnd(in);
  // Decoding never makes a field longer than its raw bytes.
  field->MakeRoom(static_cast<int>(end - in));
  char* out = field->Data();
  bool quoted = false;
  bool justClosed = false;
  while (in < end) {
    char ch = *in++;
    bool closing = false;
    if (ch == '"') {
      if (!quoted && justClosed) {
        *out++ = '"';
        quoted = true;
      } else {
        closing = quoted;
        quoted = !quoted;
      }
    } else if (ch == '\\') {
      if (in == end) break;
      if (IsDigit(*in)) {
        int value = 0;
        for (int digits = 0; digits < 3 && in < end && IsDigit(*in); ++digits)
          value = value * 10 + (*in++ - '0');
        if (value & 0xFF) *out++ = static_cast<char>(value & 0xFF);
      } else if (*in++ != '\n') {
        *out++ = in[-1];
      }
    } else if (ch != '\n') {
      *out++ = ch;
    }
    justClosed = closing;
  }
  *out = 0;
  *cursor = *end == ',' ? end + 1 : end;
  return true;
}

int SplitCommaList(const char* text, StringCollection* list) {
  int inserted = 0;
  Estring field;
  while (ReadCommaField(&text, &field)) inserted += list->InsertCopy(field);
  return inserted;
}

Estring JoinCommaList(const StringCollection& list) {
  int length = 0;
  for (const Estring* item : list) length += item->Length() + 1;
  Estring result = Estring::WithRoom(length);
  // Written in place: appending item by item would rescan the result each time.
  char* out = result.Data();
  bool first = true;
  for (const Estring* item : list) {
    if (!first) *out++ = ',';
    first = false;
    int itemLength = item->Length();
    memcpy(out, item->c_str(), static_cast<size_t>(itemLength));
    out += itemLength;
  }
  *out = 0;
  return result;
}
