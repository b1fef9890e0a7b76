#include "panels/DirSearch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cwchar>

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

// The read-only rule: writable only through a write bit that applies to the
// process's real ids; the super-user gets no exception.
bool WritableByProcess(const struct stat& st) {
  if (st.st_mode & S_IWOTH) return true;
  if ((st.st_mode & S_IWGRP) && getgid() == st.st_gid) return true;
  if ((st.st_mode & S_IWUSR) && getuid() == st.st_uid) return true;
  return false;
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

void FillEntryStatus(entry* e, const struct stat& own, const struct stat* target, bool hiddenName) {
  const struct stat& st = target != nullptr ? *target : own;
  uint16_t flags = 0;
  if (S_ISLNK(own.st_mode)) {
    flags |= EntryFlag::Link;
    if (target == nullptr) flags |= EntryFlag::BrokenLink;
  }
  if (S_ISDIR(st.st_mode)) {
    flags |= EntryFlag::Directory;
    e->size = 0;
  } else {
    e->size = st.st_size;
  }
  if (hiddenName) flags |= EntryFlag::Hidden;
  if (!WritableByProcess(st)) flags |= EntryFlag::ReadOnly;
  e->flags = flags;
  e->mode = static_cast<uint16_t>(st.st_mode);
  e->owner = static_cast<uint16_t>(st.st_uid);
  e->group = static_cast<uint16_t>(st.st_gid);
  e->timeSec = static_cast<uint32_t>(st.st_mtim.tv_sec);
  e->timeNs = static_cast<uint32_t>(st.st_mtim.tv_nsec);
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

int DirSearch::FindFirst(const Westring& pattern, uint32_t attributes, entry** result) {
  Close();
  m_allocate = (attributes & SearchAttr::Allocate) != 0;
  m_attributes = attributes & ~SearchAttr::Allocate;
  m_mask = pattern.Mid(DirectoryPartLength(pattern));
  m_directory = SearchDirectory(m_base, pattern);
  m_stream = opendir(m_directory.ToUtf8().c_str());
  if (m_stream == nullptr) {
    m_lastError = errno;
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
  const int dirFd = dirfd(m_stream);
  struct stat own;
  if (fstatat(dirFd, bytes, &own, AT_SYMLINK_NOFOLLOW) != 0) return -1;  // vanished
  struct stat target;
  const struct stat* followed = nullptr;
  if (S_ISLNK(own.st_mode) && fstatat(dirFd, bytes, &target, 0) == 0) followed = &target;
  const bool isDirectory = S_ISDIR((followed != nullptr ? *followed : own).st_mode);
  if (m_attributes & SearchAttr::DirectoriesOnly) {
    if (!isDirectory || !(m_attributes & SearchAttr::Directory)) return -1;
  } else if (isDirectory && !(m_attributes & SearchAttr::Directory)) {
    return -1;
  }
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
  FillEntryStatus(e, own, followed, IsHiddenName(name.c_str()));
  if (result != nullptr) *result = e;
  else if (m_allocate) delete e;
  return 0;
}
