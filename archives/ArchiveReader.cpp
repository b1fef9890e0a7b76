#include "archives/ArchiveReader.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "console/Console.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressThread.h"
#include "foundation/CodePage.h"
#include "foundation/TimeValue.h"
#include "foundation/Utf8.h"

namespace {

// In the order the formats are tried.
constexpr FormatReaderFunction kReaders[ArchiveFormatCount] = {
    ReadZip, ReadRar, ReadLha, ReadArj, ReadAce, ReadHa, ReadGzip, ReadTar, ReadSevenZip, ReadBzip2,
};

// Pool requests stay multiples of 8, so that entries stay aligned.
constexpr size_t kPoolAlign = 8;
size_t Aligned(size_t n) { return (n + kPoolAlign - 1) / kPoolAlign * kPoolAlign; }

// "/" ranks below every other character, so that a directory's members
// follow it directly: "a" < "a/x" < "a b" < "ab".
uint32_t PathRank(wchar_t c) { return c == L'/' ? 1 : static_cast<uint32_t>(c) + 2; }

int ComparePaths(const wchar_t* a, const wchar_t* b) {
  for (;; ++a, ++b) {
    if (*a == 0 || *b == 0 || *a != *b) {
      const uint32_t ra = *a == 0 ? 0 : PathRank(*a), rb = *b == 0 ? 0 : PathRank(*b);
      return ra < rb ? -1 : ra > rb ? 1 : 0;
    }
  }
}

// By directory only, which keeps a directory's members together cheaply;
// a level's names are sorted when it is listed. Members of one directory
// mostly share its text.
bool EntryBefore(const ArchiveEntry* a, const ArchiveEntry* b) {
  return a->path != b->path && ComparePaths(a->path, b->path) < 0;
}

// Whether path is directory itself (*below false) or lies under it (*below
// true); the top ("") holds every path.
bool PathInside(const wchar_t* path, const Westring& directory, bool* below) {
  const int n = directory.Length();
  if (n > 0 && (std::wcsncmp(path, directory.c_str(), static_cast<size_t>(n)) != 0 ||
                (path[n] != 0 && path[n] != L'/')))
    return false;
  *below = n == 0 ? path[0] != 0 : path[n] == L'/';
  return true;
}

// The stored path up to its first NUL, without empty, "." and ".."
// components: a path is a C string to every later step, and a panel cannot
// show an empty, "." or ".." name ("a//b" names a/b).
Westring CleanMemberPath(const Westring& stored) {
  const wchar_t* at = stored.c_str();
  std::wstring path;
  while (*at != 0) {
    const wchar_t* end = at;
    while (*end != 0 && *end != L'/') ++end;
    const size_t length = static_cast<size_t>(end - at);
    const bool dots = at[0] == L'.' && (length == 1 || (length == 2 && at[1] == L'.'));
    if (length > 0 && !dots) {
      if (!path.empty()) path += L'/';
      path.append(at, length);
    }
    at = *end != 0 ? end + 1 : end;
  }
  return Westring(path.c_str());
}

}  // namespace

const char* ArchiveFormatName(int format) {
  static const char* const kNames[ArchiveFormatCount] = {"ZIP", "RAR", "LHA", "ARJ", "ACE",
                                                          "HA", "GZIP", "TAR", "7Z", "BZIP2"};
  return format >= 0 && format < ArchiveFormatCount ? kNames[format] : "";
}

size_t TArchiveBuilder::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (offset < 0) return 0;
  ViewFile& file = File();
  if (count > WindowSize / 4) {
    const ssize_t got = file.ReadDirect(buffer, count, offset);
    return got > 0 ? static_cast<size_t>(got) : 0;
  }
  const bool inside = offset >= m_windowStart && offset + static_cast<int64_t>(count) <= m_windowStart + static_cast<int64_t>(m_windowLength);
  if (!inside) {
    if (!m_window) m_window = std::make_unique<uint8_t[]>(WindowSize);
    // Walking back, the window ends at the read; walking on, it starts there.
    const bool backwards = m_windowLength > 0 && offset < m_windowStart;
    m_windowStart = backwards ? std::max<int64_t>(0, offset + static_cast<int64_t>(count) - static_cast<int64_t>(WindowSize)) : offset;
    const ssize_t got = file.ReadDirect(m_window.get(), WindowSize, m_windowStart);
    m_windowLength = got > 0 ? static_cast<size_t>(got) : 0;
  }
  if (offset >= m_windowStart + static_cast<int64_t>(m_windowLength)) return 0;
  const size_t from = static_cast<size_t>(offset - m_windowStart);
  const size_t got = std::min(count, m_windowLength - from);
  std::memcpy(buffer, m_window.get() + from, got);
  return got;
}

// Each conversion of a local time asks the system about the time zone (a
// stat of its file): the start of each hour is converted once and kept,
// since clocks change on whole hours.
int64_t DosTimeToSeconds(uint16_t dosDate, uint16_t dosTime) {
  struct THourStart {
    uint32_t key = ~0u;
    int64_t seconds = 0;
  };
  static THourStart cache[512];
  const uint32_t hour = dosTime >> 11;
  const uint32_t key = static_cast<uint32_t>(dosDate) << 5 | hour;
  THourStart& slot = cache[key % 512];
  if (slot.key != key) {
    slot.key = key;
    slot.seconds = static_cast<int64_t>(TTimeValue::FromDos(dosDate, static_cast<uint16_t>(hour << 11)).seconds);
  }
  return slot.seconds + ((dosTime >> 5) & 0x3F) * 60 + (dosTime & 0x1F) * 2;
}

static Westring WithSlashes(Westring name) {
  const int length = name.Length();
  for (int i = 0; i < length; ++i)
    if (name[i] == L'\\') name[i] = L'/';
  return name;
}

Westring ArchiveNameUtf8(const char* bytes, size_t count) {
  Westring name;
  (void)DecodeUtf8(bytes, static_cast<int>(count), &name);
  return WithSlashes(name);
}

Westring ArchiveName8(const char* bytes, size_t count) {
  Westring name;
  if (!DecodeUtf8(bytes, static_cast<int>(count), &name))
    (void)CodePageToWide(bytes, static_cast<int>(count), CurrentCodePage(), &name);
  return WithSlashes(name);
}

ArchiveReader::ArchiveReader() = default;
ArchiveReader::~ArchiveReader() = default;

void ArchiveReader::Reset() {
  m_entries.clear();
  m_entries.shrink_to_fit();
  m_pool.Reset();
  m_found = 0;
  m_lastDirectory = nullptr;
  m_lastDirectoryLength = -1;
}

int ArchiveReader::Open(const Westring& name) { return OpenFormats(name, 0, ArchiveFormatCount - 1); }

int ArchiveReader::OpenAs(const Westring& name, int format) { return OpenFormats(name, format, format); }

int ArchiveReader::OpenFormats(const Westring& name, int first, int last) {
  Reset();
  m_name = name;
  m_format = ArchiveNone;
  m_lastReport = Westring();
  ForgetWindow();
  if (first < 0 || last >= ArchiveFormatCount || m_file.Open(name) != 0 || m_file.KnownSize() == 0) {
    m_file.Close();
    return ArchiveNone;
  }
  {
    std::unique_ptr<DirReadProgress> progress;
    if (!m_quiet) progress = std::make_unique<DirReadProgress>(&m_found);
    g_breakFlag = 1;
    for (int format = first; format <= last; ++format) {
      Reset();
      const FormatResult result = ReadFormat(format);
      if (result == FormatResult::Declined) continue;
      if (result == FormatResult::Read) m_format = format;
      break;
    }
    g_breakFlag = 0;
  }
  m_file.Close();
  if (m_format == ArchiveNone) Reset();
  else Sort();
  return m_format;
}

// A compressed file is first tried as a compressed tar.
FormatResult ArchiveReader::ReadFormat(int format) {
  m_holdsTar = false;
  if (format == ArchiveGzip || format == ArchiveBzip2) {
    const FormatResult result = ReadCompressedTar(*this, format);
    if (result != FormatResult::Declined) {
      m_holdsTar = true;
      return result;
    }
    Reset();
  }
  return kReaders[format](*this);
}

void ArchiveReader::Report(const char* message) {
  m_lastReport = Westring(message);
  if (!m_quiet) MessageBox(m_lastReport, m_name, MessageStyle::Ok);
}

bool ArchiveReader::Interrupted() const { return g_breakFlag == 2; }

const wchar_t* ArchiveReader::Store(const wchar_t* text, int length) {
  auto* copy = static_cast<wchar_t*>(m_pool.Allocate(Aligned((static_cast<size_t>(length) + 1) * sizeof(wchar_t))));
  if (copy == nullptr) return nullptr;
  std::wmemcpy(copy, text, static_cast<size_t>(length));
  copy[length] = 0;
  return copy;
}

// Members come grouped by directory in most archives: one text serves a run.
const wchar_t* ArchiveReader::DirectoryText(const wchar_t* path, int length) {
  if (m_lastDirectory != nullptr && length == m_lastDirectoryLength &&
      std::wmemcmp(path, m_lastDirectory, static_cast<size_t>(length)) == 0)
    return m_lastDirectory;
  const wchar_t* stored = Store(path, length);
  if (stored != nullptr) {
    m_lastDirectory = stored;
    m_lastDirectoryLength = length;
  }
  return stored;
}

bool ArchiveReader::Add(const TFoundMember& member) {
  const Westring& stored = member.path;
  const int storedLength = stored.Length();
  const bool dotSlash = stored == L"." || (storedLength >= 2 && stored[0] == L'.' && stored[1] == L'/');
  const bool directory = member.directory || (storedLength > 0 && stored[storedLength - 1] == L'/');
  const Westring clean = CleanMemberPath(stored);
  if (clean.IsEmpty()) return true;  // the top itself: nothing to list
  const wchar_t* text = clean.c_str();
  const int length = clean.Length();

  int split = length;
  if (!directory) {
    split = 0;
    for (int i = length; i > 0; --i)
      if (text[i - 1] == L'/') {
        split = i;
        break;
      }
  }
  auto* entry = static_cast<ArchiveEntry*>(m_pool.Allocate(Aligned(sizeof(ArchiveEntry))));
  if (entry == nullptr) return false;
  const int directoryLength = directory ? length : std::max(0, split - 1);
  entry->path = DirectoryText(text, directoryLength);
  entry->name = directory ? nullptr : Store(text + split, length - split);
  if (entry->path == nullptr || (!directory && entry->name == nullptr)) return false;
  entry->size = directory ? ArchiveEntry::UnknownSize : member.size;
  entry->packedSize = member.packedSize;
  entry->time = member.time;
  entry->attributes = member.attributes | (directory ? ArchiveAttr::Directory : 0);
  entry->owner = member.owner;
  entry->group = member.group;
  entry->dotSlash = dotSlash;
  m_entries.push_back(entry);
  m_found.fetch_add(1, std::memory_order_relaxed);
  return true;
}

// Many archives store their members in order already.
void ArchiveReader::Sort() {
  if (!std::is_sorted(m_entries.begin(), m_entries.end(), EntryBefore))
    std::stable_sort(m_entries.begin(), m_entries.end(), EntryBefore);
}

// The level's own members come first (their directory sorts before any
// deeper one): they go out sorted by name, then the directories below.
void ArchiveReader::List(const Westring& directory, const std::function<bool(const TListedMember&)>& each) const {
  auto first = std::lower_bound(m_entries.begin(), m_entries.end(), directory.c_str(),
                                [](const ArchiveEntry* e, const wchar_t* path) { return ComparePaths(e->path, path) < 0; });
  auto it = first;
  std::vector<const ArchiveEntry*> files;
  bool below = false;
  for (; it != m_entries.end() && PathInside((*it)->path, directory, &below) && !below; ++it)
    if ((*it)->name != nullptr) files.push_back(*it);
  std::sort(files.begin(), files.end(),
            [](const ArchiveEntry* a, const ArchiveEntry* b) { return std::wcscmp(a->name, b->name) < 0; });
  for (const ArchiveEntry* e : files) {
    const TListedMember listed{e->name, static_cast<int>(std::wcslen(e->name)), false, e->size, e->time,
                               e->attributes, e->owner, e->group, e->dotSlash};
    if (!each(listed)) return;
  }
  const int start = directory.IsEmpty() ? 0 : directory.Length() + 1;
  const wchar_t* lastDirectory = nullptr;
  int lastLength = 0;
  for (; it != m_entries.end() && PathInside((*it)->path, directory, &below); ++it) {
    const ArchiveEntry& e = **it;
    const wchar_t* component = e.path + start;
    const wchar_t* slash = std::wcschr(component, L'/');
    const int length = slash != nullptr ? static_cast<int>(slash - component) : static_cast<int>(std::wcslen(component));
    if (lastDirectory != nullptr && length == lastLength && std::wmemcmp(component, lastDirectory, static_cast<size_t>(length)) == 0)
      continue;
    lastDirectory = component;
    lastLength = length;
    const TListedMember listed{component, length, true, ArchiveEntry::UnknownSize, e.time, ArchiveAttr::Directory,
                               e.owner, e.group, e.dotSlash};
    if (!each(listed)) return;
  }
}

bool ArchiveReader::HasDirectory(const Westring& directory) const {
  if (directory.IsEmpty()) return true;
  auto first = std::lower_bound(m_entries.begin(), m_entries.end(), directory.c_str(),
                                [](const ArchiveEntry* e, const wchar_t* path) { return ComparePaths(e->path, path) < 0; });
  bool below = false;
  return first != m_entries.end() && PathInside((*first)->path, directory, &below);
}
