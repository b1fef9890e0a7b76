#include "app/MenuBar.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <memory>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/Win.h"
#include "foundation/Westring.h"

namespace {

CConsole& Con() { return *g_console; }

constexpr wchar_t kSeparatorLeft = 0x255F, kSeparatorLine = 0x2500, kSeparatorRight = 0x2562;

/// Where the bar is: the current menu, its current item and whether its box is down.
struct TMenuState {
  int menu = -1;
  int item = 0;
  bool dropped = false;
};

TMenuState s_last;

bool Selectable(const TMenuItem& item) { return (item.flags & MenuFlag::Selectable) != 0; }

/// The next selectable item from `from` in direction step (+1 or -1),
/// wrapping; `from` itself when nothing else is selectable.
int StepItem(const TMenu& menu, int from, int step) {
  int item = from;
  for (int tries = 0; tries < menu.count; ++tries) {
    item = (item + step + menu.count) % menu.count;
    if (Selectable(menu.items[item])) return item;
  }
  return from;
}
int FirstItem(const TMenu& menu) { return StepItem(menu, menu.count - 1, 1); }
int LastItem(const TMenu& menu) { return StepItem(menu, 0, -1); }

wchar_t HotLetter(const char* text, int index) {
  return static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(text[index])));
}

/// The hot letter keeps the quick-key foreground on the background of the line it is in.
uint8_t QuickKeyOn(uint8_t attr) {
  return MakeAttr(AttrForeground(Colour(ColourClass::MenuQuickKey)), AttrBackground(attr));
}

/// The last menu whose title starts at or before the column.
int MenuAtColumn(int column) {
  int found = 0;
  for (int m = 0; m < MenuCount(); ++m)
    if (MenuAt(m).column <= column) found = m;
  return found;
}

/// One run of the bar: owns the bar line's window and the dropped box's,
/// which put the screen back as they go.
class CMenuBarRun {
 public:
  explicit CMenuBarRun(TMenuState start) : m_bar(OpenBar()), m_state(start) {}

  uint32_t Run(const TMouseRecord* openingClick) {
    // A new screen size gets a bar of the new width and the box dropped again.
    CRedrawOnResize redraw([this] {
      m_box.reset();
      m_boxMenu = -1;
      m_bar.reset();
      m_bar = OpenBar();
      Show();
    });
    if (openingClick) ClickOnBar(openingClick->column);
    while (!m_done) {
      Show();
      TMouseRecord info;
      const uint32_t key = Con().GetKey(&info, -1);
      if (key == Key::Mouse)
        OnMouse(info);
      else
        OnKey(key);
    }
    return m_result;
  }

  const TMenuState& State() const { return m_state; }

 private:
  const TMenu& Current() const { return MenuAt(m_state.menu); }

  static std::unique_ptr<Win> OpenBar() {
    return std::make_unique<Win>(0, 0, Con().Columns() - 1, 0, Colour(ColourClass::MenuBar), -1);
  }

  void Choose() {
    m_result = Current().items[m_state.item].code;
    m_done = true;
  }

  void SelectMenu(int menu, bool dropped) {
    m_state.menu = menu;
    m_state.item = FirstItem(MenuAt(menu));
    m_state.dropped = dropped;
  }

  void ClickOnBar(int column) { SelectMenu(MenuAtColumn(column), true); }

  void OnKey(uint32_t key) {
    const TMenu& menu = Current();
    switch (key) {
      case Key::Enter:
        if (m_state.dropped)
          Choose();
        else
          m_state.dropped = true;
        return;
      case Key::Esc:
        if (m_state.dropped)
          m_state.dropped = false;
        else
          m_done = true;
        return;
      case Key::Left:
        SelectMenu((m_state.menu + MenuCount() - 1) % MenuCount(), m_state.dropped);
        return;
      case Key::Right:
        SelectMenu((m_state.menu + 1) % MenuCount(), m_state.dropped);
        return;
      case Key::Up:
        if (m_state.dropped) m_state.item = StepItem(menu, m_state.item, -1);
        return;
      case Key::Down:
        if (m_state.dropped)
          m_state.item = StepItem(menu, m_state.item, 1);
        else
          m_state.dropped = true;
        return;
      case Key::Home:
        if (m_state.dropped) m_state.item = FirstItem(menu);
        return;
      case Key::End:
        if (m_state.dropped) m_state.item = LastItem(menu);
        return;
      case Key::F1: {
        // The Right menu shares the Left menu's topic.
        ShowHelp(HelpTopic::MenuLeft + (m_state.menu == MenuIndex::Right ? 0 : m_state.menu));
        return;
      }
      default:
        break;
    }
    if (key >= Key::Extended || !std::iswalpha(static_cast<wint_t>(key))) return;
    const wchar_t letter = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(key)));
    if (m_state.dropped) {
      for (int i = 0; i < menu.count; ++i) {
        if (Selectable(menu.items[i]) &&
            HotLetter(menu.items[i].text, menu.items[i].hotIndex) == letter) {
          m_state.item = i;
          Choose();
          return;
        }
      }
      return;
    }
    for (int m = 0; m < MenuCount(); ++m) {
      const char* title = MenuAt(m).title;
      const int hot = static_cast<int>(std::strspn(title, " "));
      if (HotLetter(title, hot) == letter) {
        SelectMenu(m, true);
        return;
      }
    }
  }

  /// The item under a screen cell of the dropped box: its index, -1 outside
  /// the box, -2 on its frame or a separator.
  int ItemAt(int column, int row) const {
    if (!m_box) return -1;
    if (column < m_box->Left() || column > m_box->Right() || row < m_box->Top() ||
        row > m_box->Bottom())
      return -1;
    const int item = row - m_box->OriginRow();
    if (column < m_box->OriginColumn() || column >= m_box->OriginColumn() + m_box->Width() ||
        item < 0 || item >= Current().count || !Selectable(Current().items[item]))
      return -2;
    return item;
  }

  void OnMouse(const TMouseRecord& info) {
    const bool press = info.action == TMouseRecord::LeftPress;
    const bool drag = info.action == TMouseRecord::LeftDrag;
    const bool release = info.action == TMouseRecord::LeftRelease;
    const bool doubleClick = info.action == TMouseRecord::LeftDoubleClick;
    if (!press && !drag && !release && !doubleClick) return;
    if (info.row == 0) {
      if (press || doubleClick) ClickOnBar(info.column);
      return;
    }
    const int item = ItemAt(info.column, info.row);
    if (item >= 0) {
      m_state.item = item;
      if (release || doubleClick) Choose();
      return;
    }
    if (item == -1 && (press || doubleClick)) OnKey(Key::Esc);
  }

  void Show() {
    Con().BeginUpdate();
    if (!m_state.dropped || m_boxMenu != m_state.menu) {
      m_box.reset();
      m_boxMenu = -1;
    }
    DrawBar();
    if (m_state.dropped) {
      if (!m_box) OpenBox();
      for (int i = 0; i < Current().count; ++i) DrawItem(i);
    }
    Con().EndUpdate();
  }

  void DrawBar() {
    const uint8_t barAttr = Colour(ColourClass::MenuBar);
    m_bar->WriteText(0, 0, Westring(MenuBarText()).FitLeft(m_bar->Width()).c_str(), barAttr);
    for (int m = 0; m < MenuCount(); ++m) {
      const TMenu& menu = MenuAt(m);
      const uint8_t attr = m == m_state.menu ? Colour(ColourClass::MenuHighlight) : barAttr;
      m_bar->WriteText(menu.column, 0, menu.title, attr);
      const int hot = static_cast<int>(std::strspn(menu.title, " "));
      Con().SetAttributes(menu.column + hot, 0, 1, QuickKeyOn(attr));
    }
  }

  void OpenBox() {
    const TMenu& menu = Current();
    const int outerWidth = menu.width + 2;
    const int left = std::max(0, std::min(menu.column, Con().Columns() - outerWidth));
    const uint8_t attr = Colour(ColourClass::Menu);
    m_box = std::make_unique<Win>(left, 1, left + outerWidth - 1, menu.count + 2, attr, attr);
    m_boxMenu = m_state.menu;
  }

  void DrawItem(int index) {
    const TMenuItem& item = Current().items[index];
    const int width = m_box->Width();
    if (!Selectable(item)) {
      Westring line(1, kSeparatorLeft);
      line += Westring(width, kSeparatorLine);
      line += kSeparatorRight;
      Con().WriteText(m_box->Left(), m_box->OriginRow() + index, line.c_str(), m_box->Attr());
      return;
    }
    const uint8_t attr =
        index == m_state.item ? Colour(ColourClass::MenuHighlight) : Colour(ColourClass::Menu);
    Westring text(L" ");
    text += Westring(item.text);
    m_box->WriteText(0, index, text.FitLeft(width).c_str(), attr);
    Con().SetAttributes(m_box->OriginColumn() + 1 + item.hotIndex, m_box->OriginRow() + index, 1,
                        QuickKeyOn(attr));
  }

  std::unique_ptr<Win> m_bar;
  std::unique_ptr<Win> m_box;
  int m_boxMenu = -1;
  TMenuState m_state;
  uint32_t m_result = 0;
  bool m_done = false;
};

}  // namespace

uint32_t RunMenuBar(int activeSide, bool reopen, const TMouseRecord* openingClick) {
  TMenuState start = s_last;
  if (!reopen || start.menu < 0) {
    start.menu = activeSide == 0 ? MenuIndex::Left : MenuIndex::Right;
    start.item = FirstItem(MenuAt(start.menu));
    start.dropped = false;
  }
  CMenuBarRun run(start);
  const uint32_t code = run.Run(openingClick);
  s_last = run.State();
  return code;
}

