#include "tools/FindResults.h"

#include <algorithm>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
#include "panels/RowFormat.h"
#include "tools/FileFind.h"

namespace {

constexpr int kSizeColumnWidth = 10;
// Cells the columns before the path take, with the frame.
constexpr int kFixedColumns = 34;
constexpr int kErrorPathWidth = 28;
constexpr wchar_t kSubdirLeft = 0x25BA;
constexpr wchar_t kSubdirRight = 0x25C4;

Westring SizeColumn(const entry& e) {
  if (!e.IsDirectory()) return FormatSize(e.size, kSizeColumnWidth, DigitGrouping::Thousands, g_thousandsSeparator);
  Westring label(1, kSubdirLeft);
  label += L"SUBDIR";
  label += Westring(1, kSubdirRight);
  return Westring(kSizeColumnWidth - label.Length(), L' ') + label;
}

const wchar_t* NameOf(const entry& e) {
  const wchar_t* slash = wcsrchr(e.Name(), L'/');
  return slash != nullptr ? slash + 1 : e.Name();
}

const wchar_t* ExtensionOf(const entry& e) {
  const wchar_t* name = NameOf(e);
  const wchar_t* dot = wcsrchr(name, L'.');
  return dot != nullptr && dot != name ? dot + 1 : L"";
}

}  // namespace

Westring FitPath(const Westring& path, int width) {
  if (width <= 0) return Westring();
  if (path.Length() <= width) return path.FitLeft(width);
  if (width <= 3) return path.Right(width);
  return Westring(L"...") + path.Right(width - 3);
}

Westring FormatResultLine(const entry& e, int screenWidth) {
  Westring line = SizeColumn(e);
  if (MatchOf(e) == FindMatch::CannotOpen) {
    line += L" Error opening ";
    line += FitPath(Westring(e.Name()), kErrorPathWidth);
    return line;
  }
  line += L" ";
  line += DateText(e).FitLeft(8);
  line += L" ";
  line += TimeText(e, g_settings.timeMode).FitLeft(6);
  line += L" ";
  line += Westring(1, (e.flags & EntryFlag::Hidden) != 0 ? HiddenMarker : L' ');
  line += FitPath(Westring(e.Name()), std::max(1, screenWidth - kFixedColumns));
  return line;
}

void SortResults(FFEntryStore* store, FindSortOrder order) {
  std::vector<entry*> items;
  while (store->Count() > 0) {
    store->GoTo(0);
    items.push_back(static_cast<entry*>(store->DetachCurrent()));
  }
  auto byName = [](const entry* a, const entry* b) { return FoldCompare(NameOf(*a), NameOf(*b)) < 0; };
  std::stable_sort(items.begin(), items.end(), [&](const entry* a, const entry* b) {
    switch (order) {
      case FindSortOrder::Extension: {
        const int c = FoldCompare(ExtensionOf(*a), ExtensionOf(*b));
        return c != 0 ? c < 0 : byName(a, b);
      }
      case FindSortOrder::Time:  // newest first
        if (a->timeSec != b->timeSec) return a->timeSec > b->timeSec;
        return a->timeNs > b->timeNs;
      case FindSortOrder::Size:  // largest first
        return a->size > b->size;
      case FindSortOrder::Name: break;
    }
    return byName(a, b);
  });
  for (entry* e : items) store->Append(e);
}

CFindResultList::CFindResultList(Dialog* dialog, int col, int row, int width, int height,
                                 const FFEntryStore* store, std::mutex* storeLock, int* selected)
    : ListBoxBase(dialog, col, row, true, width, height, 0, selected, GoToCode),
      m_store(store),
      m_storeLock(storeLock) {}

bool CFindResultList::HandleEvent(const TDialogEvent& event) {
  if (event.type == TDialogEvent::SetCount) {
    const bool follow = Count() == 0 || Selected() == Count() - 1;
    ListBoxBase::HandleEvent(event);
    if (follow) MoveTo(Count() - 1);
    return true;
  }
  if (event.type != TDialogEvent::Key) return ListBoxBase::HandleEvent(event);
  switch (event.key) {
    case Key::Up: case Key::Down: case Key::PageUp: case Key::PageDown: case Key::Home: case Key::End:
      return ListBoxBase::HandleEvent(event);
    case Key::Tab: case Key::ShiftTab: return false;
    case Key::Enter: m_dialog->SetResult(GoToCode); return true;
    default: break;
  }
  // Alt-letters are the dialog's hot keys.
  if ((event.key & Key::Extended) != 0 && AltKeyChar(event.key) != event.key) return false;
  m_dialog->SetResult(static_cast<int>(event.key));
  return true;
}

void CFindResultList::DrawItem(int row, int index, uint8_t attr) {
  Westring line;
  bool tagged = false;
  {
    std::lock_guard<std::mutex> guard(*m_storeLock);
    if (const entry* e = index < m_store->Count() ? m_store->At(index) : nullptr) {
      line = FormatResultLine(*e, g_console->Columns());
      tagged = e->tagged != 0;
    }
  }
  // Tagged results take the panels' tag colours.
  if (tagged) attr = attr == Colour(ColourClass::Menu) ? Colour(ColourClass::Tagged) : Colour(ColourClass::HighlightTagged);
  DrawText(row, line, attr);
}
