// Reading a panel's directory into its entries: what is dropped, how ".."
// is supplied, how tags survive a re-read, and what happens on errors.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwchar>

#include "console/Console.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressThread.h"
#include "foundation/CaseFold.h"
#include "foundation/PlatformLinux.h"
#include "foundation/SysCalls.h"
#include "panels/DirSearch.h"
#include "panels/Expression.h"
#include "panels/Histories.h"
#include "panels/Panel.h"
#include "panels/PanelSort.h"
#include "panels/TreeHooks.h"

namespace {

constexpr int LargeReadEntries = 10000;

bool IsName(const entry& e, const wchar_t* name) { return std::wcscmp(e.Name(), name) == 0; }

// Case-filter file systems show files in lower case and directories in upper case.
void ConvertCase(entry* e) {
  for (wchar_t* p = e->Name(); *p != 0; ++p) *p = e->IsDirectory() ? FoldChar(*p) : LowerChar(*p);
}

entry* MakeUpDirEntry() {
  entry* e = entry::Make(L"..");
  if (e == nullptr) return nullptr;
  e->flags = EntryFlag::Directory;
  e->sortClass = SortClass::UpDir;
  return e;
}

}  // namespace

Westring CPanel::PathOf(const wchar_t* name) const {
  Westring path = m_directory;
  if (path.IsEmpty() || path[path.Length() - 1] != L'/') path += L'/';
  path += name;
  return path;
}

Westring CPanel::LinkTarget(const entry& e) { return m_links.LinkTarget(PathOf(e.Name())); }

std::function<std::unique_ptr<CArchiveListing>(const Westring& path)> g_openArchiveListing;

bool CPanel::UsesCaseFilter() const {
  if (InArchive() || g_settings.caseFilter.IsEmpty() || m_directory.IsEmpty() || m_directory[0] != L'/') return false;
  const Westring type = Sys::FileSystemType(m_directory);
  return !type.IsEmpty() && g_settings.caseFilter.FindSubNoCase(type) >= 0;
}

// Moves the tagged entries into kept and frees the rest.
void CPanel::KeepTaggedEntries(EntryStore* kept) {
  for (int i = Count() - 1; i >= 0; --i) {
    if (At(i)->tagged) kept->Append(m_entries.Detach(i));
  }
}

// Tags of the entries kept from the last read go to the entries of the same
// name: one sorted copy of the array, one binary search per kept entry.
void CPanel::RestoreTags(EntryStore* kept) {
  const int count = Count();
  entry** byName = new entry*[count > 0 ? count : 1];
  std::copy(m_entries.Items(), m_entries.Items() + count, byName);
  SortByExactName(byName, count);
  for (const entry* old : *kept) {
    int low = 0, high = count - 1;
    while (low <= high) {
      const int middle = (low + high) / 2;
      const int order = std::wcscmp(byName[middle]->Name(), old->Name());
      if (order == 0) {
        entry* found = byName[middle];
        found->tagged = old->tagged;
        found->previouslyTagged = old->previouslyTagged;
        if (found->tagged) {
          ++m_taggedCount;
          m_taggedBytes += found->size;
        }
        break;
      }
      if (order < 0) low = middle + 1;
      else high = middle - 1;
    }
  }
  delete[] byName;
}

int CPanel::ReadDirectory() {
  // Inside an archive ".." carries the archive file's time.
  const uint32_t archiveTime = LeaveArchiveIfOutside();
  const bool caseFilter = UsesCaseFilter();
  const bool sameDirectory = m_directory == m_previousDirectory;
  Westring cursorName;
  EntryStore kept;
  if (sameDirectory) {
    if (const entry* current = CursorEntry()) cursorName = current->Name();
    KeepTaggedEntries(&kept);
  }
  m_entries.Clear();
  m_taggedCount = 0;
  m_taggedBytes = 0;
  m_directoryTotal = 0;
  m_subdirectories.Clear();
  m_links.Clear();
  m_readError = 0;

  const bool isRoot = m_directory == L"/";
  bool upDirRead = false;
  int err = 0;
  {
    std::atomic<int32_t> fileCount{0};
    DirReadProgress progress(&fileCount);
    g_breakFlag = 1;
    auto add = [&](entry* e) {
      fileCount.fetch_add(1, std::memory_order_relaxed);
      if (!e->IsDirectory()) m_directoryTotal += e->size;
      if (FilterKeeps(e, isRoot, &upDirRead)) {
        if (caseFilter) ConvertCase(e);
        if (!m_entries.Append(e)) delete e;
      } else {
        delete e;
      }
      return g_breakFlag != 2;
    };
    if (m_archive != nullptr) {
      err = m_archive->List(InnerPath(m_directory), add);
    } else {
      DirSearch search(m_directory);
      err = search.FindAll(L"*", SearchAttr::PanelRead, add);
    }
    g_breakFlag = 0;
  }
  if (m_archive == nullptr)
    g_treeHooks.directoryRead(*this, !caseFilter && g_settings.hidden && err == SearchResult::NoMoreEntries);
  if (!isRoot && !upDirRead) {
    if (entry* up = MakeUpDirEntry()) {
      if (m_archive != nullptr) up->timeSec = archiveTime;
      if (!m_entries.InsertFirst(up)) delete up;
    }
  }
  SortEntries(m_entries.Items(), Count(), m_sort);
  if (kept.Count() > 0) RestoreTags(&kept);
  // A large read leaves the old entries and the sort's keys free in the
  // heap; they go back to the system.
  if (Count() >= LargeReadEntries) Platform::ReleaseFreeMemory();
  m_previousDirectory = m_directory;
  if (!sameDirectory || !PutCursorOn(cursorName.c_str())) SetCursorIndex(CursorIndex());
  return ReportReadError(err);
}

// The drop rules of a read: "." always; ".." at "/"; hidden and system
// entries unless Hidden is on; files the panel's filter refuses.
bool CPanel::FilterKeeps(entry* e, bool isRoot, bool* upDirRead) {
  const wchar_t* name = e->Name();
  if (IsName(*e, L".")) return false;
  if (IsName(*e, L"..")) {
    if (isRoot) return false;
    *upDirRead = true;
  }
  if (!g_settings.hidden && (e->flags & (EntryFlag::Hidden | EntryFlag::System))) return false;
  if (!e->IsDirectory() && !m_filter.IsEmpty() && EvaluateExpression(m_filter.c_str(), *e) == 0) return false;
  if (e->IsDirectory() && !IsName(*e, L"..")) m_subdirectories.AppendCopy(Westring(name));
  e->sortClass = SortClassOf(*e);
  return true;
}

// End of the directory is an ordinary listing. A path that cannot be listed
// (gone, a link loop, not a directory, denied) is reported and the panel goes
// to its parent, climbing past parents that have gone too with no further
// report; anything else is kept for the status line.
int CPanel::ReportReadError(int err) {
  if (err == 0 || err == SearchResult::NoMoreEntries || err == -1) return m_readError = 0;
  const bool goesUp =
      (err == ENOENT || err == ELOOP || err == ENOTDIR || err == ENAMETOOLONG || err == EACCES) &&
      m_directory != L"/";
  if (err != SearchResult::DriveNotReady && !m_climbing)
    MessageBox(Sys::ErrorText(err), m_directory, MessageStyle::Ok);
  if (goesUp) {
    const bool climbing = m_climbing;
    m_climbing = true;
    ParentDirectory();
    m_climbing = climbing;
    return m_readError;
  }
  return m_readError = err;
}

void CPanel::ParentDirectory() {
  if (m_directory == L"/" || m_directory.IsEmpty()) return;
  Westring path = m_directory;
  path.RemoveTrailingSlash();
  const Westring child = path.NamePart();
  Westring parent = path.DirPart();
  if (parent.IsEmpty()) parent = L"/";
  RememberPosition();
  m_directory = parent;
  m_taggedCount = 0;
  m_firstVisible = 0;
  m_cursorOffset = 0;
  ReadDirectory();
  RestorePosition();
  const entry* current = CursorEntry();
  if (current == nullptr || child != current->Name()) PutCursorOn(child.c_str());
}

int CPanel::EnterOrReport(const Westring& directory) {
  const int err = EnterDirectory(directory);
  if (err != 0) MessageBox(Westring("Invalid directory"), directory, MessageStyle::Ok);
  return err;
}

int CPanel::EnterDirectory(const Westring& name, bool keepTags, int firstVisible, int cursorOffset) {
  m_readError = 0;
  const bool up = name == L"..";
  const Westring target = name[0] == L'/' ? name : PathOf(name.c_str());
  // Only a path that is not there or not a directory is refused; one that
  // cannot be listed is read, and the read reports it and goes up.
  if (!up && !name.IsEmpty()) {
    if (InsideArchive(target)) {
      if (!m_archive->HasDirectory(InnerPath(target))) return ENOENT;
    } else if (int err = Sys::CheckDirectory(target)) {
      return err == ENOTDIR && EnterArchivePath(target) ? 0 : err;
    }
  }
  if (!name.IsEmpty()) RecordDirectory(m_directory);
  if (up) {
    ParentDirectory();
  } else {
    if (!keepTags) m_previousDirectory = Westring();  // a read of a new directory drops tags
    if (!name.IsEmpty()) {
      RememberPosition();
      m_directory = target;
      m_firstVisible = 0;
      m_cursorOffset = 0;
    }
    ReadDirectory();
    RestorePosition();
  }
  if (firstVisible >= 0 && firstVisible < Count()) m_firstVisible = firstVisible;
  if (cursorOffset >= 0) SetCursorIndex(m_firstVisible + cursorOffset);
  EndQuickSearch();
  (void)Sys::ChangeDirectory(WorkingDirectory());
  m_redrawPending = true;
  return 0;
}

bool CPanel::EnterCursorEntry() {
  const entry* current = CursorEntry();
  if (current != nullptr && !current->IsDirectory() && !(current->flags & EntryFlag::BrokenLink)) {
    // Inside an archive a member is no program to run.
    return InArchive() || EnterArchive(PathOf(current->Name()));
  }
  // A broken link may have been meant as a directory: entering it reports why it cannot be.
  if (current == nullptr || !(current->IsDirectory() || (current->flags & EntryFlag::BrokenLink)))
    return false;
  const int err = EnterDirectory(current->IsUpDir() ? Westring(L"..") : Westring(current->Name()));
  if (err != 0) MessageBox(Sys::ErrorText(err), PathOf(current->Name()), MessageStyle::Ok);
  return true;
}

void CPanel::Refresh() {
  if (m_rereadPending) ReadDirectory();
  if (m_rereadPending || m_redrawPending) Draw();
  m_rereadPending = m_redrawPending = false;
}

// --- Archives --------------------------------------------------------------------

bool CPanel::InsideArchive(const Westring& path) const {
  if (m_archive == nullptr) return false;
  const Westring& archive = m_archive->ArchivePath();
  const int n = archive.Length();
  return path.Length() >= n && path.Left(n).EqualsNoCase(archive) && (path.Length() == n || path[n] == L'/');
}

Westring CPanel::InnerPath(const Westring& path) const {
  const int n = m_archive->ArchivePath().Length();
  return path.Length() > n ? path.Mid(n + 1) : Westring();
}

// A directory outside the archive, or an archive file that has gone or can
// no longer be read, leaves it; the archive file's modification time, when
// the panel stays inside.
uint32_t CPanel::LeaveArchiveIfOutside() {
  if (m_archive == nullptr) return 0;
  struct stat archive {};
  if (InsideArchive(m_directory) && stat(m_archive->ArchivePath().ToUtf8().c_str(), &archive) == 0 &&
      !S_ISDIR(archive.st_mode) && m_archive->RefreshIfChanged() == 0) {
    // A directory the archive no longer holds: its top is shown instead.
    if (!m_archive->HasDirectory(InnerPath(m_directory))) m_directory = m_archive->ArchivePath();
    return static_cast<uint32_t>(archive.st_mtime);
  }
  CloseArchive();
  return 0;
}

Westring CPanel::WorkingDirectory() const {
  if (m_archive == nullptr) return m_directory;
  const Westring holding = m_archive->ArchivePath().DirPart();
  return holding.IsEmpty() ? Westring(L"/") : holding;
}

void CPanel::CloseArchive() {
  if (m_archive == nullptr) return;
  m_archive->PutBackExtracted();
  m_archive.reset();
}

bool CPanel::EnterArchive(const Westring& file, const Westring& inner) {
  if (!g_openArchiveListing) return false;
  std::unique_ptr<CArchiveListing> archive = g_openArchiveListing(file);
  if (archive == nullptr) return false;
  if (!inner.IsEmpty() && !archive->HasDirectory(inner)) return false;
  RecordDirectory(m_directory);
  RememberPosition();
  CloseArchive();
  m_archive = std::move(archive);
  m_directory = inner.IsEmpty() ? m_archive->ArchivePath() : m_archive->ArchivePath() + L"/" + inner;
  m_previousDirectory = Westring();
  m_firstVisible = 0;
  m_cursorOffset = 0;
  ReadDirectory();
  RestorePosition();
  EndQuickSearch();
  m_redrawPending = true;
  return true;
}

// A path through an archive file ("/d/a.zip/sub"), or to one: the archive
// is the leading part that is a file.
bool CPanel::EnterArchivePath(const Westring& path) {
  if (Sys::CheckDirectory(path) == ENOTDIR && Sys::Exists(path)) return EnterArchive(path);
  for (int slash = 1; slash < path.Length(); ++slash) {
    if (path[slash] != L'/') continue;
    const Westring file = path.Left(slash);
    if (Sys::CheckDirectory(file) == ENOTDIR) return EnterArchive(file, path.Mid(slash + 1));
  }
  return false;
}
