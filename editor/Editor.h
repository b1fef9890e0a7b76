#pragma once
// The editor's screen and key loop over one CEditorText: the status line on
// the top row, the text rows with the block and syntax colours, the key bar
// on the bottom row. Keys go to EditorKeys.cpp (movement, typing),
// EditorBlocks.cpp (blocks, clipboard, indentation), EditorSearch.cpp
// (search and replace) and EditorCommands.cpp (the commands with dialogs);
// cells come from EditorScreen.cpp. Application thread.
#include <cstdint>
#include <vector>

#include "console/Console.h"
#include "editor/EditorText.h"
#include "editor/SyntaxColourer.h"
#include "foundation/Westring.h"

namespace VKEditor {

/// The input history of the replacement text (the search text shares the
/// viewer's, ViewerSearchHistory).
constexpr int EditorReplaceHistory = 2;

/// The lines cut or copied last, shared by every editor of the program run.
std::vector<Westring>& EditorClipboard();

/// How an edit ended.
enum class EditorExit : uint8_t { Saved, Discarded, Unchanged };

class CEditor {
 public:
  CEditor();
  CEditor(const CEditor&) = delete;
  CEditor& operator=(const CEditor&) = delete;

  /// Opens name: a missing file is created on request ("File does not
  /// exist, Create?"), any other failure is shown. startOffset >= 0 puts the
  /// cursor on that byte and marks highlightLength characters. Returns 0,
  /// an errno value, or -1 when the user declined to create the file.
  [[nodiscard]] int Open(const Westring& name, int64_t startOffset = -1, int highlightLength = 0);
  /// Reads keys until the user quits; the status goes to the file status
  /// store unless the changes were discarded.
  EditorExit Run();
  /// Handles one key or mouse action as Run does; false when the editor is
  /// to close.
  bool HandleKey(uint32_t key, const TMouseRecord& mouse = TMouseRecord());
  /// Draws the whole screen and places the cursor.
  void Draw();

  CEditorText& Text() { return m_text; }
  /// The status line as Draw writes it, without the padding to the width.
  Westring StatusLine();
  bool Literal() const { return m_literalNext; }
  bool SyntaxOn() const { return m_syntax.Enabled(); }

 private:
  // --- Screen (EditorScreen.cpp) ---
  void DrawTextRows();
  void DrawTextRow(int row, int line, CContextStack* state);
  void LayBlock(int line, std::vector<TCell>* cells);
  CContextStack ColourStateAt(int line);
  void PlaceCursor();
  int Rows() const;
  int Columns() const;

  // --- Movement and typing (EditorKeys.cpp) ---
  void HandleEditKey(uint32_t key);
  bool HandleMovement(uint32_t key);
  void MoveTo(TTextPos pos, bool keepTarget = false);
  void UpdateScroll();
  int CursorLine() const { return m_text.CursorPos().line; }
  int CursorIndex() const { return m_text.View().cursorIndex; }
  int LineLength(int line) const { return m_text.LineLength(line); }
  int ColumnOf(int line, int index) const;
  void VerticalMove(int lines);
  void PageMove(int direction);
  void WordRight();
  void WordLeft();
  TTextPos WordRightOf(TTextPos pos) const;
  bool IsWordChar(wchar_t ch) const;
  void TypeChar(wchar_t ch);
  void Enter(bool autoIndent);
  void BackSpace();
  void DeleteChar();
  void CtrlDelete();
  void DeleteLine();
  void MarkTo(uint32_t unshiftedKey);
  void HandleMouse(const TMouseRecord& mouse);
  void AutoRepeat(uint32_t key);

  // --- Changes, blocks, clipboard (EditorBlocks.cpp) ---
  /// Replaces region by text as one undoable change and drops the block;
  /// the cursor goes to *cursorAfter, or after the inserted text when that
  /// is null. False, and nothing changes, when a line would grow too long
  /// or memory ran out.
  bool ReplaceText(const TTextRegion& region, const Westring& text,
                   const TTextPos* cursorAfter = nullptr);
  TTextRegion BlockRegion();
  void DropBlock();
  void CopyBlock();
  void CutBlock();
  void DeleteBlock();
  void Paste();
  void IndentLines(int step);
  void MatchBracket();
  void SetBookmark(int number);
  void GoToBookmark(int number);

  // --- Search and replace (EditorSearch.cpp) ---
  void SearchDialog();
  void ReplaceDialog();
  void RepeatSearch(bool otherDirection);
  void SearchWordAtCursor(bool reverse);
  bool FindFrom(TTextPos from, bool reverse, const Westring& pattern, bool caseSensitive,
                bool wholeWord, TTextPos* hit);
  bool FindShowingWork(TTextPos from, bool reverse, const Westring& pattern, bool caseSensitive,
                       bool wholeWord, TTextPos* hit);
  bool SearchAndMark(bool reverse, const Westring& pattern, bool caseSensitive, bool wholeWord);
  void ReplaceAll(const Westring& pattern, const Westring& with);
  int AskReplaceHit();

  // --- Commands with dialogs (EditorCommands.cpp) ---
  void GotoLine();
  void SelectEncoding();
  void CodePageList();
  void NextCodePage();
  void UseCodePage(int codePage);
  bool ChangeFormat(const TFileFormat& format);
  void SaveFile();
  bool AskQuit();
  void ToggleSyntax();

  CEditorText m_text;
  CSyntaxStateStore m_syntax;
  bool m_literalNext = false;
  bool m_marking = false;  // Shift moves extend the block from m_anchor
  TTextPos m_anchor;
  bool m_mouseMarking = false;
  bool m_quit = false;
  EditorExit m_exit = EditorExit::Unchanged;
};

/// Edits name over the whole screen and puts the previous screen back;
/// startOffset and highlightLength as CEditor::Open.
void Edit(const Westring& name, int64_t startOffset = -1, int highlightLength = 0);

}  // namespace VKEditor
