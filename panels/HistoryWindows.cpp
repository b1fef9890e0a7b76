#include "panels/HistoryWindows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/DialogEvent.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/Win.h"
#include "panels/Histories.h"
#include "panels/Panel.h"
#include "console/ChildEnvironment.h"
#include "panels/PathNames.h"

namespace {

constexpr int kStoredPathSlots = 10;
constexpr int kLongestStoredPath = 70;

// A framed list in the menu colour with one highlighted line; the windows
// below give their own meaning to the keys it does not move with.
class CListWindow {
 public:
  CListWindow(const wchar_t* title, std::vector<Westring> lines, int width, int selected)
      : m_lines(std::move(lines)) {
    CConsole& console = *g_console;
    const int height = std::max(1, std::min(static_cast<int>(m_lines.size()), console.Lines() - 5));
    m_window = std::make_unique<Win>(-1, -3, width + 2, height + 2, Colour(ColourClass::Menu), Colour(ColourClass::Menu));
    m_window->DrawTitle(Westring(title));
    m_rows = height;
    Select(selected);
  }

  int Selected() const { return m_selected; }
  int Count() const { return static_cast<int>(m_lines.size()); }
  void SetLine(int index, const Westring& text) {
    m_lines[index] = text;
    Draw();
  }
  void Remove(int index) {
    m_lines.erase(m_lines.begin() + index);
    Select(std::min(m_selected, Count() - 1));
  }

  /// A text on the bottom frame line (the search typed so far).
  void SetFooter(const Westring& text) {
    const int width = m_window->Width() - 2;
    g_console->WriteText(m_window->Left() + 2, m_window->Bottom(), text.Left(width).c_str(), Colour(ColourClass::Menu));
  }

  void Select(int index) {
    m_selected = std::max(0, std::min(index, Count() - 1));
    if (m_selected < m_top) m_top = m_selected;
    if (m_selected >= m_top + m_rows) m_top = m_selected - m_rows + 1;
    Draw();
  }

  /// Cursor keys and the wheel move the selection; true when the event did.
  /// A click selects; a double click sets *chosen.
  bool Move(const TDialogEvent& event, bool* chosen) {
    if (event.type == TDialogEvent::Key) {
      switch (event.key) {
        case Key::Up: Select(m_selected - 1); return true;
        case Key::Down: Select(m_selected + 1); return true;
        case Key::PageUp: Select(m_selected - m_rows); return true;
        case Key::PageDown: Select(m_selected + m_rows); return true;
        case Key::Home: Select(0); return true;
        case Key::End: Select(Count() - 1); return true;
        default: return false;
      }
    }
    if (event.type == TDialogEvent::Wheel) {
      Select(m_selected - event.value);
      return true;
    }
    const int row = event.row - m_window->OriginRow(), col = event.col - m_window->OriginColumn();
    const bool inside = row >= 0 && row < m_rows && col >= 0 && col < m_window->Width();
    if (!inside || (event.type != TDialogEvent::LeftPress && event.type != TDialogEvent::LeftDoubleClick)) return false;
    Select(m_top + row);
    *chosen = event.type == TDialogEvent::LeftDoubleClick;
    return true;
  }

 private:
  void Draw() {
    const int width = m_window->Width();
    for (int row = 0; row < m_rows; ++row) {
      const int index = m_top + row;
      const Westring text = index < Count() ? m_lines[index].Left(width).FitLeft(width) : Westring(width, L' ');
      m_window->WriteText(0, row, text.c_str(), index == m_selected ? Colour(ColourClass::MenuHighlight) : -1);
    }
  }

  std::unique_ptr<Win> m_window;
  std::vector<Westring> m_lines;
  int m_rows = 1, m_top = 0, m_selected = 0;
};

int ListWidth(const std::vector<Westring>& lines, int least, int most) {
  int width = least;
  for (const Westring& line : lines) width = std::max(width, line.Length());
  return std::min(width, most);
}

std::vector<Westring> Lines(const WestringStore& store) {
  std::vector<Westring> lines;
  for (const Westring* text : store) lines.push_back(*text);
  return lines;
}

// Changes into a stored path; false when the slot is empty.
bool EnterSlot(CPanel& panel, int slot) {
  const Westring& stored = g_settings.directories[slot];
  if (stored.IsEmpty()) return false;
  const Westring path = ExpandPath(stored);
  panel.EnterOrReport(path);
  return true;
}

Westring SlotLine(int slot, int width) {
  wchar_t prefix[8];
  std::swprintf(prefix, 8, L"%d - ", slot);
  const Westring& path = g_settings.directories[slot];
  Westring shown = path.IsEmpty() ? Westring(L"Empty") : path;
  const int room = width - 4;
  if (shown.Length() > room) shown = Westring(L"...") + shown.Right(room - 3);
  return Westring(prefix) + shown;
}

// F1 in a history window shows its help, and the window stays.
bool ShowsHelp(const TDialogEvent& event) {
  if (event.type != TDialogEvent::Key || event.key != Key::F1) return false;
  ShowHelp(HelpTopic::Histories);
  return true;
}

}  // namespace

Westring ChooseFromDirectoryHistory() {
  std::vector<Westring> lines = Lines(DirectoryHistory());
  if (lines.empty()) return Westring();
  CListWindow list(L" Directory History ", lines, ListWidth(lines, 21, g_console->Columns() - 6),
                   static_cast<int>(lines.size()) - 1);
  for (;;) {
    const TDialogEvent event = ReadDialogEvent(-1);
    bool chosen = false;
    if (list.Move(event, &chosen) && !chosen) continue;
    if (ShowsHelp(event)) continue;
    if (chosen || (event.type == TDialogEvent::Key && event.key == Key::Enter)) return lines[list.Selected()];
    if (event.type == TDialogEvent::Key || event.type == TDialogEvent::LeftPress) return Westring();
  }
}

void RunStoredPaths(CPanel& panel) {
  int longest = 0;
  for (const Westring& path : g_settings.directories) longest = std::max(longest, path.Length());
  int width = std::min(longest, kLongestStoredPath) + 6;
  width += width & 1;
  std::vector<Westring> lines;
  for (int slot = 0; slot < kStoredPathSlots; ++slot) lines.push_back(SlotLine(slot, width));
  CListWindow list(L" Stored Paths ", lines, width, 0);
  for (;;) {
    const TDialogEvent event = ReadDialogEvent(-1);
    bool chosen = false;
    if (list.Move(event, &chosen) && !chosen) continue;
    if (ShowsHelp(event)) continue;
    const uint32_t key = event.type == TDialogEvent::Key ? event.key : 0;
    int slot = -1;
    if (key >= L'0' && key <= L'9') slot = static_cast<int>(key - L'0');
    else if (key == Key::Enter || chosen) slot = list.Selected();
    if (slot >= 0) {
      if (EnterSlot(panel, slot)) return;
      continue;
    }
    if (key == Key::Insert || key == Key::Delete) {
      g_settings.directories[list.Selected()] = key == Key::Insert ? panel.Directory() : Westring();
      list.SetLine(list.Selected(), SlotLine(list.Selected(), width));
    } else if (key == Key::Esc) {
      return;
    }
  }
}

void EnterStoredPath(CPanel& panel, int slot) {
  if (slot >= 0 && slot < kStoredPathSlots) EnterSlot(panel, slot);
}

Westring ChooseFromCommandHistory() {
  WestringStore& history = CommandHistory();
  if (history.Count() == 0) return Westring();
  const std::vector<Westring> lines = Lines(history);
  CListWindow list(L" History ", lines, ListWidth(lines, 21, g_console->Columns() - 6), history.Count() - 1);
  Westring search;
  for (;;) {
    const TDialogEvent event = ReadDialogEvent(-1);
    bool chosen = false;
    if (list.Move(event, &chosen) && !chosen) continue;
    if (ShowsHelp(event)) continue;
    const uint32_t key = event.type == TDialogEvent::Key ? event.key : 0;
    if (chosen || key == Key::Enter) return *history.At(list.Selected());
    if (key == Key::Esc || event.type == TDialogEvent::LeftPress) return Westring();
    if (key == Key::Delete) {
      if (MessageBox(Westring("Remove command from history?"), *history.At(list.Selected()), MessageStyle::OkCancel) != 'y')
        continue;
      RemoveCommand(list.Selected());
      if (history.Count() == 0) return Westring();
      list.Remove(list.Selected());
      continue;
    }
    if (key < 0x20 || key >= Key::Extended) continue;
    // Typed text looks backwards from the selection for a command holding it.
    Westring wanted = search;
    wanted += static_cast<wchar_t>(key);
    int found = -1;
    for (int i = list.Selected(); i >= 0 && found < 0; --i)
      if (history.At(i)->FindSubNoCase(wanted) >= 0) found = i;
    for (int i = history.Count() - 1; i > list.Selected() && found < 0; --i)
      if (history.At(i)->FindSubNoCase(wanted) >= 0) found = i;
    if (found < 0) {
      MessageBox(Westring("String not found"), Westring(L"Search: ") + wanted, MessageStyle::Ok);
      continue;
    }
    search = wanted;
    list.Select(found);
    list.SetFooter(Westring(L"Search: ") + search);
  }
}
