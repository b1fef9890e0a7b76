#include "tools/TreeWindow.h"

#include <algorithm>
#include <memory>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/DialogEvent.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeScan.h"

namespace {

constexpr int kMaxSearch = 20;
constexpr wchar_t kVertical = 0x2502, kBranch = 0x251C, kLastBranch = 0x2514, kHorizontal = 0x2500;

void AddRows(TREENODE* first, uint64_t inherited, std::vector<TTreeRow>* rows) {
  for (TREENODE* node = first; node != nullptr; node = node->next) {
    const uint64_t mask = inherited | (node->next != nullptr ? uint64_t{1} << node->depth : 0);
    rows->push_back({node, node->depth, mask});
    if (node->expanded && node->depth < TreeLimit::MaxDepth) AddRows(node->child, mask, rows);
  }
}

TREENODE* NextInPreorder(TREENODE* node) {
  if (node->child != nullptr) return node->child;
  while (node != nullptr && node->next == nullptr) node = node->parent;
  return node != nullptr ? node->next : nullptr;
}

bool StartsWithNoCase(const Westring& name, const Westring& text) {
  return name.Length() >= text.Length() && FoldCompareN(name, text, text.Length()) == 0;
}

void SetExpanded(TREENODE* node, bool expanded, bool wholeSubtree) {
  node->expanded = expanded || node->depth < 1;
  if (!wholeSubtree) return;
  for (TREENODE* child = node->child; child != nullptr; child = child->next)
    SetExpanded(child, expanded, true);
}

class CTreeWindow {
 public:
  CTreeWindow(CTree* tree, int width, const Westring& currentPath)
      : m_tree(tree), m_standAlone(width >= kTreeWindowWidth) {
    CConsole& console = *g_console;
    width = std::min(width, console.Columns() - 2);
    const int height = std::max(6, console.Lines() - 4);
    const uint8_t attr = Colour(ColourClass::Menu);
    m_window = std::make_unique<Win>(-1, -2, width, height, attr, attr);
    m_window->DrawTitle(Westring(" Directory Tree "));
    m_visible = m_window->Height();
    m_current = StartNode(currentPath);
    for (TREENODE* up = m_current->parent; up != nullptr; up = up->parent) up->expanded = 1;
    Rebuild();
    Centre();
    Draw();
  }

  int Run(Westring* chosen) {
    for (;;) {
      const TDialogEvent event = ReadDialogEvent(-1);
      int result = 1;
      if (event.type == TDialogEvent::Key)
        result = OnKey(event.key);
      else if (event.IsMouse())
        result = OnMouse(event);
      if (result == 0) *chosen = m_tree->FullPath(m_current);
      if (result <= 0) return result;
      Draw();
    }
  }

 private:
  TREENODE* StartNode(const Westring& path) {
    Westring probe = path;
    while (!probe.IsEmpty()) {
      if (TREENODE* node = m_tree->Find(probe)) return node;
      probe.RemoveTrailingSlash();
      probe = probe.DirPart();
    }
    return m_tree->Root();
  }

  // 1 to go on, 0 chosen, -1 closed without a choice.
  int OnKey(uint32_t key) {
    switch (key) {
      case Key::Enter:
        return 0;
      case Key::Esc:
        return -1;
      case Key::F1:
        ShowHelp(HelpTopic::DirectoryTree);
        return 1;
      case Key::Up:
        Select(m_selected - 1);
        return 1;
      case Key::Down:
        Select(m_selected + 1);
        return 1;
      case Key::PageUp:
        Select(m_selected - m_visible);
        return 1;
      case Key::PageDown:
        Select(m_selected + m_visible);
        return 1;
      case Key::Home:
        Select(0);
        return 1;
      case Key::End:
        Select(static_cast<int>(m_rows.size()) - 1);
        return 1;
      case Key::AltUp:
        SameDepth(-1);
        return 1;
      case Key::AltDown:
        SameDepth(1);
        return 1;
      case L'+':
      case Key::GreyPlus:
        Fold(true, false);
        return 1;
      case L'-':
      case Key::GreyMinus:
        Fold(false, false);
        return 1;
      case Key::CtrlGreyPlus:
        Fold(true, true);
        return 1;
      case Key::CtrlGreyMinus:
        Fold(false, true);
        return 1;
      case Key::CtrlR:
        return Rescan() ? 1 : -1;
      case Key::CtrlEnter:
        Search(m_search, false);
        return 1;
      case Key::BackSpace:
        if (!m_search.IsEmpty()) m_search = m_search.AllButLast(1);
        return 1;
      default:
        break;
    }
    if (key >= L' ' && key < 0x10000 && m_search.Length() < kMaxSearch) {
      Westring text = m_search;
      text += static_cast<wchar_t>(key);
      if (Search(text, true)) m_search = text;
    }
    return 1;
  }

  int OnMouse(const TDialogEvent& event) {
    const Win& w = *m_window;
    const bool inside = event.col >= w.Left() && event.col <= w.Right() && event.row >= w.Top() &&
                        event.row <= w.Bottom();
    if (!inside) return event.type == TDialogEvent::LeftPress ? -1 : 1;
    if (event.type == TDialogEvent::Wheel) {
      Select(m_selected - event.value);
      return 1;
    }
    const int row = event.row - w.OriginRow();
    // Held on the frame just above or below the rows, the button scrolls
    // one row at a time until it is let go.
    if (event.type == TDialogEvent::LeftPress && (row < 0 || row >= m_visible)) {
      AutoScroll(row < 0 ? -1 : 1);
      return 1;
    }
    if (event.type == TDialogEvent::LeftPress || event.type == TDialogEvent::LeftDrag) {
      if (row >= 0 && row < m_visible) Select(m_top + row);
      return 1;
    }
    if (event.type == TDialogEvent::LeftDoubleClick && row >= 0 && row < m_visible &&
        m_top + row < static_cast<int>(m_rows.size())) {
      Select(m_top + row);
      return 0;
    }
    return 1;
  }

  void AutoScroll(int step) {
    const int last = static_cast<int>(m_rows.size()) - 1;
    do {
      Select(m_selected + step);
      Draw();
    } while (m_selected > 0 && m_selected < last && g_console->WaitWithoutInput(g_scrollDelay));
  }

  void Select(int index) {
    m_selected = std::max(0, std::min(index, static_cast<int>(m_rows.size()) - 1));
    m_current = m_rows[m_selected].node;
    // Scrolling goes by whole pages.
    while (m_selected < m_top) m_top = std::max(0, m_top - m_visible);
    while (m_selected >= m_top + m_visible) m_top += m_visible;
  }

  void Centre() {
    if (m_selected >= m_top && m_selected < m_top + m_visible) return;
    m_top = std::max(0, m_selected - m_visible / 2);
  }

  void SameDepth(int step) {
    const int depth = m_rows[m_selected].depth;
    for (int i = m_selected + step; i >= 0 && i < static_cast<int>(m_rows.size()); i += step) {
      if (m_rows[i].depth > depth) continue;
      Select(i);
      return;
    }
  }

  void Fold(bool expand, bool wholeSubtree) {
    SetExpanded(m_current, expand, wholeSubtree);
    Rebuild();
  }

  bool Search(const Westring& text, bool inclusive) {
    if (text.IsEmpty()) return false;
    TREENODE* match = FindTreeMatch(m_tree->Root(), m_current, text, inclusive);
    if (match == nullptr) return false;
    for (TREENODE* up = match->parent; up != nullptr; up = up->parent) up->expanded = 1;
    m_current = match;
    Rebuild();
    Centre();
    return true;
  }

  bool Rescan() {
    const Westring path = m_tree->FullPath(m_current);
    RunTreeScan(m_tree);
    if (m_tree->Root() == nullptr) return false;
    m_current = StartNode(path);
    Rebuild();
    Centre();
    return true;
  }

  // The selection stays on its node, or on the nearest ancestor still shown.
  void Rebuild() {
    m_rows = BuildTreeRows(m_tree->Root());
    for (TREENODE* node = m_current; node != nullptr; node = node->parent) {
      auto found = std::find_if(m_rows.begin(), m_rows.end(),
                                [node](const TTreeRow& row) { return row.node == node; });
      if (found == m_rows.end()) continue;
      m_selected = static_cast<int>(found - m_rows.begin());
      m_current = node;
      break;
    }
    const int last = std::max(0, static_cast<int>(m_rows.size()) - 1);
    m_selected = std::min(m_selected, last);
    m_top = std::min(m_top, m_selected);
    if (m_selected >= m_top + m_visible) m_top = m_selected - m_visible + 1;
  }

  void Draw() {
    Win& w = *m_window;
    const int width = w.Width();
    for (int row = 0; row < m_visible; ++row) {
      const int index = m_top + row;
      Westring text =
          index < static_cast<int>(m_rows.size()) ? TreeRowText(m_rows[index]) : Westring();
      text = Westring(L" ") + text;
      w.WriteText(0, row, text.Left(width).FitLeft(width).c_str(),
                  index == m_selected ? Colour(ColourClass::MenuHighlight) : -1);
    }
    DrawBottomLine();
  }

  void DrawBottomLine() {
    const Win& w = *m_window;
    const uint8_t attr = Colour(ColourClass::Menu);
    const int room = w.Right() - w.Left() - 3;
    Westring line = Westring(L" Search: ") + m_search + L" ";
    if (m_standAlone) {
      const Westring hint(L" Ctrl-Enter for next match ");
      const int gap = room - line.Length() - hint.Length();
      if (gap > 0) line += Westring(gap, 0x2550) + hint;
    }
    g_console->WriteText(w.Left() + 2, w.Bottom(), line.Left(room).c_str(), attr);
    const int cursor = std::min(w.Left() + 2 + 9 + m_search.Length(), w.Right() - 1);
    g_console->SetCursorPos(cursor, w.Bottom());
  }

  CTree* m_tree;
  bool m_standAlone;
  std::unique_ptr<Win> m_window;
  std::vector<TTreeRow> m_rows;
  TREENODE* m_current = nullptr;
  Westring m_search;
  int m_selected = 0, m_top = 0, m_visible = 1;
};

}  // namespace

std::vector<TTreeRow> BuildTreeRows(TREENODE* root) {
  std::vector<TTreeRow> rows;
  if (root != nullptr) AddRows(root, 0, &rows);
  return rows;
}

Westring TreeRowText(const TTreeRow& row) {
  Westring text;
  for (int depth = 1; depth < row.depth; ++depth) {
    text += (row.mask >> depth & 1) ? kVertical : L' ';
    text += L' ';
  }
  if (row.depth >= 1) {
    text += (row.mask >> row.depth & 1) ? kBranch : kLastBranch;
    text += kHorizontal;
  }
  return text + row.node->name;
}

TREENODE* FindTreeMatch(TREENODE* root, TREENODE* from, const Westring& text, bool inclusive) {
  if (root == nullptr || text.IsEmpty()) return nullptr;
  if (from == nullptr) from = root;
  TREENODE* start = inclusive ? from : NextInPreorder(from);
  if (start == nullptr) start = root;
  TREENODE* node = start;
  do {
    if (node != root && StartsWithNoCase(node->name, text)) return node;
    node = NextInPreorder(node);
    if (node == nullptr) node = root;
  } while (node != start);
  return nullptr;
}

int ShowTreeWindow(CTree* tree, int width, const Westring& currentPath, Westring* chosen) {
  if (tree == nullptr || tree->Root() == nullptr || g_console == nullptr) return -1;
  CTreeWindow window(tree, width, currentPath);
  return window.Run(chosen);
}
