#include "panels/DirSearch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <utility>

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

Estring SystemName(const Westring& directory, const Westring& name) {
  const Estring utf8 = name.ToUtf8();
  Estring path = directory.ToUtf8();
  path += "/";
  path += utf8;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) return utf8;
  DIR* stream = opendir(directory.ToUtf8().c_str());
  if (stream == nullptr) return utf8;
  Estring found = utf8;
  bool exact = false, folded = false;
  Westring decoded;
  while (const dirent* record = readdir(stream)) {
    DecodeName(record->d_name, &decoded);
    exact = decoded == name;
    // A panel on a case-converting file system shows names in another case.
    if (exact || (!folded && decoded.EqualsNoCase(name))) {
      found = Estring(record->d_name);
      folded = true;
    }
    if (exact) break;
  }
  closedir(stream);
  return found;
}

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
  if (S_ISDIR(st.st_mode))
    status.flags |= EntryFlag::Directory;
  else
    status.size = st.st_size;
  // The read-only rule: writable only through a write bit that applies to
  // the process's real ids; the super-user gets no exception.
  if (!Sys::WritableByProcess(st.st_mode, st.st_uid, st.st_gid))
    status.flags |= EntryFlag::ReadOnly;
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
  if (m_attributes & SearchAttr::DirectoriesOnly)
    return isDirectory && (m_attributes & SearchAttr::Directory);
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

// The names of a directory are read ahead of their examination: readdir is
// cheap, the status of each name is not. Names go into blocks; from the
// first full block on a helper thread examines them while the rest are
// read, and the reading thread joins in once all are read, then makes the
// entries block by block while the helper works further on.
constexpr size_t BlockNames = 2048;   // also the fewest names worth a second thread
constexpr uint32_t ClaimNames = 256;  // names a thread examines at a time

struct TNameBlock {
  std::string bytes;  // the names, each 0-terminated
  uint32_t offsets[BlockNames];
  TEntryStatus status[BlockNames];
  uint8_t examined[BlockNames];  // 1 when the name could be examined
  uint32_t count = 0;
  std::atomic<uint32_t> claimed{0};  // names some thread has taken
  std::atomic<uint32_t> done{0};     // names whose status is written
  std::atomic<TNameBlock*> next{nullptr};
};

struct TNameBlocks {
  int dirFd = -1;
  TNameBlock* first = nullptr;
  std::atomic<bool> allRead{false};

  ~TNameBlocks() {
    while (first != nullptr)
      delete std::exchange(first, first->next.load(std::memory_order_relaxed));
  }
  // Examines claims of block until none are left.
  void Examine(TNameBlock& block) {
    for (;;) {
      const uint32_t from = block.claimed.fetch_add(ClaimNames, std::memory_order_relaxed);
      if (from >= block.count) return;
      const uint32_t to = from + ClaimNames < block.count ? from + ClaimNames : block.count;
      for (uint32_t i = from; i < to; ++i) {
        block.examined[i] =
            ExamineAt(dirFd, block.bytes.data() + block.offsets[i], &block.status[i]);
      }
      block.done.fetch_add(to - from, std::memory_order_release);
    }
  }
};

// The helper: every block in turn, once the reader has filled it (it has
// published the next block, or read all names).
void* ExamineBlocks(void* argument) {
  TNameBlocks& blocks = *static_cast<TNameBlocks*>(argument);
  for (TNameBlock* block = blocks.first; block != nullptr;) {
    while (block->next.load(std::memory_order_acquire) == nullptr &&
           !blocks.allRead.load(std::memory_order_acquire)) {
      std::this_thread::yield();
    }
    blocks.Examine(*block);
    block = block->next.load(std::memory_order_acquire);
  }
  return nullptr;
}

}  // namespace

int DirSearch::FindAll(const Westring& pattern, uint32_t attributes,
                       const std::function<bool(entry*)>& take) {
  Start(pattern, attributes);
  if (m_stream == nullptr) return m_lastError;
  TNameBlocks blocks;
  blocks.dirFd = dirfd(m_stream);
  blocks.first = new TNameBlock;
  TNameBlock* last = blocks.first;
  ThreadHandle helper{};
  Westring name;
  int err = 0;
  for (;;) {
    errno = 0;
    const dirent* record = readdir(m_stream);
    if (record == nullptr) {
      err = errno != 0 ? errno : SearchResult::NoMoreEntries;
      break;
    }
    DecodeName(record->d_name, &name);
    if (!Accepts(name.c_str())) continue;
    if (last->count == BlockNames) {
      TNameBlock* block = new TNameBlock;
      last->next.store(block, std::memory_order_release);
      if (last == blocks.first) helper = StartThread(ExamineBlocks, &blocks);
      last = block;
    }
    last->offsets[last->count++] = static_cast<uint32_t>(last->bytes.size());
    last->bytes.append(record->d_name, std::strlen(record->d_name) + 1);
  }
  blocks.allRead.store(true, std::memory_order_release);
  bool stopped = false;
  for (TNameBlock* block = blocks.first; block != nullptr && !stopped;
       block = block->next.load(std::memory_order_relaxed)) {
    blocks.Examine(*block);
    while (block->done.load(std::memory_order_acquire) < block->count) std::this_thread::yield();
    for (uint32_t i = 0; i < block->count && !stopped; ++i) {
      // A name that vanished since it was read is left out.
      if (!block->examined[i] || !AcceptsType(block->status[i].flags)) continue;
      DecodeName(block->bytes.data() + block->offsets[i], &name);
      entry* e = entry::Make(name.c_str(), name.Length());
      if (e == nullptr) continue;
      FillEntryStatus(e, block->status[i], IsHiddenName(name.c_str()));
      stopped = !take(e);
    }
  }
  if (helper != 0) {
    // A stop leaves blocks unexamined; they are claimed away so the helper ends soon.
    for (TNameBlock* block = blocks.first; block != nullptr;
         block = block->next.load(std::memory_order_relaxed)) {
      block->claimed.store(BlockNames, std::memory_order_relaxed);
    }
    (void)JoinThread(helper);
  }
  Close();
  return m_lastError = stopped ? 0 : err;
}
