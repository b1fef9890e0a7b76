#include "tools/HelpViewer.h"

#include <algorithm>
#include <vector>

#include "config/FileLocations.h"
#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Help.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/Win.h"
#include "tools/HelpFile.h"

namespace {

constexpr int kWindowWidth = 74;
constexpr int kHelpLabelColumn = 3, kExitLabelColumn = 58;
constexpr int kWheelRows = 3;
constexpr wchar_t kMoreAbove = 0x25B2, kMoreBelow = 0x25BC, kFrameVertical = 0x2551;

class CHelpWindow {
 public:
  CHelpWindow()
      : m_window(-1, -2, kWindowWidth, std::max(g_console->Lines() - 5, 3),
                 Colour(ColourClass::Messages), Colour(ColourClass::Messages)) {}

  // False when no record could be shown: the user has been told why.
  bool ShowTopic(int topic) {
    int found = -1;
    std::vector<Westring> lines = g_helpFile.TopicLines(topic, g_settings.tabWidth, &found);
    if (found < 0) {
      MessageBox(Westring(g_helpFile.Loaded() ? "Help file is damaged" : "Help not loaded"),
                 Westring(), MessageStyle::Ok);
      return false;
    }
    m_lines = std::move(lines);
    m_topic = found;
    m_top = 0;
    Draw();
    return true;
  }

  void Run() {
    CRedrawOnResize redraw([this] {
      m_window.Repaint();
      Draw();
    });
    for (;;) {
      TMouseRecord mouse;
      const uint32_t key = g_console->GetKey(&mouse, -1);
      if (key == Key::Esc) return;
      if (key == Key::F1) {
        if (m_topic != HelpTopic::Index) ShowTopic(HelpTopic::Index);
        continue;
      }
      if (key == Key::Mouse) {
        if (mouse.action == TMouseRecord::Wheel)
          ScrollTo(m_top + (mouse.wheelDelta > 0 ? -kWheelRows : kWheelRows));
        continue;
      }
      ScrollTo(NewTop(key));
    }
  }

 private:
  int Page() const { return std::max(m_window.Height(), 1); }
  int LastTop() const { return std::max(static_cast<int>(m_lines.size()) - Page(), 0); }

  int NewTop(uint32_t key) const {
    switch (key) {
      case Key::Up:
        return m_top - 1;
      case Key::Down:
        return m_top + 1;
      case Key::PageUp:
        return m_top - Page();
      case Key::PageDown:
        return m_top + Page();
      case Key::Home:
        return 0;
      case Key::End:
        return LastTop();
      default:
        return m_top;
    }
  }

  void ScrollTo(int top) {
    top = std::clamp(top, 0, LastTop());
    if (top == m_top) return;
    m_top = top;
    Draw();
  }

  void Draw() {
    g_console->BeginUpdate();
    const int width = m_window.Width();
    for (int row = 0; row < m_window.Height(); ++row) {
      const size_t index = static_cast<size_t>(m_top + row);
      const Westring line = index < m_lines.size() ? m_lines[index] : Westring();
      m_window.WriteText(0, row, line.Left(width).FitLeft(width).c_str());
    }
    DrawFrameTexts();
    g_console->EndUpdate();
  }

  // The labels sit on the frame; the right frame column's first and last
  // cells mark lines hidden above and below.
  void DrawFrameTexts() {
    const uint8_t attr = m_window.Attr();
    m_window.DrawTitle(Westring(L" Varnak 2.40-dev "));
    g_console->WriteText(m_window.Left() + kHelpLabelColumn, m_window.Top(), L" Help ", attr);
    g_console->WriteText(m_window.Left() + kExitLabelColumn, m_window.Bottom(), L" Esc to Exit ",
                         attr);
    const wchar_t above[2] = {m_top > 0 ? kMoreAbove : kFrameVertical, 0};
    const wchar_t below[2] = {m_top < LastTop() ? kMoreBelow : kFrameVertical, 0};
    g_console->WriteText(m_window.Right(), m_window.Top() + 1, above, attr);
    g_console->WriteText(m_window.Right(), m_window.Bottom() - 1, below, attr);
  }

  Win m_window;
  std::vector<Westring> m_lines;
  int m_topic = 0;
  int m_top = 0;
};

}  // namespace

void RunHelpViewer(int topic) {
  if (!g_helpFile.Loaded()) {
    MessageBox(Westring("Help not loaded"), Westring(), MessageStyle::Ok | MessageStyle::Messages);
    return;
  }
  const int cursorSize = g_console->CursorSize();
  g_console->SetCursorSize(0);
  {
    CHelpWindow window;
    if (window.ShowTopic(topic)) window.Run();
  }
  g_console->SetCursorSize(cursorSize);
}

void LoadHelp() {
  const Westring file = FindHelpFile();
  if (!file.IsEmpty()) (void)g_helpFile.Load(file);
  SetHelpViewer(RunHelpViewer);
}
