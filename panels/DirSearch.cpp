#include "panels/DirSearch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "foundation/SysCalls.h"
#include "foundation/Thread.h"
#include "foundation/Utf8.h"

namespace {

// Length of the directory part of a pattern: up to and including the last
// "/"; a drive prefix (letter, colon, slash) counts as three characters.
int DirectoryPartLength(const Westring& pattern) {
  const int slash = pattern.FindLast(L'/');
  if (slash >= 0) return slash + 1;
  if (pattern.Length() >= 3 && pattern[1] == L':' && pattern[2] == L'/') return 3;
  return 0;
}

// Names are UTF-8 on the system side; pure ASCII, the common case, is
// widened without the decoder.
void DecodeName(const char* bytes, Westring* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
  size_t n = 0;
  while (p[n] != 0 && p[n] < 0x80) ++n;
  if (p[n] != 0) {
    DecodeUtf8(bytes, -1, out);
    return;
  }
  if (out->Capacity() <= static_cast<int>(n)) out->MakeRoom(static_cast<int>(n));
  wchar_t* text = out->Data();
  for (size_t i = 0; i < n; ++i) text[i] = p[i];
  text[n] = 0;
}

}  // namespace

bool IsHiddenName(const wchar_t* name) {
  return name[0] == L'.' && !(name[1] == L'.' && name[2] == 0);
}

bool MaskMatch(const wchar_t* mask, const wchar_t* name) {
  for (;;) {
    if (*mask == 0) return *name == 0;
    if (*mask == L'*') {
      ++mask;
      if (*mask == 0) return true;
      for (;; ++name) {
        if (MaskMatch(mask, name)) return true;
        if (*name == 0) return false;
      }
    }
    if (*name == 0) return false;
    if (*mask != L'?' && *mask != *name) return false;
    ++mask;
    ++name;
  }
}

Westring SearchDirectory(const Westring& base, const Westring& pattern) {
  const Westring part = pattern.Left(DirectoryPartLength(pattern));
  Westring directory = base;
  // The part always goes below the base, an absolute one too, with one "/" between.
  if (!part.IsEmpty()) {
    if (directory.IsEmpty()) {
      directory = part;
    } else {
      directory.RemoveTrailingSlash();
      directory += L'/';
      directory += part[0] == L'/' ? part.Mid(1) : part;
    }
  }
  if (directory.IsEmpty()) {
    directory = (base == L"/" || (!pattern.IsEmpty() && pattern[0] == L'/')) ? L"/" : L".";
  }
  return directory;
}

TEntryStatus EntryStatusOf(const struct stat& own, const struct stat* target) {
  const struct stat& st = target != nullptr ? *target : own;
  TEntryStatus status;
  if (S_ISLNK(own.st_mode)) {
    status.flags |= EntryFlag::Link;
    if (target == nullptr) status.flags |= EntryFlag::BrokenLink;
  }
  if (S_ISDIR(st.st_mode)) status.flags |= EntryFlag::Directory;
  else status.size = st.st_size;
  // The read-only rule: writable only through a write bit that applies to
  // the process's real ids; the super-user gets no exception.
  if (!Sys::WritableByProcess(st.st_mode, st.st_uid, st.st_gid)) status.flags |= EntryFlag::ReadOnly;
  status.mode = static_cast<uint16_t>(st.st_mode);
  status.owner = static_cast<uint16_t>(st.st_uid);
  status.group = static_cast<uint16_t>(st.st_gid);
  status.timeSec = static_cast<uint32_t>(st.st_mtim.tv_sec);
  status.timeNs = static_cast<uint32_t>(st.st_mtim.tv_nsec);
  return status;
}

bool ExamineAt(int dirFd, const char* name, TEntryStatus* status) {
  struct stat own;
  if (fstatat(dirFd, name, &own, AT_SYMLINK_NOFOLLOW) != 0) return false;
  struct stat target;
  const bool followed = S_ISLNK(own.st_mode) && fstatat(dirFd, name, &target, 0) == 0;
  *status = EntryStatusOf(own, followed ? &target : nullptr);
  return true;
}

void FillEntryStatus(entry* e, const TEntryStatus& status, bool hiddenName) {
  e->size = status.size;
  e->flags = hiddenName ? status.flags | EntryFlag::Hidden : status.flags;
  e->mode = status.mode;
  e->owner = status.owner;
  e->group = status.group;
  e->timeSec = status.timeSec;
  e->timeNs = status.timeNs;
  e->tagged = 0;
  e->previouslyTagged = 0;
  e->sizeKnown = 0;
  e->extra = ~uint64_t{0};
}

DirSearch::DirSearch(const Westring& baseDirectory) : m_base(baseDirectory) {}

DirSearch::~DirSearch() { Close(); }

void DirSearch::Close() {
  if (m_stream != nullptr) closedir(m_stream);
  m_stream = nullptr;
}

void DirSearch::Start(const Westring& pattern, uint32_t attributes) {
  Close();
  m_allocate = (attributes & SearchAttr::Allocate) != 0;
  m_attributes = attributes & ~SearchAttr::Allocate;
  m_mask = pattern.Mid(DirectoryPartLength(pattern));
  m_directory = SearchDirectory(m_base, pattern);
  m_stream = opendir(m_directory.ToUtf8().c_str());
  m_lastError = m_stream == nullptr ? errno : 0;
}

int DirSearch::FindFirst(const Westring& pattern, uint32_t attributes, entry** result) {
  Start(pattern, attributes);
  if (m_stream == nullptr) {
    if (result != nullptr) *result = nullptr;
    return m_lastError;
  }
  return FindNext(result);
}

int DirSearch::FindOne(const Westring& pattern, uint32_t attributes, entry** result) {
  entry* found = nullptr;
  const int err = FindFirst(pattern, attributes, &found);
  Close();
  if (result != nullptr) *result = found;
  return err;
}

bool DirSearch::Accepts(const wchar_t* name) const {
  if (name[0] == L'.' && !(m_attributes & SearchAttr::Hidden)) return false;
  return MaskMatch(m_mask.c_str(), name);
}

bool DirSearch::AcceptsType(uint16_t flags) const {
  const bool isDirectory = (flags & EntryFlag::Directory) != 0;
  if (m_attributes & SearchAttr::DirectoriesOnly) return isDirectory && (m_attributes & SearchAttr::Directory);
  return !isDirectory || (m_attributes & SearchAttr::Directory);
}

int DirSearch::FindNext(entry** result) {
  if (result != nullptr) *result = nullptr;
  if (m_stream == nullptr) return m_lastError = SearchResult::NoMoreEntries;
  for (;;) {
    errno = 0;
    const dirent* record = readdir(m_stream);
    if (record == nullptr) return m_lastError = errno != 0 ? errno : SearchResult::NoMoreEntries;
    const int err = Examine(record->d_name, result);
    if (err == 0) return m_lastError = 0;
  }
}

// 0 when the record is accepted and filled into *result; non-zero skips it.
int DirSearch::Examine(const char* bytes, entry** result) {
  static thread_local Westring name;
  DecodeName(bytes, &name);
  if (!Accepts(name.c_str())) return -1;
  TEntryStatus status;
  if (!ExamineAt(dirfd(m_stream), bytes, &status)) return -1;  // vanished
  if (!AcceptsType(status.flags)) return -1;
  entry* e = nullptr;
  if (m_allocate) {
    e = entry::Make(name.c_str(), name.Length());
    if (e == nullptr) return -1;
  } else {
    const int length = name.Length() < SearchNameLimit ? name.Length() : SearchNameLimit;
    e = m_embedded;
    std::memset(static_cast<void*>(e), 0, sizeof(entry));
    std::wmemcpy(e->Name(), name.c_str(), static_cast<size_t>(length));
    e->Name()[length] = 0;
  }
  FillEntryStatus(e, status, IsHiddenName(name.c_str()));
  if (result != nullptr) *result = e;
  else if (m_allocate) delete e;
  return 0;
}

namespace {

// Names read ahead of their examination: readdir is cheap, the status of
// each name is not, so a batch of names is read first and examined on two
// threads when it is large enough to pay for the second one.
constexpr size_t BatchNames = 16384;
constexpr size_t TwoThreadNames = 2048;
constexpr size_t ClaimNames = 256;  // names a thread takes at a time

struct TBatch {
  int dirFd = -1;
  std::string bytes;             // the names, each 0-terminated
  std::vector<uint32_t> offsets;  // where each name starts in bytes
  std::vector<TEntryStatus> status;
  std::vector<uint8_t> examined;  // 1 when the name could be examined
  std::atomic<size_t> next{0};    // the first name no thread has claimed
};

// Examines the names of a batch, a claim at a time, until none are left.
void* ExamineBatch(void* argument) {
  TBatch& batch = *static_cast<TBatch*>(argument);
  const size_t count = batch.offsets.size();
  for (;;) {
    const size_t first = batch.next.fetch_add(ClaimNames, std::memory_order_relaxed);
    if (first >= count) return nullptr;
    const size_t last = first + ClaimNames < count ? first + ClaimNames : count;
    for (size_t i = first; i < last; ++i) {
      batch.examined[i] = ExamineAt(batch.dirFd, batch.bytes.data() + batch.offsets[i], &batch.status[i]);
    }
  }
}

void ExamineAll(TBatch& batch) {
  const size_t count = batch.offsets.size();
  batch.status.resize(count);
  batch.examined.assign(count, 0);
  batch.next.store(0, std::memory_order_relaxed);
  ThreadHandle helper = count >= TwoThreadNames ? StartThread(ExamineBatch, &batch) : ThreadHandle{};
  ExamineBatch(&batch);
  if (helper != 0) (void)JoinThread(helper);
}

}  // namespace

int DirSearch::FindAll(const Westring& pattern, uint32_t attributes,
                       const std::function<bool(entry*)>& take) {
  Start(pattern, attributes);
  if (m_stream == nullptr) return m_lastError;
  TBatch batch;
  batch.dirFd = dirfd(m_stream);
  Westring name;
  int err = 0;
  while (err == 0) {
    batch.bytes.clear();
    batch.offsets.clear();
    while (batch.offsets.size() < BatchNames) {
      errno = 0;
      const dirent* record = readdir(m_stream);
      if (record == nullptr) {
        err = errno != 0 ? errno : SearchResult::NoMoreEntries;
        break;
      }
      DecodeName(record->d_name, &name);
      if (!Accepts(name.c_str())) continue;
      batch.offsets.push_back(static_cast<uint32_t>(batch.bytes.size()));
      batch.bytes.append(record->d_name, std::strlen(record->d_name) + 1);
    }
    ExamineAll(batch);
    for (size_t i = 0; i < batch.offsets.size(); ++i) {
      // A name that vanished since it was read is left out.
      if (!batch.examined[i] || !AcceptsType(batch.status[i].flags)) continue;
      DecodeName(batch.bytes.data() + batch.offsets[i], &name);
      entry* e = entry::Make(name.c_str(), name.Length());
      if (e == nullptr) continue;
      FillEntryStatus(e, batch.status[i], IsHiddenName(name.c_str()));
      if (!take(e)) {
        Close();
        return m_lastError = 0;
      }
    }
  }
  Close();
  return m_lastError = err;
}
