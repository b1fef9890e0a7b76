#include "foundation/PlatformLinux.h"

#include <malloc.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Platform {
namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// mountinfo writes space, tab, newline and backslash in names as \ooo.
std::string UnescapeMountField(const std::string& field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t start = line.find_first_not_of(" \n", pos);
    if (start == std::string::npos) break;
    size_t end = line.find_first_of(" \n", start);
    if (end == std::string::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
    pos = end;
  }
  return fields;
}

bool IsListed(const TMountEntry& entry, MountSelection which) {
  if (which == MountSelection::All) return true;
  return !IsDeviceFileSystem(entry.fsType) && FileSystemBlocks(entry.mountPoint) != 0;
}

}  // namespace

bool ParseMountInfoLine(const std::string& line, TMountEntry* entry) {
  // Fields: id parent major:minor root mount-point options [optional...] - type source
  // super-options
  std::vector<std::string> fields = SplitFields(line);
  if (fields.size() < 7) return false;
  size_t separator = 6;
  while (separator < fields.size() && fields[separator] != "-") ++separator;
  if (separator + 2 >= fields.size()) return false;
  entry->mountPoint = UnescapeMountField(fields[4]);
  entry->fsType = UnescapeMountField(fields[separator + 1]);
  entry->device = UnescapeMountField(fields[separator + 2]);
  return true;
}

bool IsDeviceFileSystem(const std::string& fsType) {
  return fsType == "devfs" || fsType == "devtmpfs";
}

uint64_t FileSystemBlocks(const std::string& mountPoint) {
  struct statvfs info {};
  if (statvfs(mountPoint.c_str(), &info) != 0) return 0;
  return info.f_blocks;
}

int ReadMemoryFigures(TMemoryFigures* figures) {
  *figures = TMemoryFigures{};
  errno = 0;
  long pageSize = sysconf(_SC_PAGESIZE);
  long pages = sysconf(_SC_PHYS_PAGES);
  long freePages = sysconf(_SC_AVPHYS_PAGES);
  if (pageSize <= 0 || pages < 0 || freePages < 0) return errno ? errno : EINVAL;
  figures->totalBytes = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  figures->freeBytes = static_cast<uint64_t>(freePages) * static_cast<uint64_t>(pageSize);
  return 0;
}

int ReadMountedFileSystems(std::vector<TMountEntry>& list, MountSelection which) {
  list.clear();
  FILE* file = std::fopen("/proc/self/mountinfo", "re");
  if (!file) return errno;
  char* line = nullptr;
  size_t capacity = 0;
  while (getline(&line, &capacity, file) >= 0) {
    TMountEntry entry;
    if (ParseMountInfoLine(line, &entry) && IsListed(entry, which)) list.push_back(entry);
  }
  int err = std::ferror(file) ? errno : 0;
  std::free(line);
  std::fclose(file);
  if (err) list.clear();
  return err;
}

void ReleaseFreeMemory() { malloc_trim(0); }

}  // namespace Platform
