#pragma once
// The result list of file find: one line per found entry (size, date, time,
// hidden mark, full path), the sort orders of Ctrl-F3 to Ctrl-F6 and the
// list box that draws the shared store while the worker appends to it.
#include <functional>
#include <mutex>

#include "dialogs/ListBox.h"
#include "foundation/Westring.h"
#include "panels/Entry.h"

/// The result line of e for a screen `screenWidth` cells wide.
Westring FormatResultLine(const entry& e, int screenWidth);

/// The path cut at its start to width cells ("..." in front), padded to width.
Westring FitPath(const Westring& path, int width);

/// The orders of Ctrl-F3 .. Ctrl-F6.
enum class FindSortOrder : uint8_t { Name, Extension, Time, Size };
/// Sorts the store; the caller holds the store's lock.
void SortResults(FFEntryStore* store, FindSortOrder order);

/// The list box over the results. It reads the store under the store's
/// lock; keys other than list movement, Tab and Alt-letters end the dialog
/// with their code (Enter with 'g'), for the dialog's command loop. A new
/// count (posted by the status painter) moves the highlight along when it
/// was on the last result.
class CFindResultList : public ListBoxBase {
 public:
  static constexpr int GoToCode = 'g';
  /// Borrows the store and its lock.
  CFindResultList(Dialog* dialog, int col, int row, int width, int height,
                  const FFEntryStore* store, std::mutex* storeLock, int* selected);
  bool HandleEvent(const TDialogEvent& event) override;

 protected:
  void DrawItem(int row, int index, uint8_t attr) override;

 private:
  const FFEntryStore* m_store;
  std::mutex* m_storeLock;
};
