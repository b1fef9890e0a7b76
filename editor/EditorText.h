#pragma once
// The editor's text: a table of lines whose characters live in a memory
// pool, the line under the cursor edited in a Westring and stored back, the
// cursor and view, the block, flags, bookmarks, the file's format and the
// undo history. Loading and saving (EditorLoad.cpp, EditorSave.cpp) and
// undo (EditorUndo.cpp) work on it. Application thread only.
#include <cstdint>
#include <memory>

#include "editor/TextFileWriter.h"
#include "editor/UndoStack.h"
#include "foundation/MemoryPool.h"
#include "foundation/Westring.h"
#include "viewer/FileStatusStore.h"
#include "viewer/TextEncoding.h"

class ViewTextFile;

namespace VKEditor {

/// Where the view stands. Rows and columns are screen positions relative to
/// the top line and the horizontal scroll.
struct TEditorView {
  int topLine = 0;
  int cursorRow = 0;
  int cursorIndex = 0;    // character index in the cursor line
  int cursorColumn = 0;   // screen column less leftColumn
  int leftColumn = 0;     // horizontal scroll
  int targetColumn = -1;  // kept across vertical moves; -1 none
  int lineDisplayLength = 0;
};

/// The marked text: a stream from start to end, whole lines in between.
struct TEditorBlock {
  bool present = false;
  TTextPos start;
  TTextPos end;
};

struct TEditorFlags {
  bool modified = false;
  bool fullRedraw = false;
  bool readOnly = false;
  bool newFile = false;
  // Esc or a full memory pool stopped the load: the file holds more than
  // the buffer, and saving over it would cut the rest off.
  bool partlyLoaded = false;
};

/// Whether a load starts from the file's settings or keeps the editor's.
enum class LoadKind : uint8_t { Fresh, Reload };

class CEditorText {
 public:
  /// Lines the table has room for at first; it grows when a file has more.
  static constexpr int InitialLineRoom = 0x800000;
  /// The longest line that text may be inserted into.
  static constexpr int MaxLineLength = 65535;
  static constexpr int CurrentLineCapacity = 65536;
  static constexpr int BookmarkCount = TFileStatus::BookmarkCount;
  /// Pool blocks large enough for large pages: big files load with few faults.
  static constexpr size_t PoolBlockSize = size_t{8} << 20;

  /// An empty text of one empty line, LF line ends, the default code page.
  CEditorText();
  ~CEditorText();
  CEditorText(const CEditorText&) = delete;
  CEditorText& operator=(const CEditorText&) = delete;

  // --- Lines ---------------------------------------------------------------

  int LineCount() const { return m_lineCount; }
  /// The characters of a line, 0-terminated; for the current line its
  /// working copy. Valid until the text next changes.
  const wchar_t* LineText(int line) const;
  int LineLength(int line) const;
  /// Empties the text to one empty line and releases the pool; the undo
  /// history stays.
  void Clear();
  /// Appends a line copied into the pool; ENOMEM when the pool or the table
  /// cannot grow.
  [[nodiscard]] int AppendLine(const wchar_t* text, int length);

  // --- The current line ----------------------------------------------------

  /// Makes line the current line (storing the previous one back first).
  void LoadLine(int line);
  /// Copies the current line into the pool when it was changed; returns
  /// ENOMEM when the pool is exhausted (the working copy is kept).
  [[nodiscard]] int StoreLine();
  /// The working copy of the current line; call LineChanged after editing it.
  Westring& CurrentLine() { return m_current; }
  int CurrentLineIndex() const { return m_currentIndex; }
  void LineChanged() { m_currentChanged = true; }

  // --- Text changes, in positions (character index, line) ---------------------

  /// The text of region, lines joined by "\r\n".
  Westring RegionText(const TTextRegion& region);
  /// Removes the text of region, joining its first and last lines.
  [[nodiscard]] int DeleteRegion(const TTextRegion& region);
  /// Inserts text ("\r\n" or "\n" between lines) at at, after blanks up to
  /// at when it lies beyond the end of its line; *end receives the position
  /// after the text. E2BIG, and nothing changes, when a line would grow
  /// beyond MaxLineLength; ENOMEM when memory runs out.
  [[nodiscard]] int InsertText(TTextPos at, const Westring& text, TTextPos* end);

  // --- Cursor and view -----------------------------------------------------

  TEditorView& View() { return m_view; }
  const TEditorView& View() const { return m_view; }
  TTextPos CursorPos() const { return {m_view.cursorIndex, m_view.topLine + m_view.cursorRow}; }
  /// Puts the cursor at pos (clamped to the text), scrolling the view so that
  /// it shows; the cursor line becomes the current line.
  void MoveCursorTo(TTextPos pos);
  /// The text area the view scrolls in: rows below the status line, columns.
  void SetTextArea(int rows, int columns);
  int TextRows() const { return m_textRows; }
  void SetTabWidth(int width) { m_tabWidth = width > 0 ? width : 1; }
  int TabWidth() const { return m_tabWidth; }

  // --- Block, flags, format, bookmarks ---------------------------------------

  TEditorBlock& Block() { return m_block; }
  TEditorFlags& Flags() { return m_flags; }
  const TEditorFlags& Flags() const { return m_flags; }
  TFileFormat& Format() { return m_format; }
  const TFileFormat& Format() const { return m_format; }
  TFileBookmark* Bookmarks() { return m_bookmarks; }
  const Westring& FileName() const { return m_fileName; }
  void SetFileName(const Westring& name) { m_fileName = name; }
  /// Modification time (nanoseconds since the epoch) at loading or the last
  /// save; 0 when none is recorded.
  int64_t LoadTime() const { return m_loadTime; }
  void SetLoadTime(int64_t time) { m_loadTime = time; }

  // --- Undo and redo (EditorUndo.cpp) ---------------------------------------

  /// Records how to undo a change just made: the item goes onto the undo
  /// stack, the redo stack empties, bookmarks follow the change, and the
  /// text counts as modified.
  void PushUndo(UndoItem* item);
  /// Applies the newest undo item; false when there is none. When the
  /// cursor is not where the change was, it only moves there.
  bool Undo();
  /// Applies the newest redo item, the same way.
  bool Redo();
  TUndoStack& UndoItems() { return m_undo; }
  TUndoStack& RedoItems() { return m_redo; }
  /// The present text is the one on disk: undo and redo that come back to it
  /// clear the modified flag.
  void MarkSaved();

  // --- Files (EditorLoad.cpp, EditorSave.cpp) ----------------------------------

  /// Reads file, already opened, into the text. startOffset >= 0 puts the
  /// cursor on that byte and, with highlightLength > 0, marks that many
  /// characters. Messages tell the user about problems; false when nothing
  /// usable was read (the text is then one empty line). The file is read
  /// once from its start, without its read-ahead thread.
  bool Load(ViewTextFile& file, LoadKind kind, int64_t startOffset = -1, int highlightLength = 0);
  /// Starts an empty text for a file that does not exist yet: new and
  /// modified, UTF-8 without a byte-order mark, LF line ends.
  void StartNewFile(const Westring& name);
  /// Writes the text to name in the editor's format; returns 0, an errno
  /// value, or -1 when the user declined a question. The user has been told
  /// about every failure.
  [[nodiscard]] int Save(const Westring& name);
  /// Writes the text to name in the format given, which then becomes the
  /// editor's; a different name becomes the file's name. Returns as Save;
  /// "Unable to open: " is shown when name cannot be opened for writing.
  [[nodiscard]] int SaveAs(const Westring& name, const TFileFormat& format);
  /// Loads the file again after a change of code page or encoding, keeping
  /// the editor's format; unsaved changes are lost only when the user says
  /// so. False when the user declined or the file could not be read.
  bool ReloadWithFormat(const TFileFormat& format);
  /// Turns every line into bytes of code page from and back into characters
  /// of code page to (0: the default text code page).
  void ConvertCodePage(int from, int to);
  /// Keeps the view, bookmarks, history and format of the file in the
  /// program's status store for its next opening; the history moves there.
  void StoreStatus();

 private:
  int GrowTable();
  wchar_t* CopyToPool(const wchar_t* text, int length);
  void InsertTableLines(int at, int count);
  void RemoveTableLines(int at, int count);
  void ScrollToCursor();

  void ApplyItem(TUndoStack& from, TUndoStack& to);
  void AdjustBookmarks(const UndoItem& item);

  void ResetForLoad();
  void TakeFormat(ViewTextFile& file, TFileStatus* record, LoadKind kind);
  bool ReadLines(ViewTextFile& file, int64_t startOffset, TTextPos* startPos);
  void PlaceAt(TTextPos start, int highlightLength);
  void RestoreStatus(TFileStatus& record);
  int WriteFile(const Westring& name);

  std::unique_ptr<const wchar_t*[]> m_lines;
  int m_lineCount = 0;
  int m_lineRoom = 0;
  MemoryPool m_pool;

  // Invalid UTF-8 bytes that looking back at characters counted twice.
  uint64_t m_probedInvalid = 0;

  Westring m_current;
  int m_currentIndex = -1;
  bool m_currentChanged = false;

  TEditorView m_view;
  int m_textRows = 23;
  int m_textColumns = 80;
  int m_tabWidth = 8;
  TEditorBlock m_block;
  TEditorFlags m_flags;
  TFileFormat m_format;
  int64_t m_loadTime = 0;
  Westring m_fileName;
  TFileBookmark m_bookmarks[BookmarkCount];

  TUndoStack m_undo;
  TUndoStack m_redo;
  // Undo items between the text on disk and the present one; -1 when the
  // text on disk can no longer be reached.
  int m_savedDepth = 0;
};

/// The screen column of character index in line (tabs to the next multiple
/// of tabWidth, at least one column); an index past the end counts one
/// column per missing character.
int ScreenColumnOf(const wchar_t* line, int length, int index, int tabWidth);
/// The character whose span holds column: inside a tab, the tab. Past the
/// end, the line length, and *column keeps its value; otherwise *column
/// becomes the character's start column.
int IndexAtColumn(const wchar_t* line, int length, int* column, int tabWidth);

}  // namespace VKEditor
