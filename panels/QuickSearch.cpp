// Quick search: typed characters move the cursor to the next name that
// begins with the text typed so far, compared ignoring case.
#include <algorithm>
#include <cwchar>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "foundation/CaseFold.h"
#include "panels/Panel.h"

namespace {

bool BeginsWith(const wchar_t* name, const Westring& prefix) {
  return FoldCompareN(name, prefix.c_str(), prefix.Length()) == 0 &&
         static_cast<int>(std::wcslen(name)) >= prefix.Length();
}

}  // namespace

// Scans from start in the direction for a name beginning with the text; at
// the end of the list one more scan starts from the first entry.
bool CPanel::FindFromIndex(int start, SearchDirection direction) {
  const int count = Count();
  const int step = direction == SearchDirection::Backward ? -1 : 1;
  for (int i = start; i >= 0 && i < count; i += step) {
    if (!BeginsWith(At(i)->Name(), m_quickSearch)) continue;
    SetCursorIndex(i);
    return true;
  }
  for (int i = 0; i < count; ++i) {
    if (!BeginsWith(At(i)->Name(), m_quickSearch)) continue;
    SetCursorIndex(i);
    return true;
  }
  return false;
}

bool CPanel::QuickSearchChar(wchar_t ch) {
  const entry* current = CursorEntry();
  if (current == nullptr || !BeginsWith(current->Name(), m_quickSearch)) m_quickSearch = Westring();
  m_quickSearch += ch;
  if (FindFromIndex(CursorIndex(), SearchDirection::Here)) {
    Draw();
    return true;
  }
  m_quickSearch = m_quickSearch.AllButLast(1);
  DrawStatusLine();
  return false;
}

bool CPanel::QuickSearchAgain(SearchDirection direction) {
  if (m_quickSearch.IsEmpty()) return false;
  const bool found = FindFromIndex(CursorIndex() + static_cast<int>(direction), direction);
  Draw();
  return found;
}

void CPanel::QuickSearchBackspace() {
  m_quickSearch = m_quickSearch.AllButLast(1);
  DrawStatusLine();
}

void CPanel::QuickSearchComplete() {
  const entry* current = CursorEntry();
  if (m_quickSearch.IsEmpty() || current == nullptr || !BeginsWith(current->Name(), m_quickSearch)) return;
  // The longest prefix of the cursor's name that every matching name shares.
  const wchar_t* name = current->Name();
  int shared = static_cast<int>(std::wcslen(name));
  for (int i = 0; i < Count(); ++i) {
    const wchar_t* other = At(i)->Name();
    if (!BeginsWith(other, m_quickSearch)) continue;
    int n = 0;
    while (n < shared && other[n] != 0 && FoldChar(other[n]) == FoldChar(name[n])) ++n;
    shared = n;
  }
  m_quickSearch.Assign(name, shared);
  DrawStatusLine();
}

void CPanel::EndQuickSearch() {
  if (m_quickSearch.IsEmpty()) return;
  m_quickSearch = Westring();
  DrawStatusLine();
}

void CPanel::PlaceQuickSearchCursor() const {
  if (g_console == nullptr || m_quickSearch.IsEmpty()) return;
  const int width = m_geometry.innerWidth;
  const int length = std::min(static_cast<int>(std::wcslen(L"Search: ")) + m_quickSearch.Length(), width - 1);
  g_console->SetCursorPos(m_geometry.left + 1 + length, m_geometry.statusRow());
}

bool CPanel::HandleQuickSearchKey(uint32_t key) {
  if (m_quickSearch.IsEmpty()) return false;
  switch (key) {
    case Key::AltUp: QuickSearchAgain(SearchDirection::Backward); return true;
    case Key::AltDown: QuickSearchAgain(SearchDirection::Forward); return true;
    case Key::BackSpace: QuickSearchBackspace(); return true;
    case Key::ShiftTab: QuickSearchComplete(); return true;
    case Key::Esc: EndQuickSearch(); return true;  // Esc only closes the search
    default: break;
  }
  // Alt held down goes on typing: Alt+letter codes carry the letter.
  const uint32_t letter = AltKeyChar(key);
  if (letter >= 0x20 && letter < 0x10000) {
    QuickSearchChar(static_cast<wchar_t>(letter));
    return true;
  }
  EndQuickSearch();
  return false;
}
