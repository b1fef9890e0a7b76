#pragma once
// The command line under the panels: the prompt, the text being typed and
// its editing keys, and Enter running it for the active panel.
// Application thread.
#include <cstdint>

#include "foundation/Westring.h"

/// A typed character is ignored once the line holds more than this many.
constexpr int CommandLineLimit = 511;

/// What stands before the typed text: the directory and ">" with the
/// PathPrompt setting, else ">".
Westring CommandPrompt(const Westring& directory);

class CCommandLine {
 public:
  const Westring& Text() const { return m_text; }
  bool IsEmpty() const { return m_text.IsEmpty(); }
  int Cursor() const { return m_cursor; }
  /// Replaces the text; the cursor goes to its end.
  void SetText(const Westring& text);
  /// Inserts ch at the cursor unless the line holds more than CommandLineLimit characters.
  void InsertChar(wchar_t ch);
  /// Inserts text at the cursor (a file name, say), within the same limit.
  void InsertText(const Westring& text);
  /// The editing keys: Backspace, Delete, Esc (clears); while text is typed
  /// also Left, Right, Home, End, Ctrl+Left, Ctrl+Right; Ctrl+E and Ctrl+X
  /// step back and forward through the command history. True when used.
  bool HandleEditKey(uint32_t key);
  /// Enter: the line goes to the command history and runs for panel side
  /// (macros expanded); false when there was nothing to run.
  bool Execute(int side);
  /// The prompt (the directory and ">" with PathPrompt, else ">") and the
  /// text on the line above the key bar, the cursor at its place; the line
  /// is the console's mouse area, so a drag there selects text.
  void Draw(const Westring& directory);

 private:
  void StepHistory(int direction);

  Westring m_text;
  int m_cursor = 0;
  int m_historyIndex = -1;  // the command shown by Ctrl+E/Ctrl+X, -1 for a typed line
};
