// Real X input against the console window: xdotool sends key and pointer
// events through the X server, GetKey must return the documented codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "console/Console.h"
#include "console/KeyCodes.h"
#include "console/KeyTable.h"
#include "console/ScreenDump.h"

// After the gtkmm headers: Xlib defines macros they would trip over.
#include <gdk/gdkx.h>

namespace {

CConsole& Con() { return *g_console; }

unsigned long WindowId() {
  unsigned long id = 0;
  Con().RunOnWindowThread([&] { id = GDK_WINDOW_XID(Con().get_window()->gobj()); });
  return id;
}

// Runs a command and returns its standard output.
std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

void Xdotool(const std::string& args) {
  RunCommand("xdotool windowfocus --sync " + std::to_string(WindowId()) + " " + args);
}

// An xdotool pointer move to a cell, `inset` pixels into it.
std::string MoveTo(int col, int row, int insetX, int insetY) {
  return "mousemove --window " + std::to_string(WindowId()) + " " +
         std::to_string(col * Con().CellWidth() + insetX) + " " +
         std::to_string(row * Con().CellHeight() + insetY) + " ";
}

// Drains the queue: every code until nothing arrives for a while, with the
// modifier-change codes counted apart.
struct TRead {
  std::vector<uint32_t> codes;
  int modifierChanges = 0;
  TMouseRecord lastMouse;
  std::vector<TMouseRecord> mice;
};

TRead ReadCodes() {
  TRead read;
  for (;;) {
    TMouseRecord info;
    const uint32_t code = Con().GetKey(&info, 500);
    if (code == 0) break;
    if (code == Key::ModifierChange) {
      ++read.modifierChanges;
      continue;
    }
    if (code == Key::Mouse) {
      read.lastMouse = info;
      read.mice.push_back(info);
    }
    read.codes.push_back(code);
  }
  return read;
}

class KeyInputTest : public testing::Test {
 protected:
  void SetUp() override {
    Xdotool("");  // focus the window: Xvfb has no window manager to do it
    ReadCodes();
  }
};

}  // namespace

TEST_F(KeyInputTest, KeysInEveryModifierSet) {
  struct Case {
    const char* keys;
    std::vector<uint32_t> codes;
  };
  const Case cases[] = {
      {"F1 F10 F11 F12", {Key::F1, Key::F10, Key::F11, Key::F12}},
      {"shift+F1 shift+F12 ctrl+F1 ctrl+F12", {Key::ShiftF1, Key::ShiftF12, Key::CtrlF1, Key::CtrlF12}},
      {"alt+F1 alt+F11 ctrl+shift+F1 ctrl+shift+F12",
       {Key::AltF1, Key::AltF11, Key::ShiftCtrlF1, Key::ShiftCtrlF12}},
      {"alt+shift+F2 alt+shift+F12", {Key::ShiftAltF2, Key::ShiftAltF12}},
      {"Up Down Left Right", {Key::Up, Key::Down, Key::Left, Key::Right}},
      {"ctrl+Left shift+Up alt+Down", {Key::CtrlLeft, Key::ShiftUp, Key::AltDown}},
      {"Home End Prior Next Insert Delete",
       {Key::Home, Key::End, Key::PageUp, Key::PageDown, Key::Insert, Key::Delete}},
      {"Return Tab BackSpace Escape", {Key::Enter, Key::Tab, Key::BackSpace, Key::Esc}},
      {"KP_Add KP_Subtract KP_Multiply KP_Enter",
       {Key::GreyPlus, Key::GreyMinus, Key::GreyTimes, Key::Enter}},
      {"ctrl+1 ctrl+9 ctrl+0 ctrl+shift+1",
       {Key::Ctrl1, Key::Ctrl9, Key::Ctrl0, Key::Ctrl1 | Key::ShiftFlag}},
      {"alt+a alt+z alt+1 alt+0", {Key::AltA, Key::AltZ, Key::Alt1, Key::Alt0}},
      {"ctrl+a ctrl+i ctrl+m ctrl+z", {Key::CtrlA, Key::CtrlI, Key::CtrlM, Key::CtrlZ}},
  };
  for (const Case& c : cases) {
    Xdotool(std::string("key ") + c.keys);
    EXPECT_EQ(ReadCodes().codes, c.codes) << "input: " << c.keys;
  }
}

TEST_F(KeyInputTest, KeypadWithAndWithoutNumLock) {
  // Without Num Lock the keypad keys are navigation keys.
  Xdotool("key KP_Home KP_Up KP_Page_Down KP_Delete ctrl+KP_End ctrl+KP_Begin");
  EXPECT_EQ(ReadCodes().codes,
            (std::vector<uint32_t>{Key::Home, Key::Up, Key::PageDown, Key::Delete,
                                   Key::CtrlKeypad0 + 1, Key::CtrlKeypad0 + 5}));
  // With Num Lock the digits arrive as typed text, Ctrl gives the keypad codes.
  Xdotool("key Num_Lock");
  ReadCodes();
  Xdotool("key KP_1 KP_7 ctrl+KP_1 ctrl+KP_7");
  const TRead read = ReadCodes();
  Xdotool("key Num_Lock");
  ReadCodes();
  EXPECT_EQ(read.codes,
            (std::vector<uint32_t>{'1', '7', Key::CtrlKeypad0 + 1, Key::CtrlKeypad0 + 7}));
}

TEST_F(KeyInputTest, ModifiersAloneReportChangesAndTextComesThroughTheInputMethod) {
  Xdotool("key shift");
  const TRead shift = ReadCodes();
  EXPECT_TRUE(shift.codes.empty());
  EXPECT_EQ(shift.modifierChanges, 2) << "press and release of Shift";

  Xdotool("type --delay 20 'aZ\u00e9\u0416'");
  EXPECT_EQ(ReadCodes().codes, (std::vector<uint32_t>{'a', 'Z', 0xE9, 0x416}));
}

TEST_F(KeyInputTest, BreakRequestsAStopOnlyWhileAnOperationAcceptsOne) {
  g_breakFlag = 0;
  Xdotool("key Break");
  EXPECT_TRUE(ReadCodes().codes.empty()) << "Break is no key code";
  EXPECT_EQ(g_breakFlag.load(), 0) << "nothing runs that could be stopped";
  g_breakFlag = 1;
  Xdotool("key Break");
  ReadCodes();
  EXPECT_EQ(g_breakFlag.load(), 2);
  g_breakFlag = 0;
}

TEST_F(KeyInputTest, ClosingTheWindowPostsF10AndKeepsIt) {
  // What a window manager sends when the user closes the window.
  Con().RunOnWindowThread([&] {
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = static_cast<GdkWindow*>(g_object_ref(Con().get_window()->gobj()));
    gtk_main_do_event(event);
    gdk_event_free(event);
  });
  EXPECT_EQ(ReadCodes().codes, std::vector<uint32_t>{Key::F10});
  bool visible = false;
  Con().RunOnWindowThread([&] { visible = Con().get_visible(); });
  EXPECT_TRUE(visible);
}

TEST_F(KeyInputTest, DraggingOverTwoRowsPutsTheirTextOnTheClipboard) {
  Con().FillArea(0, 0, 80, 25, 7);
  Con().WriteText(2, 6, L"first row   ", 7);
  Con().WriteText(2, 7, L"second", 7);
  Con().SetMouseArea(0, 0, 80, 25);
  auto at = [](int col, int row) {
    return MoveTo(col, row, Con().CellWidth() / 2, Con().CellHeight() / 2);
  };
  Xdotool(at(2, 6) + "mousedown 1");
  Xdotool(at(8, 7));
  Xdotool(at(14, 7) + "mouseup 1");
  const TRead read = ReadCodes();
  ASSERT_FALSE(read.codes.empty()) << "the release is still an event";
  EXPECT_EQ(read.lastMouse.action, TMouseRecord::LeftRelease);
  EXPECT_EQ(RunCommand("xclip -o -selection clipboard"), "first row\nsecond\n");
  EXPECT_EQ(Con().PasteFromClipboard(), Westring(L"first row\nsecond\n"));

  // Outside the mouse area a press is an ordinary mouse event.
  Con().SetMouseArea(0, 0, 80, 1);
  Xdotool(at(5, 10) + "click 3");
  const TRead click = ReadCodes();
  ASSERT_EQ(click.codes.size(), 2u);
  EXPECT_EQ(click.lastMouse.action, TMouseRecord::RightRelease);
  EXPECT_EQ(click.lastMouse.column, 5);
  EXPECT_EQ(click.lastMouse.row, 10);
}

TEST_F(KeyInputTest, ClicksDoubleClicksDragsAndTheWheelBecomeMouseRecords) {
  Con().SetMouseArea(0, 0, 80, 1);  // keep the selection out of the way
  auto at = [](int col, int row) { return MoveTo(col, row, 1, 1); };
  auto actions = [](const TRead& read) {
    std::vector<uint32_t> list;
    for (const TMouseRecord& m : read.mice) list.push_back(m.action);
    return list;
  };
  using M = TMouseRecord;

  Xdotool(at(7, 9) + "click --repeat 2 --delay 50 1");
  TRead read = ReadCodes();
  EXPECT_EQ(actions(read), (std::vector<uint32_t>{M::LeftPress, M::LeftRelease, M::LeftPress,
                                                  M::LeftDoubleClick, M::LeftRelease}));
  EXPECT_EQ(read.lastMouse.column, 7);
  EXPECT_EQ(read.lastMouse.row, 9);

  // The X server under test drops the first pointer move after a press, so
  // the drag moves in small steps; every step that arrives is a right drag.
  Xdotool(at(3, 4) + "mousedown 3");
  for (auto [col, row] : {std::pair{4, 4}, {5, 5}, {6, 5}}) Xdotool(at(col, row));
  Xdotool("mouseup 3");
  read = ReadCodes();
  const std::vector<uint32_t> drag = actions(read);
  ASSERT_GE(drag.size(), 3u);
  EXPECT_EQ(drag.front(), M::RightPress);
  EXPECT_EQ(drag.back(), M::RightRelease);
  for (size_t i = 1; i + 1 < drag.size(); ++i) EXPECT_EQ(drag[i], M::RightDrag);
  EXPECT_EQ(read.mice[drag.size() - 2].column, 6);
  EXPECT_EQ(read.mice[drag.size() - 2].row, 5);

  Xdotool("keydown shift click 4 click 5 keyup shift");
  read = ReadCodes();
  ASSERT_EQ(actions(read), (std::vector<uint32_t>{M::Wheel, M::Wheel}));
  EXPECT_EQ(read.mice[0].wheelDelta, 1);
  EXPECT_EQ(read.mice[1].wheelDelta, -1);
  EXPECT_EQ(read.mice[0].state & ModState::Shift, ModState::Shift) << "mouse records keep Shift";

  // With Ctrl the wheel zooms the font instead.
  const int fontSize = Con().FontSize();
  Xdotool("keydown ctrl click 4 keyup ctrl");
  read = ReadCodes();
  EXPECT_TRUE(actions(read).empty());
  EXPECT_EQ(Con().FontSize(), fontSize + 1);
  Con().SetScreenSize(25, 80, "", fontSize);
}

TEST(EventQueue, TimeOutsAndOrderUnderASecondPostingThread) {
  CConsole::CEventQueue queue;
  EXPECT_EQ(queue.Wait(0), nullptr) << "time-out 0 on an empty queue returns at once";
  EXPECT_EQ(queue.Wait(30), nullptr);
  std::thread poster([&] {
    for (int i = 1; i <= 500; ++i) {
      TConsoleEvent event;
      event.code = i;
      queue.Post(event);
    }
  });
  for (int i = 1; i <= 500; ++i) {
    std::unique_ptr<TConsoleEvent> event = queue.Wait(WaitForever);
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(event->code, i) << "records must come out in the order they went in";
  }
  poster.join();
  EXPECT_EQ(queue.Count(), 0);
}

TEST(EventQueue, EscPressedConsumesWhateverItTakes) {
  TConsoleEvent key;
  key.code = 'x';
  Con().Events().Post(key);
  EXPECT_FALSE(Con().EscPressed());
  EXPECT_FALSE(Con().KeyPending()) << "the non-Escape key must be gone";
  key.code = Key::Esc;
  Con().Events().Post(key);
  EXPECT_TRUE(Con().EscPressed());
  EXPECT_FALSE(Con().EscPressed()) << "nothing left";

  int idle = 0;
  Con().SetIdleHandler([&] { ++idle; });
  EXPECT_EQ(Con().GetKey(nullptr, 0), 0u);
  EXPECT_EQ(idle, 1) << "GetKey runs the idle routine before it waits";
  Con().SetIdleHandler(nullptr);
}

TEST(EventQueue, AScreenDumpRequestIsWrittenWhileTheKeyReaderWaits) {
  const std::string path = "/tmp/vk-dump-" + std::to_string(getpid());
  setenv("VK_SCREEN_DUMP", path.c_str(), 1);
  EnableScreenDumps();
  Con().FillArea(0, 0, Con().Columns(), 1, 0x07);
  Con().WriteText(0, 0, L"DUMPED", 0x1E);
  Con().SetAttributes(2, 0, 1, 0xA0);
  std::string line;
  std::thread asker([&] {
    raise(SIGUSR1);
    for (int i = 0; i < 100 && line != "DUMPED"; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      std::ifstream(path) >> line;
    }
    Con().Events().Post(TConsoleEvent{TConsoleEvent::Key, 'k'});
  });
  EXPECT_EQ(Con().GetKey(nullptr, 30000), static_cast<uint32_t>('k')) << "the wake-up is no key";
  asker.join();
  EXPECT_EQ(line, "DUMPED") << "the signal woke the waiting reader, which wrote the screen";

  // The text rows, "--", a line of attributes for each row, the cursor.
  std::vector<std::string> dump;
  std::ifstream in(path);
  while (std::getline(in, line)) dump.push_back(line);
  const size_t rows = static_cast<size_t>(Con().Lines());
  ASSERT_EQ(dump.size(), 2 * rows + 2);
  EXPECT_EQ(dump[rows], "--");
  std::string wanted = "1e1ea01e1e1e";
  while (wanted.size() < 2 * static_cast<size_t>(Con().Columns())) wanted += "07";
  EXPECT_EQ(dump[rows + 1], wanted) << "two hex digits a cell, the first row's colours";
  EXPECT_EQ(dump.back().rfind("cursor ", 0), 0u) << dump.back();
  unlink(path.c_str());
}
