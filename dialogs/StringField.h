#pragma once
// Text fields: a scrolled one-line editor bound to the caller's Westring,
// with selection, the clipboard and an optional history pop-up; and the
// integer field built on it.
#include "dialogs/Dialog.h"
#include "dialogs/InputHistory.h"

/// Ctrl+Right in text fields and the command line: on, it stops at the end
/// of the next word; off, at the start of the word after the blanks.
extern bool g_wordRightStopsAfterWord;
/// Where Ctrl+Right from at goes in text, by the rule above.
int WordRightOf(const Westring& text, int at);
/// Where Ctrl+Left goes: back over blanks, then to the start of that word.
int WordLeftOf(const Westring& text, int at);

class StringField : public DialogElement {
 public:
  static constexpr int Type = 1;
  /// maxLength < 0 means 32767; history is a list number 0..11 or NoHistory.
  StringField(Dialog* dialog, int col, int row, bool newGroup, Westring* text, int width,
              int maxLength, int history);
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;
  void SetFocus(bool focused) override;
  void Draw() override;
  void Commit() override;

  int Cursor() const { return m_cursor; }
  int Offset() const { return m_offset; }
  /// The selected characters [start, end); empty when nothing is selected.
  int SelectionStart() const;
  int SelectionEnd() const;

 protected:
  /// Whether a typed character may enter the text.
  virtual bool Accepts(wchar_t) const { return true; }
  /// Called after every key the field used.
  virtual void Changed() {}
  /// Cells kept free at the right when the text scrolls.
  virtual int ScrollSlack() const { return 1; }

  Westring* m_text;  // the caller's, or an integer field's own
  int m_width;
  int m_maxLength;
  int m_cursor = 0;

 private:
  bool HandleKey(uint32_t key);
  bool HandleMouse(const TDialogEvent& event);
  bool Move(uint32_t key, bool extend);
  /// Replaces the selection (or inserts at the cursor) when the result fits.
  bool ReplaceSelection(const Westring& with);
  void DeleteRange(int from, int to);
  void CopySelection();
  void OpenHistory();
  void ScrollToCursor();
  bool HasHistory() const { return m_history >= 0 && m_history < InputHistoryCount; }

  int m_offset = 0;
  bool m_selecting = false;  // a selection is active
  int m_anchor = 0;          // the fixed end of the selection; the cursor is the moving end
  bool m_dragging = false;
  bool m_replaceOnFirstKey = true;
  bool m_quoteNext = false;
  int m_history;
};

/// Digits only, converted into the bound integer after every key.
class IntegerField : public StringField {
 public:
  static constexpr int Type = 5;
  IntegerField(Dialog* dialog, int col, int row, bool newGroup, int32_t* value, int width,
               bool keepAsTyped, int history);
  int TypeCode() const override { return Type; }
  void Draw() override;

 protected:
  bool Accepts(wchar_t ch) const override { return ch >= L'0' && ch <= L'9'; }
  void Changed() override;
  int ScrollSlack() const override { return 2; }

 private:
  int32_t* m_value;
  bool m_keepAsTyped;
  Westring m_own;
};
