#include "foundation/PlatformLinux.h"

#include <malloc.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

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

bool IsLeftOut(const TMountEntry& entry) {
  return IsDeviceFileSystem(entry.fsType) || (entry.answered && entry.blocks == 0);
}

// The answers, shared with threads that may outlive the asking.
struct TFigureAnswers {
  std::mutex lock;
  std::condition_variable allIn;
  std::vector<TMountEntry> entries;
  size_t pending = 0;
};

void AnswerFigures(const std::shared_ptr<TFigureAnswers>& answers, size_t index, const std::string& mountPoint) {
  struct statvfs info {};
  const bool known = statvfs(mountPoint.c_str(), &info) == 0;
  std::lock_guard<std::mutex> guard(answers->lock);
  TMountEntry& entry = answers->entries[index];
  entry.answered = true;
  if (known) {
    entry.blocks = info.f_blocks;
    entry.totalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
    entry.availableBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
  }
  if (--answers->pending == 0) answers->allIn.notify_all();
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
  if (std::sscanf(fields[2].c_str(), "%u:%u", &entry->major, &entry->minor) != 2) return false;
  entry->mountPoint = UnescapeMountField(fields[4]);
  entry->fsType = UnescapeMountField(fields[separator + 1]);
  entry->device = UnescapeMountField(fields[separator + 2]);
  return true;
}

bool IsDeviceFileSystem(const std::string& fsType) {
  return fsType == "devfs" || fsType == "devtmpfs";
}

void AskFileSystemFigures(std::vector<TMountEntry>& entries, uint32_t waitMs) {
  auto answers = std::make_shared<TFigureAnswers>();
  answers->entries = entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::lock_guard<std::mutex> guard(answers->lock);
    try {
      std::thread(AnswerFigures, answers, i, entries[i].mountPoint).detach();
      ++answers->pending;
    } catch (const std::system_error&) {
      // No thread for it: its figures stay unknown.
    }
  }
  std::unique_lock<std::mutex> guard(answers->lock);
  answers->allIn.wait_for(guard, std::chrono::milliseconds(waitMs), [&] { return answers->pending == 0; });
  entries = answers->entries;
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
    if (ParseMountInfoLine(line, &entry)) list.push_back(entry);
  }
  int err = std::ferror(file) ? errno : 0;
  std::free(line);
  std::fclose(file);
  if (err) list.clear();
  if (err || which == MountSelection::All) return err;
  AskFileSystemFigures(list, kMountAnswerMs);
  list.erase(std::remove_if(list.begin(), list.end(), IsLeftOut), list.end());
  return 0;
}

void ReleaseFreeMemory() { malloc_trim(0); }

}  // namespace Platform
