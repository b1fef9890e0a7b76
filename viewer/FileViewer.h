#pragma once
// The file viewer: one file, read-only, over the whole screen, as text
// (unwrapped with horizontal scrolling, or wrapped at the screen width) or as
// a hex dump of 16 bytes a row; the status line on the top row, the key bar
// on the bottom one. Search, go-to, follow mode, code pages and syntax
// colouring are its commands. Application thread.
#include <cstdint>
#include <functional>
#include <vector>

#include "console/Console.h"
#include "editor/SyntaxColourer.h"
#include "foundation/Cell.h"
#include "foundation/Westring.h"
#include "viewer/ViewTextFile.h"


class FileViewer {
 public:
  /// Milliseconds follow mode waits for a key before it looks for new data.
  static constexpr int FollowPollMs = 200;
  /// A line start is searched back at most this far for syntax colouring;
  /// further away the colouring starts afresh at the line.
  static constexpr int64_t MaxColourRun = int64_t{1} << 20;
  /// Colouring keeps its state at a line start once this many bytes past the
  /// previous kept state.
  static constexpr int64_t CheckpointDistance = 4096;

  FileViewer();
  ~FileViewer();
  FileViewer(const FileViewer&) = delete;
  FileViewer& operator=(const FileViewer&) = delete;

  /// Opens name. An offset >= 0 below the size puts its line at the top and
  /// highlights the search string's length there; a negative one takes the
  /// position remembered for the file. Returns 0 or errno; a file that is
  /// not a regular file gives EINVAL (a FIFO would block, a device never end).
  [[nodiscard]] int Open(const Westring& name, int64_t offset = -1);
  /// Draws and reads keys until one ends the viewer: Key::Esc (also F3 and
  /// F10), Key::AltUp, Key::AltDown, or Key::AltF4 when the editor is to
  /// take over at Top().
  uint32_t Run();
  /// Handles one key or mouse action as Run does; false when it ends the
  /// viewer, and ExitKey() tells how.
  bool HandleKey(uint32_t key, const TMouseRecord& mouse = TMouseRecord());
  /// Remembers the position and encoding of the file and closes it.
  void Close();
  /// Draws the whole screen from the top offset.
  void Draw();

  uint32_t ExitKey() const { return m_exitKey; }
  int64_t Top() const { return m_top; }
  bool HexMode() const { return m_hex; }
  int Scroll() const { return m_scroll; }
  int WrapColumn() const { return m_wrapColumn; }
  bool Following() const { return m_follow; }
  bool SyntaxOn() const { return m_syntax.Enabled(); }
  int64_t LastMatch() const { return m_lastMatch; }
  /// Just past the text on screen; -1 when the screen reaches the end.
  int64_t LastLineStart() const { return m_lastLineStart; }
  ViewTextFile& File() { return m_file; }
  const Westring& FullPath() const { return m_path; }

 private:
  // Where one screen row begins: a line start and, in wrap mode, the cell of
  // that line the row starts with.
  struct TRowPlace {
    int64_t line = 0;
    int column = 0;
  };
  // What the colouring carries from line to line while drawing.
  struct TColourRun {
    CContextStack state;
    int64_t checkpoint = 0;  // where the state was last kept
    bool remember = true;    // false when the state was guessed, not worked out
  };

  int TextRows() const;
  int Columns() const;
  bool Wrapping() const;
  int64_t TextStart() const { return m_hex ? 0 : m_file.DataStart(); }

  // Drawing (ViewerScreen.cpp).
  void DrawStatusLine();
  void DrawKeyBar();
  void DrawText();
  void DrawHex();
  void DrawTextRow(int row, const TRowPlace& place, int64_t lineEnd);
  void DrawHexRow(int row, int64_t offset);
  void ShowPosition(int64_t shownUpTo);
  bool ReadLineCells(int64_t start, TColourRun* run, int64_t* next);
  TColourRun ColourRunAt(int64_t start);
  void HighlightMatch(int64_t lineStart, int64_t lineEnd, int firstCell, int width, TCell* row);
  int CellColumnAt(int64_t lineStart, int64_t offset);

  // Moving (FileViewer.cpp).
  int64_t PreviousLineStart(int64_t start);
  int64_t OffsetAfterChars(int64_t offset, int count);
  int LineCellCount(int64_t start);
  TRowPlace RowAfter(const TRowPlace& place);
  TRowPlace RowBefore(const TRowPlace& place);
  bool RowUp();
  bool RowDown();
  void RowsUp(int count);
  void PageDown();
  void GoHome();
  void GoEnd();
  void ScrollSideways(int step);
  void ToggleWrap();
  void ToggleHex();
  void SetTabWidth(int width);
  void ToggleSyntax();
  void StartFollowing();
  void FollowStep();
  void AutoRepeat(const TMouseRecord& mouse);
  bool HandleMouse(const TMouseRecord& mouse);
  void EndWith(uint32_t key);

  // Commands with dialogs (ViewerCommands.cpp).
  void SearchDialog(int reverse);
  void RepeatSearch(bool oppositeDirection);
  void Search(bool reverse, bool fromDialog);
  void RevealMatch(int64_t match, int64_t end);
  void PlaceMatch(int64_t match, int64_t end);
  void GotoLine();
  void GotoOffset();
  bool StepToLine(int32_t line);
  void SelectEncoding();
  void NextCodePage();
  void CodePageList();
  void UseCodePage(int codePage);

  ViewTextFile m_file;
  Westring m_path;
  uint32_t m_exitKey = 0;

  int64_t m_top = 0;
  int m_wrapColumn = 0;  // wrap mode: the cell of the top line the top row starts with
  int m_scroll = 0;      // unwrapped text: the first cell shown
  bool m_hex = false;
  bool m_wrapAtEntry = false;
  bool m_wrapToggled = false;  // F2 was pressed: the key bar's labels change
  bool m_follow = false;
  int64_t m_lastMatch = -1;
  int64_t m_matchEnd = -1;

  // What the last Draw showed.
  int64_t m_bottom = 0;          // just past the last displayed line
  int64_t m_lastLineStart = -1;  // -1 when the screen reaches the end
  TRowPlace m_lastRow;           // where the bottom text row starts
  int m_emptyRows = 0;
  int64_t m_shownUpTo = 0;  // what the position in the status line counts
  int64_t m_matchLine = -1;  // the line m_matchCells were worked out for
  int m_matchCells[2] = {};  // the match's first cell and the cell after it

  CSyntaxStateStore m_syntax;
  std::vector<TCell> m_cells;  // the current line, tabs expanded
};

/// Views one file (the viewer's own screen, then the previous screen back);
/// returns the key that ended it: Key::Esc, Key::AltUp or Key::AltDown. A
/// file that cannot be opened is reported and gives Key::Esc.
uint32_t RunFileViewer(const Westring& name, int64_t offset = -1);

/// Opens a file in the editor at a byte offset; installed once the program
/// has its editor. Unset, Alt-F4 and Shift-F4 tell that there is none.
extern std::function<void(const Westring& name, int64_t offset)> g_editAtOffset;
