#pragma once
// The directory-entry search: opens a directory, walks it record by record
// and returns the names that pass a file-name mask and an attribute mask, in
// the manner of a disk operating system's find-first/find-next calls, each
// filled into an entry from the file system's status. One search per
// listing; not shared between threads.
#include <dirent.h>

#include <cstdint>
#include <functional>

#include "foundation/Westring.h"
#include "panels/Entry.h"

/// Bits of a search's attribute mask.
namespace SearchAttr {
constexpr uint32_t ReadOnly = 0x0001;  // accepted, no effect
constexpr uint32_t Hidden = 0x0002;    // include names beginning with "."
constexpr uint32_t System = 0x0004;    // accepted, no effect
constexpr uint32_t Directory = 0x0010; // include directories
constexpr uint32_t Archive = 0x0020;   // accepted, no effect
constexpr uint32_t Allocate = 0x10000; // return each match as a new entry the caller owns
constexpr uint32_t DirectoriesOnly = 0x20000;  // with Directory: directories and nothing else
/// What the panel read asks for: everything, allocated.
constexpr uint32_t PanelRead = 0x10037;
}  // namespace SearchAttr

/// Result codes besides 0 (a match) and errno values.
namespace SearchResult {
constexpr int NoMoreEntries = 0x40000001;
constexpr int DriveNotReady = 0x40000002;
}  // namespace SearchResult

/// Longest name the embedded result entry holds.
constexpr int SearchNameLimit = 512;

class DirSearch {
 public:
  /// A search whose patterns are resolved against baseDirectory.
  explicit DirSearch(const Westring& baseDirectory);
  /// Closes the stream.
  ~DirSearch();
  DirSearch(const DirSearch&) = delete;
  DirSearch& operator=(const DirSearch&) = delete;

  /// Opens the directory of pattern (its part up to the last "/", joined to
  /// the base directory) and returns the first match as FindNext does. The
  /// mask's Allocate bit decides who owns *result: with it the caller owns a
  /// new entry; without it *result points into the search and stays valid
  /// until the next call. Returns 0, SearchResult::NoMoreEntries or an errno
  /// value (the open failing, or a read error).
  int FindFirst(const Westring& pattern, uint32_t attributes, entry** result);
  /// The next match; the same results as FindFirst.
  int FindNext(entry** result);
  /// Closes the stream early; harmless when none is open.
  void Close();
  /// Lists every match of pattern at once, as new entries in directory
  /// order, each handed to take, which owns it from then on and returns
  /// false to stop the listing. Large directories are examined on two
  /// threads; take is called on the caller's thread only. Returns
  /// SearchResult::NoMoreEntries after the last match, 0 when take stopped,
  /// or an errno value (the open failing, or a read error after the matches
  /// read before it were handed over).
  int FindAll(const Westring& pattern, uint32_t attributes,
              const std::function<bool(entry*)>& take);
  /// FindFirst followed by Close: tests for and examines one name. Without
  /// the Allocate bit the entry stays readable through LastEntry().
  int FindOne(const Westring& pattern, uint32_t attributes, entry** result = nullptr);

  /// The embedded result of the last call without the Allocate bit.
  const entry& LastEntry() const { return *m_embedded; }
  /// The directory the last FindFirst opened, as given to the system.
  const Westring& Directory() const { return m_directory; }
  int LastError() const { return m_lastError; }

 private:
  int Examine(const char* name, entry** result);
  bool Accepts(const wchar_t* name) const;
  bool AcceptsType(uint16_t flags) const;
  void Start(const Westring& pattern, uint32_t attributes);

  Westring m_base;
  Westring m_directory;
  Westring m_mask;           // the file-name part of the pattern
  uint32_t m_attributes = 0;  // without the Allocate bit
  bool m_allocate = false;
  DIR* m_stream = nullptr;
  int m_lastError = 0;
  // The embedded result: a header with room for SearchNameLimit characters.
  alignas(entry) unsigned char m_embeddedBlock[sizeof(entry) + sizeof(wchar_t) * (SearchNameLimit + 1)] = {};
  entry* m_embedded = reinterpret_cast<entry*>(m_embeddedBlock);
};

/// The search's own name test: "*" and "?" only, exact characters otherwise.
/// An empty mask matches only an empty name; "?" never matches the end.
bool MaskMatch(const wchar_t* mask, const wchar_t* name);

/// The directory a pattern lives in: its part up to and including the last
/// "/" (a drive prefix such as "c:/" counts whole), joined to base with one
/// "/", also when it begins with "/"; "/" or "." when that is empty.
Westring SearchDirectory(const Westring& base, const Westring& pattern);

/// What examining one name finds: the status fields a search fills into
/// its entry (flags without the name's hidden bit).
struct TEntryStatus {
  int64_t size = 0;
  uint32_t timeNs = 0;
  uint32_t timeSec = 0;
  uint16_t flags = 0;
  uint16_t mode = 0;
  uint16_t owner = 0;
  uint16_t group = 0;
};

/// The status a search gives from an lstat result and, for a link, the stat
/// of its target (null when the target cannot be examined).
TEntryStatus EntryStatusOf(const struct stat& own, const struct stat* target);
/// Examines name in the directory open as dirFd without following a link,
/// then its target when it is a link; false when the name cannot be examined.
bool ExamineAt(int dirFd, const char* name, TEntryStatus* status);
/// Fills the status fields of e the way a search does; the name's hidden
/// bit is decided by hiddenName. Tags and size-known are cleared.
void FillEntryStatus(entry* e, const TEntryStatus& status, bool hiddenName);

/// True for a name that counts as hidden: a leading "." and not "..".
bool IsHiddenName(const wchar_t* name);

/// The bytes the file system holds for name in directory. Names that are not
/// valid UTF-8 are widened byte by byte and so do not encode back to what
/// is on disk, and a case-converted panel shows names in another case; such
/// a name is looked up among the directory's own names.
/// Falls back to the UTF-8 of name.
Estring SystemName(const Westring& directory, const Westring& name);
