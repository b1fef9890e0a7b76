#pragma once
// Stored member paths made fit for the panel: a path is a C string to every
// later step, and a panel cannot show an empty, "." or ".." name.
#include "foundation/Westring.h"

/// The stored path up to its first NUL, without empty, "." and ".."
/// components and without a trailing "/"; a leading "./" stays, since the
/// archiver commands need it back.
inline Westring CleanMemberPath(const Westring& stored) {
  const wchar_t* at = stored.c_str();
  Westring path;
  if (at[0] == L'.' && at[1] == L'/') path = L"./";
  while (*at != 0) {
    const wchar_t* end = at;
    while (*end != 0 && *end != L'/') ++end;
    const int length = static_cast<int>(end - at);
    const bool dots = at[0] == L'.' && (length == 1 || (length == 2 && at[1] == L'.'));
    if (length > 0 && !dots) {
      if (!path.IsEmpty() && path[path.Length() - 1] != L'/') path += L'/';
      path.Append(at, length);
    }
    at = *end != 0 ? end + 1 : end;
  }
  return path;
}
