#include "tools/FileFind.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "panels/Expression.h"
#include "viewer/TextEncoding.h"
#include "viewer/ViewTextFile.h"

namespace {

// Content is read in blocks this large: few system calls, and the block
// stays in the processor's cache while it is scanned.
constexpr size_t kBlockBytes = 256 * 1024;

bool IsWordByte(uint8_t b) { return b == '_' || b >= 0x80 || std::isalnum(b) != 0; }

uint8_t FoldAscii(uint8_t b) { return b >= 'A' && b <= 'Z' ? static_cast<uint8_t>(b + 32) : b; }

bool IsAscii(const Westring& text) {
  for (int i = 0; i < text.Length(); ++i)
    if (text[i] >= 0x80) return false;
  return true;
}

// The file's first bytes begin with the mark of one of the Unicode encodings.
bool StartsWithByteOrderMark(const uint8_t* head, size_t length) {
  for (int encoding = EncodingUtf32Le; encoding <= EncodingUtf8; ++encoding) {
    int size = 0;
    const uint8_t* mark = EncodingByteOrderMark(encoding, &size);
    if (mark != nullptr && length >= static_cast<size_t>(size) && memcmp(head, mark, size) == 0)
      return true;
  }
  return false;
}

// Reads until the buffer holds `want` bytes or the file ends; errno or 0.
int ReadFully(int fd, uint8_t* buffer, size_t want, size_t* got) {
  *got = 0;
  while (*got < want) {
    const ssize_t n = read(fd, buffer + *got, want - *got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    *got += static_cast<size_t>(n);
  }
  return 0;
}

// The byte-wise search of a file in a plain byte encoding. The buffer keeps
// the last pattern-length + 1 bytes of the previous block in front of the
// next one, so a match across two blocks is found and its word bounds are
// known on both sides.
class CByteSearch {
 public:
  CByteSearch(const Estring& pattern, bool caseSensitive, bool wholeWord)
      : m_caseSensitive(caseSensitive), m_wholeWord(wholeWord) {
    m_pattern.assign(pattern.c_str(), pattern.c_str() + pattern.Length());
    if (!caseSensitive) {
      for (uint8_t& b : m_pattern) b = FoldAscii(b);
      m_anchor = RarestByte(m_pattern);
    }
  }

  // The buffer holds the first block already (headLength bytes) and has
  // room for a block plus the kept tail.
  int64_t Run(int fd, std::vector<uint8_t>& buffer, size_t headLength, bool atEnd,
              const std::atomic<bool>* stop) {
    const size_t keep = m_pattern.size() + 1;
    size_t length = headLength;
    int64_t bufferOffset = 0;  // file offset of buffer[0]
    size_t scanFrom = 0;
    bool eof = atEnd;
    for (;;) {
      if (stop != nullptr && stop->load(std::memory_order_relaxed)) return FindMatch::Stopped;
      const int64_t found = Scan(buffer.data(), length, scanFrom, eof);
      if (found >= 0) return bufferOffset + found;
      if (eof) return FindMatch::NotFound;
      // Keep the tail for a match that the next block completes; its first
      // byte is only the word bound of such a match.
      const size_t tail = length < keep ? length : keep;
      memmove(buffer.data(), buffer.data() + length - tail, tail);
      bufferOffset += static_cast<int64_t>(length - tail);
      size_t got = 0;
      if (ReadFully(fd, buffer.data() + tail, kBlockBytes, &got) != 0) return FindMatch::CannotOpen;
      eof = got < kBlockBytes;
      length = tail + got;
      scanFrom = tail == keep ? 1 : 0;
    }
  }

 private:
  // The first acceptable match starting at or after `from`; -1 for none. A
  // match whose following byte is not read yet waits for the next block.
  int64_t Scan(const uint8_t* data, size_t length, size_t from, bool eof) const {
    const size_t n = m_pattern.size();
    while (from + n <= length) {
      const size_t at = m_caseSensitive ? FindExact(data, length, from) : FindFolded(data, length, from);
      if (at == kNone) return -1;
      const size_t end = at + n;
      if (!eof && end >= length) return -1;
      if (!m_wholeWord || WordBoundsHold(data, length, at, end)) return static_cast<int64_t>(at);
      from = at + 1;
    }
    return -1;
  }

  size_t FindExact(const uint8_t* data, size_t length, size_t from) const {
    const void* hit = memmem(data + from, length - from, m_pattern.data(), m_pattern.size());
    return hit != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - data) : kNone;
  }

  // Without case: memchr finds the pattern's rarest byte in either case, and
  // only there is the whole pattern compared, so the text is never folded.
  size_t FindFolded(const uint8_t* data, size_t length, size_t from) const {
    const size_t n = m_pattern.size();
    const uint8_t lower = m_pattern[m_anchor];
    const uint8_t upper = lower >= 'a' && lower <= 'z' ? static_cast<uint8_t>(lower - 32) : lower;
    // An anchor at or after `end` would put the pattern past the data.
    const uint8_t* end = data + length - (n - 1 - m_anchor);
    auto next = [end](const uint8_t* at, uint8_t b) -> const uint8_t* {
      return at < end ? static_cast<const uint8_t*>(memchr(at, b, static_cast<size_t>(end - at))) : nullptr;
    };
    const uint8_t* at = data + from + m_anchor;
    const uint8_t* nextLower = next(at, lower);
    const uint8_t* nextUpper = upper != lower ? next(at, upper) : nullptr;
    while (nextLower != nullptr || nextUpper != nullptr) {
      const bool lowerFirst = nextUpper == nullptr || (nextLower != nullptr && nextLower < nextUpper);
      const uint8_t* hit = lowerFirst ? nextLower : nextUpper;
      if (EqualsFolded(hit - m_anchor)) return static_cast<size_t>(hit - m_anchor - data);
      if (lowerFirst) nextLower = next(hit + 1, lower);
      else nextUpper = next(hit + 1, upper);
    }
    return kNone;
  }

  bool EqualsFolded(const uint8_t* start) const {
    for (size_t i = 0; i < m_pattern.size(); ++i)
      if (FoldAscii(start[i]) != m_pattern[i]) return false;
    return true;
  }

  // The pattern byte least common in text, by a rough ranking of letters,
  // digits, blanks and punctuation.
  static size_t RarestByte(const std::vector<uint8_t>& pattern) {
    static const char kCommonFirst[] = " etaoinsrhldcumfpgwybvkxjqz0123456789";
    auto rank = [](uint8_t b) -> int {
      const char* found = b != 0 ? strchr(kCommonFirst, b) : nullptr;
      return found != nullptr ? static_cast<int>(found - kCommonFirst) : 100;
    };
    size_t best = 0;
    for (size_t i = 1; i < pattern.size(); ++i)
      if (rank(pattern[i]) > rank(pattern[best])) best = i;
    return best;
  }

  bool WordBoundsHold(const uint8_t* data, size_t length, size_t at, size_t end) const {
    if (at > 0 && IsWordByte(data[at - 1])) return false;
    return end >= length || !IsWordByte(data[end]);
  }

  static constexpr size_t kNone = ~size_t{0};
  std::vector<uint8_t> m_pattern;
  size_t m_anchor = 0;  // index of the byte memchr looks for
  bool m_caseSensitive;
  bool m_wholeWord;
};

int64_t DecodedSearch(const Westring& path, const Westring& text, bool caseSensitive,
                      bool wholeWord, int codePage, const std::atomic<bool>* stop) {
  ViewTextFile file;
  if (file.Open(path, EncodingDetect, codePage) != 0) return FindMatch::CannotOpen;
  auto cancel = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
  const int64_t found = file.Search(text, file.DataStart(), caseSensitive, wholeWord, false, cancel);
  if (found == ViewTextFile::SearchCancelled) return FindMatch::Stopped;
  return found < 0 ? FindMatch::NotFound : found;
}

Estring JoinPath(const Estring& directory, const char* name) {
  Estring path = directory;
  if (path.Length() == 0 || path.c_str()[path.Length() - 1] != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

int64_t SearchFileContent(const Westring& path, const Westring& text, bool caseSensitive,
                          bool wholeWord, int codePage, const std::atomic<bool>* stop) {
  if (text.IsEmpty()) return FindMatch::NotFound;
  // Some files of the kernel's file systems look regular but block a read
  // until something happens (/proc/kmsg); without delay they refuse instead.
  const int fd = open(path.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FindMatch::CannotOpen;
  // One buffer per thread: a fresh one for each file would cost more in
  // page faults than the search itself.
  thread_local std::vector<uint8_t> buffer;
  const size_t room = kBlockBytes + static_cast<size_t>(text.Length()) * 4 + 1;
  if (buffer.size() < room) buffer.resize(room);
  size_t got = 0;
  if (ReadFully(fd, buffer.data(), kBlockBytes, &got) != 0) {
    close(fd);
    return FindMatch::CannotOpen;
  }
  // An ASCII text has the same bytes in UTF-8 and in every code page; other
  // texts and marked files are decoded by the viewer's reader.
  if (IsAscii(text) && !StartsWithByteOrderMark(buffer.data(), got)) {
    CByteSearch search(text.ToUtf8(), caseSensitive, wholeWord);
    const int64_t result = search.Run(fd, buffer, got, got < kBlockBytes, stop);
    close(fd);
    return result;
  }
  close(fd);
  return DecodedSearch(path, text, caseSensitive, wholeWord, codePage, stop);
}

// --- The worker ------------------------------------------------------------------

CFileFinder::~CFileFinder() { Stop(); }

int CFileFinder::Start(const TFindRequest& request) {
  Stop();
  {
    std::lock_guard<std::mutex> guard(m_storeLock);
    m_results.Clear();
  }
  m_request = request;
  // A pure name pattern is decided without examining the entry, so names
  // that do not match cost no status call.
  m_needsStatus = wcschr(request.specification.c_str(), L'%') != nullptr;
  m_visited.clear();
  m_passedOver.store(0, std::memory_order_relaxed);
  m_stop.store(false, std::memory_order_release);
  m_stopped.store(false, std::memory_order_release);
  SetCurrentDirectory(request.startDirectory.ToUtf8());
  m_running.store(true, std::memory_order_release);
  m_thread = StartThread(&CFileFinder::ThreadMain, this);
  if (m_thread == 0) {
    m_running.store(false, std::memory_order_release);
    return EAGAIN;
  }
  return 0;
}

void CFileFinder::Stop() {
  m_stop.store(true, std::memory_order_release);
  Join();
}

void CFileFinder::Join() {
  if (m_thread != 0) JoinThread(m_thread);
}

void* CFileFinder::ThreadMain(void* self) {
  auto* finder = static_cast<CFileFinder*>(self);
  finder->Walk();
  finder->m_stopped.store(finder->m_stop.load(std::memory_order_acquire), std::memory_order_release);
  finder->SetCurrentDirectory(finder->m_request.startDirectory.ToUtf8());
  finder->m_running.store(false, std::memory_order_release);
  return nullptr;
}

int CFileFinder::ResultCount() const {
  std::lock_guard<std::mutex> guard(m_storeLock);
  return m_results.Count();
}

int64_t CFileFinder::TotalSize() const {
  std::lock_guard<std::mutex> guard(m_storeLock);
  int64_t total = 0;
  for (const entry* e : m_results) total += e->IsDirectory() ? 0 : e->size;
  return total;
}

Westring CFileFinder::CurrentDirectory() const {
  std::lock_guard<std::mutex> guard(m_directoryLock);
  return m_currentDirectory;
}

void CFileFinder::SetCurrentDirectory(const Estring& directory) {
  Westring shown = Westring::FromUtf8(directory.c_str());
  std::lock_guard<std::mutex> guard(m_directoryLock);
  m_currentDirectory = std::move(shown);
}

// Directories are searched in the order they were found: the queue is first
// in, first out, so the results come level by level.
void CFileFinder::Walk() {
  std::deque<Estring> queue;
  queue.push_back(m_request.startDirectory.ToUtf8());
  m_pending = &queue;
  while (!queue.empty() && !m_stop.load(std::memory_order_relaxed)) {
    const Estring directory = queue.front();
    queue.pop_front();
    SearchDirectory(directory);
  }
  m_pending = nullptr;
}

void CFileFinder::SearchDirectory(const Estring& directory) {
  SetCurrentDirectory(directory);
  struct stat own;
  DIR* stream = Sys::OpenDirectoryStream(directory.c_str(), 0, &own);
  // A directory entered before (through a link) is a loop: passed over.
  if (stream == nullptr || !m_visited.insert({own.st_dev, own.st_ino}).second) {
    m_passedOver.fetch_add(1, std::memory_order_relaxed);
    if (stream != nullptr) closedir(stream);
    return;
  }
  const int dirFd = dirfd(stream);
  while (const dirent* record = readdir(stream)) {
    if (m_stop.load(std::memory_order_relaxed)) break;
    const char* name = record->d_name;
    if (Sys::IsDotName(name)) continue;
    if (name[0] == '.' && !m_request.hidden) continue;
    if (!Consider(directory, dirFd, name, record->d_type)) break;
  }
  closedir(stream);
}

// One entry of a directory; false when the search must end.
bool CFileFinder::Consider(const Estring& directory, int dirFd, const char* name, unsigned char type) {
  const Westring wideName = Westring::FromUtf8(name);
  entry* probe = entry::Make(wideName.c_str(), wideName.Length());
  if (probe == nullptr) return false;
  std::unique_ptr<entry> owned(probe);
  bool examined = false;
  bool isDirectory = type == DT_DIR;
  // Links and unknown types need their status to tell a directory.
  if (m_needsStatus || type == DT_LNK || type == DT_UNKNOWN) {
    TEntryStatus status;
    if (!ExamineAt(dirFd, name, &status)) {
      m_passedOver.fetch_add(1, std::memory_order_relaxed);
      return true;
    }
    FillEntryStatus(probe, status, IsHiddenName(probe->Name()));
    isDirectory = probe->IsDirectory();
    examined = true;
  } else {
    probe->flags = static_cast<uint16_t>((isDirectory ? EntryFlag::Directory : 0) |
                                         (name[0] == '.' ? EntryFlag::Hidden : 0));
  }
  if (isDirectory && m_request.recurse && m_pending != nullptr)
    m_pending->push_back(JoinPath(directory, name));
  if (EvaluateExpression(m_request.specification.c_str(), *probe) != 1) return true;

  if (!examined) {
    TEntryStatus status;
    if (!ExamineAt(dirFd, name, &status)) {  // gone since the directory was read
      m_passedOver.fetch_add(1, std::memory_order_relaxed);
      return true;
    }
    FillEntryStatus(probe, status, IsHiddenName(probe->Name()));
  }
  const Estring path = JoinPath(directory, name);
  if (m_request.text.IsEmpty()) return AddResult(path, *probe, FindMatch::NoContentSearch);
  // Only regular files (also through a link) have contents to search.
  struct stat target;
  if (fstatat(dirFd, name, &target, 0) != 0 || !S_ISREG(target.st_mode)) return true;
  const int64_t match = SearchFileContent(Westring::FromUtf8(path.c_str()), m_request.text,
                                          m_request.caseSensitive, m_request.wholeWord,
                                          m_request.codePage, &m_stop);
  if (match == FindMatch::Stopped) return false;
  if (match == FindMatch::NotFound) return true;
  return AddResult(path, *probe, match);
}

bool CFileFinder::AddResult(const Estring& path, const entry& status, int64_t match) {
  const Westring widePath = Westring::FromUtf8(path.c_str());
  entry* found = status.Renamed(widePath.c_str());
  if (found == nullptr) return false;
  found->extra = static_cast<uint64_t>(match);
  found->sortClass = SortClassOf(status);
  std::lock_guard<std::mutex> guard(m_storeLock);
  m_results.Append(found);
  return true;
}
