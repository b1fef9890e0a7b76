#include "foundation/NameMask.h"

Westring ApplyNameMask(const Westring& mask, const Westring& source) {
  const wchar_t* from = source.c_str();
  int maskLength = mask.Length();
  // The result can hold at most every source character and every mask character.
  Westring result = Westring::WithRoom(maskLength + source.Length());
  wchar_t* to = result.Data();
  for (const wchar_t* m = mask.c_str(); *m; ++m) {
    switch (*m) {
      case L'*':
        while (*from && *from != L'.') *to++ = *from++;
        break;
      case L'?':
        if (*from) *to++ = *from++;
        break;
      case L'.':
        while (*from && *from != L'.') ++from;
        if (*from) ++from;
        *to++ = L'.';
        break;
      default:
        *to++ = *m;
        break;
    }
  }
  *to = 0;
  return result;
}
