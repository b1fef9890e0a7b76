#include "panels/PathNames.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console/ChildEnvironment.h"
#include "foundation/SysCalls.h"

namespace {

// A component of two or more dots and nothing else.
int DotCount(const Westring& component) {
  for (int i = 0; i < component.Length(); ++i)
    if (component[i] != L'.') return 0;
  return component.Length();
}

// "VK#<pid>." for this process: the low 16 bits keep the names short.
Estring OwnTempPrefix() {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "VK#%u.", static_cast<unsigned>(getpid()) & 0xFFFFu);
  return Estring(prefix);
}

}  // namespace

int ResolvePath(Westring* path, const Westring& base) {
  Westring given = *path;
  given.ReplaceAll(L"\\", L"/");
  Westring result;
  if (given[0] != L'/') {
    result = base.IsEmpty() ? Sys::CurrentDirectory() : base;
    if (result.IsEmpty()) return -1;
  }
  // The root is kept as the empty text while components are added.
  while (result.Length() > 0 && result[result.Length() - 1] == L'/') result = result.AllButLast(1);
  int start = 0;
  while (start <= given.Length()) {
    int end = start;
    while (end < given.Length() && given[end] != L'/') ++end;
    const Westring component = given.Mid(start).Left(end - start);
    start = end + 1;
    if (component.IsEmpty() || component == Westring(L".")) continue;
    const int dots = DotCount(component);
    if (dots < 2) {
      result += L'/';
      result += component;
      continue;
    }
    for (int level = 1; level < dots; ++level) {
      if (result.IsEmpty()) return -1;
      result = result.Left(result.FindLast(L'/'));
    }
  }
  *path = result.IsEmpty() ? Westring(L"/") : result;
  return 0;
}

Westring TemporaryDirectory() {
  for (const wchar_t* name : {L"TMP", L"TEMP"}) {
    const Westring value = EnvironmentValue(name);
    if (!value.IsEmpty()) return value;
  }
  return Westring(L"/tmp");
}

Westring UniqueTempName(const Westring& directory) {
  Westring dir = directory.IsEmpty() ? TemporaryDirectory() : directory;
  dir.AddTrailingSlash();
  const Estring prefix = OwnTempPrefix();
  for (int counter = 0;; ++counter) {
    char name[48];
    std::snprintf(name, sizeof name, "%s%d", prefix.c_str(), counter);
    const Westring candidate = dir + Westring(name);
    struct stat st;
    if (lstat(candidate.ToUtf8().c_str(), &st) != 0) return candidate;
  }
}

void DeleteOwnTempFiles() {
  Westring dir = TemporaryDirectory();
  dir.AddTrailingSlash();
  const Estring directory = dir.ToUtf8();
  DIR* listing = opendir(directory.c_str());
  if (listing == nullptr) return;
  const Estring prefix = OwnTempPrefix();
  while (const dirent* record = readdir(listing)) {
    if (std::strncmp(record->d_name, prefix.c_str(), prefix.Length()) != 0) continue;
    const Estring path = directory + record->d_name;
    unlink(path.c_str());
  }
  closedir(listing);
}
