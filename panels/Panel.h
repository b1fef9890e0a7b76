#pragma once
// One of the two file panels: a directory's entries in one of five list
// styles, kept sorted, with a cursor, tags and quick search. The main loop
// routes keys to the active panel and calls the operations below; the
// panel draws itself into the console. Application thread only.
#include <cstdint>
#include <memory>
#include <vector>

#include "config/Settings.h"
#include "foundation/StringCollections.h"
#include "foundation/Westring.h"
#include "panels/ArchiveListing.h"
#include "panels/EntryArray.h"
#include "panels/LinkTargetCache.h"
#include "panels/PanelLayout.h"
#include "panels/PanelPositions.h"

enum class PanelSide : int { Left = 0, Right = 1 };

/// How a tagging operation treats an entry.
enum class TagMode : int { Untag = -1, Toggle = 0, Tag = 1 };

/// Which way a quick search looks from the cursor.
enum class SearchDirection : int { Backward = -1, Here = 0, Forward = 1 };

class CPanel {
 public:
  explicit CPanel(PanelSide side);
  CPanel(const CPanel&) = delete;
  CPanel& operator=(const CPanel&) = delete;

  PanelSide Side() const { return m_side; }
  /// "left" or "right", as dialogs name the panel.
  const wchar_t* SideName() const { return m_side == PanelSide::Left ? L"left" : L"right"; }
  /// Takes style, sort order, type and filter from the settings of this side;
  /// the directory is entered by start-up, which resolves and reads it.
  void LoadSettings();
  /// Puts style, sort order, type, filter and directory back into the settings.
  void StoreSettings() const;

  // Reading (PanelRead.cpp).
  const Westring& Directory() const { return m_directory; }
  /// Sets the directory without reading it.
  void SetDirectory(const Westring& directory) { m_directory = directory; }
  /// Rebuilds the entries for the current directory and returns the error
  /// kept for drawing: 0, SearchResult::DriveNotReady or another value that
  /// the status line reports as " Error reading drive". The user has seen
  /// any message already.
  int ReadDirectory();
  /// Reads the parent directory and puts the cursor on the child left; at "/"
  /// nothing happens.
  void ParentDirectory();
  /// The panel's change into a subdirectory (a name), to ".." or to an
  /// absolute path: the directory left goes to the directory history, its
  /// position is remembered and the new one's restored (or firstVisible and
  /// cursorOffset applied when given), tags are dropped unless keepTags, and
  /// the process follows into the directory. 0 (a directory that cannot be
  /// listed has been reported and left for its parent), or the errno of a
  /// path that is not there or not a directory (the panel then stays).
  int EnterDirectory(const Westring& name, bool keepTags = false, int firstVisible = -1, int cursorOffset = -1);
  /// EnterDirectory for a directory the user chose, telling "Invalid
  /// directory" when the panel cannot go there; its result.
  int EnterOrReport(const Westring& directory);
  /// Enter on the cursor: ".." goes to the parent, a directory is entered, a
  /// broken link reports the system's reason; false for a file (the caller
  /// runs or opens it).
  bool EnterCursorEntry();
  /// What the main loop brings up to date before it reads the next key.
  void MarkForReread() { m_rereadPending = true; }
  void MarkForRedraw() { m_redrawPending = true; }
  bool RereadPending() const { return m_rereadPending; }
  /// Re-reads and redraws as marked.
  void Refresh();
  /// The target of a link entry of this panel (cached until the next read).
  Westring LinkTarget(const entry& e);
  /// The directory path joined with a name.
  Westring PathOf(const wchar_t* name) const;
  /// Inside an archive the directory is the archive's path, "/" and the
  /// directory within it; nothing there is a file of the file system.
  bool InArchive() const { return m_archive != nullptr; }
  const CArchiveListing* Archive() const { return m_archive.get(); }
  CArchiveListing* Archive() { return m_archive.get(); }
  /// Where commands for the panel run: its directory, or inside an archive
  /// the directory holding the archive file.
  Westring WorkingDirectory() const;
  /// The directory shown inside the archive ("" at its top).
  Westring InnerDirectory() const { return InArchive() ? InnerPath(m_directory) : Westring(); }
  /// Closes the archive shown (an edited member goes back first); the
  /// directory is left as it is for the next read to settle.
  void CloseArchive();
  /// Shows the file as a directory when it is an archive; false when it is
  /// not one (or it is damaged, and the user has been told).
  bool EnterArchive(const Westring& file, const Westring& inner = Westring());
  int ReadError() const { return m_readError; }
  /// Names of the directories of the last read (for keeping the tree current).
  const WestringStore& Subdirectories() const { return m_subdirectories; }
  /// The sizes of all files of the last read, shown or not.
  int64_t DirectoryTotal() const { return m_directoryTotal; }

  // Entries and cursor.
  int Count() const { return m_entries.Count(); }
  entry* At(int i) const { return m_entries.At(i); }
  int CursorIndex() const { return m_firstVisible + m_cursorOffset; }
  entry* CursorEntry() const { return m_entries.At(CursorIndex()); }
  int FirstVisible() const { return m_firstVisible; }
  /// Entries one page shows: rows times entries per row.
  int PageCapacity() const { return m_geometry.rows * m_layout.entriesPerRow; }
  /// Moves the cursor by delta entries, clamped to the list, scrolling as needed.
  void MoveCursor(int delta);
  /// Moves the cursor to index (clamped), scrolling as needed.
  void SetCursorIndex(int index);
  /// Puts the cursor on the entry with exactly this name, if there is one;
  /// an entry below the page lands on the last visible position, one above
  /// it on the first.
  bool PutCursorOn(const wchar_t* name);
  /// Cursor keys: Up, Down, PgUp, PgDn, Home, End, Left, Right. True when used.
  bool HandleCursorKey(uint32_t key);

  // Style and order.
  PanelStyle Style() const { return m_style; }
  void SetStyle(PanelStyle style);
  SortOrder Order() const { return m_sort; }
  /// A forward order keeps the current direction; the entries are sorted again.
  void SetSortOrder(SortOrder order);
  /// Switches between an order and its reverse and sorts again.
  void ToggleReverse();
  PanelType Type() const { return m_type; }
  void SetType(PanelType type) { m_type = type; }
  const Westring& Filter() const { return m_filter; }
  void SetFilter(const Westring& filter) { m_filter = filter; }

  // Geometry and drawing (PanelDraw.cpp).
  /// Recomputes place and column widths for a screen size.
  void Layout(int columns, int lines, bool fullScreen);
  const TPanelGeometry& Geometry() const { return m_geometry; }
  const TColumnLayout& ColumnLayout() const { return m_layout; }
  void SetActive(bool active) { m_active = active; }
  bool IsActive() const { return m_active; }
  /// Frame, title, every row and the status line.
  void Draw();
  /// One entry's cell, when it is on the page.
  void DrawRow(int index);
  void DrawStatusLine();
  /// The status line's text as it would be drawn (W characters).
  Westring StatusText();

  // Tagging (PanelSelect.cpp).
  /// The entries a command works on, in panel order: the tagged ones, else
  /// the one under the cursor ("..", never). inPlace takes the cursor's
  /// entry even when entries are tagged.
  std::vector<int> ChosenEntries(bool inPlace = false) const;
  int32_t TaggedCount() const { return m_taggedCount; }
  int64_t TaggedBytes() const { return m_taggedBytes; }
  /// Tags, untags or toggles entry index; ".." never, and only in a file list.
  void Tag(int index, TagMode mode);
  /// Applies a mode to every entry (select all, unselect all, invert):
  /// directories only when includeDirectories.
  void TagAll(TagMode mode, bool includeDirectories);
  /// Tags (or untags) every entry matching expression, skipping directories
  /// unless includeDirectories; selecting skips the description files.
  void TagMatching(const wchar_t* expression, bool select, bool includeDirectories);
  /// The select or unselect group dialog; invertDirectories flips the
  /// TagDirs default. False when cancelled.
  bool SelectGroup(bool select, bool invertDirectories);
  /// A directory's computed total becomes entry index's size (shown from
  /// now on); a tagged entry's change goes into the tagged total.
  void SetDirectorySize(int index, int64_t size);
  /// Every entry takes back its previously-tagged state.
  void RestoreSelection();

  // Quick search (QuickSearch.cpp).
  const Westring& QuickSearchText() const { return m_quickSearch; }
  /// Appends ch and moves to the next name beginning with the text; without
  /// a match the character is dropped again and false returned.
  bool QuickSearchChar(wchar_t ch);
  /// The next or previous name that begins with the text.
  bool QuickSearchAgain(SearchDirection direction);
  /// Removes the last character of the text.
  void QuickSearchBackspace();
  /// Extends the text to the longest prefix all matching names share.
  void QuickSearchComplete();
  /// Empties the text (the status line shows the entry again).
  void EndQuickSearch();
  /// Puts the text cursor after "Search: " while a search is open.
  void PlaceQuickSearchCursor() const;
  /// Keys of a running sticky search: Alt+Up, Alt+Down, Backspace, Shift+Tab
  /// completion, plain characters. True when the search used the key; any
  /// other key ends the search and returns false.
  bool HandleQuickSearchKey(uint32_t key);

  // Positions.
  /// Records the directory's first visible index and cursor name.
  void RememberPosition();
  /// Restores the record of the current directory; false when there is none.
  bool RestorePosition();

 private:
  /// Sorts the entries in exactly this order, keeping the cursor's entry.
  void SortAs(SortOrder order);
  // PanelRead.cpp
  void KeepTaggedEntries(EntryStore* kept);
  void RestoreTags(EntryStore* kept);
  bool UsesCaseFilter() const;
  bool FilterKeeps(entry* e, bool isRoot, bool* upDirRead);
  int ReportReadError(int err);
  uint32_t LeaveArchiveIfOutside();
  bool InsideArchive(const Westring& path) const;
  Westring InnerPath(const Westring& path) const;
  bool EnterArchivePath(const Westring& path);
  // PanelDraw.cpp
  void DrawFrame();
  void DrawInfoFrame();
  void DrawFrameTitle(const Westring& title);
  uint8_t RowAttr(const entry& e, bool underCursor) const;
  void DrawEntryCell(int index, int slot);
  // QuickSearch.cpp
  bool FindFromIndex(int start, SearchDirection direction);

  PanelSide m_side;
  Westring m_directory;
  Westring m_previousDirectory;
  CEntryArray m_entries;
  int m_firstVisible = 0;
  int m_cursorOffset = 0;
  int32_t m_taggedCount = 0;
  int64_t m_taggedBytes = 0;
  int64_t m_directoryTotal = 0;
  PanelStyle m_style = PanelStyle::Full;
  SortOrder m_sort = SortOrder::Name;
  PanelType m_type = PanelType::Files;
  Westring m_filter;
  Westring m_quickSearch;
  int m_readError = 0;
  CLinkTargetCache m_links;
  std::unique_ptr<CArchiveListing> m_archive;
  WestringStore m_subdirectories;
  CPosStack m_positions;
  TPanelGeometry m_geometry;
  TColumnLayout m_layout;
  bool m_active = false;
  // A failed read is going up: the failures of its parents are not reported again.
  bool m_climbing = false;
  bool m_rereadPending = false;
  bool m_redrawPending = false;
};

/// The two panels the program shows.
extern CPanel* g_panels[2];
