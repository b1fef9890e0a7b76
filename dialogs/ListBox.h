#pragma once
// List boxes: a scrolling window over items the caller holds, with a cursor
// bound to the caller's index, paging, incremental search by typing and
// auto-scroll while the mouse is held just above or below the list.
#include <memory>

#include "dialogs/Dialog.h"
#include "foundation/Estring.h"

class ListBoxBase : public DialogElement {
 public:
  static constexpr int Type = 10;
  /// exitCode: what Enter and a double click end the dialog with (0 or
  /// less: the dialog's default); -1 also makes the list a key picker that
  /// ends the dialog with any other key.
  ListBoxBase(Dialog* dialog, int col, int row, bool newGroup, int width, int height, int count,
              int* selected, int exitCode);
  ~ListBoxBase() override;
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;
  void SetFocus(bool focused) override;
  void Draw() override;

  int Count() const { return m_count; }
  int Top() const { return m_top; }
  int CursorRow() const { return m_cursorRow; }
  const Westring& SearchText() const { return m_search; }

 protected:
  /// Draws item index on list row `row` in attr.
  virtual void DrawItem(int row, int index, uint8_t attr) = 0;
  /// The text incremental search compares; none by default.
  virtual Westring ItemText(int index) const;
  /// Writes text on a list row, cut or padded to the list's width.
  void DrawText(int row, const Westring& text, uint8_t attr);
  /// Moves the cursor to an item (clamped), scrolling by the least amount.
  void MoveTo(int index);
  /// Draws every row again.
  void Refresh();
  int Selected() const { return *m_selected; }

  int m_width, m_height;

 private:
  bool HandleKey(uint32_t key);
  bool HandleMouse(const TDialogEvent& event);
  void End();
  void EndDialog();
  bool Search(wchar_t ch);
  void ClearSearch();
  void ShowSearch();
  void AutoScroll(int step);

  int m_count;
  int* m_selected;
  int m_top = 0, m_cursorRow = 0;
  int m_lastTop = -1, m_lastCursorRow = -1;
  int m_exitCode;
  Westring m_search;
  std::unique_ptr<Win> m_searchWin;
};

/// Items from a store of strings: wide ones as they are, 8-bit ones
/// widened byte by byte.
template <class T>
class TListBoxStore : public ListBoxBase {
 public:
  TListBoxStore(Dialog* dialog, int col, int row, bool newGroup, int width, int height,
                TObjectStore<T>* items, int* selected, int exitCode)
      : ListBoxBase(dialog, col, row, newGroup, width, height, items->Count(), selected, exitCode),
        m_items(items) {}

 protected:
  void DrawItem(int row, int index, uint8_t attr) override { DrawText(row, ItemText(index), attr); }
  Westring ItemText(int index) const override {
    const T* item = m_items->At(index);
    return item ? Shown(*item) : Westring();
  }

 private:
  static Westring Shown(const Westring& text) { return text; }
  static Westring Shown(const Estring& text) { return Westring::FromLatin1(text); }

  TObjectStore<T>* m_items;
};
using ListBoxWestring = TListBoxStore<Westring>;
using ListBoxEstring = TListBoxStore<Estring>;

/// Items from an array of UTF-8 strings; no incremental search.
class ListBoxString : public ListBoxBase {
 public:
  ListBoxString(Dialog* dialog, int col, int row, bool newGroup, int width, int height,
                const char* const* items, int count, int* selected, int exitCode);

 protected:
  void DrawItem(int row, int index, uint8_t attr) override;
  const char* const* m_items;
};
