#pragma once
// The editor's undo and redo history: one record type for every change and
// a bounded stack of them. Header only, because the per-file status records
// of the viewer keep a file's stacks between two openings. One thread.
#include <cstdint>

#include "foundation/ObjectStore.h"
#include "foundation/Westring.h"

/// A place in the text: a character index in a line.
struct TTextPos {
  int index = 0;
  int line = 0;
  bool operator==(const TTextPos& other) const {
    return index == other.index && line == other.line;
  }
  bool operator!=(const TTextPos& other) const { return !(*this == other); }
  bool operator<(const TTextPos& other) const {
    return line < other.line || (line == other.line && index < other.index);
  }
};

/// A stretch of text from start up to (not including) end; `present` false
/// stands for the empty stretch.
struct TTextRegion {
  TTextPos start;
  TTextPos end;
  bool present = false;
};

/// Replace the text of region by text, then put the cursor at cursor. The
/// item applies only while the cursor stands at position, where the change
/// was made. Lines of text are separated by "\r\n" or "\n".
struct UndoItem {
  Westring text;
  TTextPos cursor;
  TTextPos position;
  TTextRegion region;
};

/// A stack of at most MaxItems items; pushing onto a full stack drops the
/// oldest. Owns its items. Copies are deep, so a status record copied
/// around keeps its own history.
class TUndoStack : private TObjectStore<UndoItem> {
 public:
  static constexpr int MaxItems = 1000;

  TUndoStack() = default;
  TUndoStack(const TUndoStack& other) : TObjectStore<UndoItem>() { CopyFrom(other); }
  TUndoStack& operator=(const TUndoStack& other) {
    if (this != &other) {
      Clear();
      CopyFrom(other);
    }
    return *this;
  }

  /// Takes ownership of item, dropping the oldest item when the stack is
  /// full; returns true when one was dropped.
  bool Push(UndoItem* item) {
    bool dropped = false;
    if (Count() >= MaxItems) {
      GoTo(0);
      DeleteCurrent();
      dropped = true;
    }
    Append(item);
    return dropped;
  }
  /// Removes the newest item and hands it to the caller; null when empty.
  [[nodiscard]] UndoItem* Pop() {
    if (!Last()) return nullptr;
    return DetachCurrent();
  }
  /// The newest item, still owned by the stack; null when empty.
  const UndoItem* Top() const { return Count() > 0 ? At(Count() - 1) : nullptr; }
  /// Item i counted from the oldest.
  const UndoItem* Item(int i) const { return At(i); }
  /// Replaces this stack by the items of other, which is left empty.
  void TakeFrom(TUndoStack& other) {
    if (this == &other) return;
    Clear();
    TUndoStack reversed;
    while (UndoItem* item = other.Pop()) reversed.Append(item);
    while (UndoItem* item = reversed.Pop()) Append(item);
  }

  using TObjectStore<UndoItem>::Clear;
  using TObjectStore<UndoItem>::Count;

 private:
  void CopyFrom(const TUndoStack& other) {
    for (const UndoItem* item : other) Append(new UndoItem(*item));
  }
};
