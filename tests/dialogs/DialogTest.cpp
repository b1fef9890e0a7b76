// Real dialogs run against the console: events go in through the queue, and
// the results, the bound variables and the grid come out.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "dialogs/Buttons.h"
#include "dialogs/Dialog.h"
#include "dialogs/Help.h"
#include "dialogs/Look.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

constexpr uint8_t kAttr = 0x70;
using DialogTest = ScreenTest;

}  // namespace

TEST_F(DialogTest, TheFirstButtonIsTheDefaultAndLabelsGiveAltHotKeys) {
  uint8_t flag = 0;
  Dialog dialog(-1, -3, 40, 8, kAttr);
  const int box = dialog.AddCheckBox(20, 1, true, &flag, "_Flag");
  const int yes = dialog.AddButtonRow(
      -1, -1, std::initializer_list<TButtonSpec>{{1, "_Yes"}, {2, "_No"}, {0, nullptr}}.begin());
  EXPECT_EQ(dialog.DefaultResult(), 1);
  EXPECT_EQ(dialog.HotKeyLetter(yes), L'y');
  EXPECT_EQ(dialog.HotKeyLetter(box), L'f');
  PostKey(Key::Enter);  // the focus is on the check box, which leaves Enter alone
  EXPECT_EQ(dialog.Run(), 1);
  PostKey(Key::AltN);
  EXPECT_EQ(dialog.Run(), 2);
  PostKeys({Key::AltF, Key::Esc});
  EXPECT_EQ(dialog.Run(), 27);
  EXPECT_EQ(flag, 1) << "Alt+F toggled the check box";
}

TEST_F(DialogTest, MouseOutsideTheWindowCancelsOnlyWhenPressedOutsideToo) {
  Dialog dialog(-1, -3, 30, 6, kAttr);
  dialog.AddOkCancel(-1, -1);
  PostClick(1, 1);
  EXPECT_EQ(dialog.Run(), 27);

  PostMouse(TConsoleEvent::Press, 1, dialog.Left() + 3, dialog.Top() + 2);
  PostMouse(TConsoleEvent::Release, 1, 1, 1);
  EXPECT_EQ(dialog.Run(200), 0) << "pressed inside, released outside: the dialog stays";

  PostMouse(TConsoleEvent::Release, 2, 1, 1);
  EXPECT_EQ(dialog.Run(), 13) << "a right release accepts like Enter";
}

TEST_F(DialogTest, TabMovesBetweenGroupsAndArrowsChooseWithinARadioGroup) {
  int answer = 2;
  uint8_t first = 0, second = 0;
  Dialog dialog(0, 0, 50, 12, kAttr);
  const int box1 = dialog.AddCheckBox(5, 0, true, &first, "One", true);
  const int radio0 = dialog.AddRadioButton(5, 2, true, &answer, 1, "Red");
  dialog.AddRadioButton(5, 3, false, &answer, 2, "Green");
  dialog.AddRadioButton(5, 4, false, &answer, 3, "Blue");
  const int box2 = dialog.AddCheckBox(5, 6, true, &second, "Two", true);
  dialog.AddOkCancel(-1, -1);

  // Tab to the radio group lands on the chosen answer (not the first button
  // of the group), Down selects the next, Tab leaves for the next box.
  PostKeys({Key::Tab, Key::Down, Key::Tab, L' ', Key::Esc});
  EXPECT_EQ(dialog.Run(), 27);
  EXPECT_EQ(answer, 3);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(dialog.Focus(), box2);

  // Shift+Tab goes back a group; Down wraps round inside it.
  RunKeys(dialog, {Key::ShiftTab, Key::Down});
  EXPECT_EQ(dialog.Focus(), radio0);
  EXPECT_EQ(answer, 1);
  RunKeys(dialog, {Key::ShiftTab});
  EXPECT_EQ(dialog.Focus(), box1);
}

TEST_F(DialogTest, CheckBoxesToggleSetAndClearAndThreeStatesCycle) {
  uint8_t flag = 0, state = 0;
  Dialog dialog(0, 0, 40, 8, kAttr);
  dialog.AddCheckBox(12, 0, true, &flag, "Left label");
  dialog.AddCheckBox3S(10, 2, true, &state, "Three", true);
  const int col = dialog.OriginColumn(), row = dialog.OriginRow();
  RunKeys(dialog, {L' ', Key::Insert});
  EXPECT_EQ(flag, 1) << "Insert sets rather than toggles";
  RunKeys(dialog, {Key::Delete, Key::Delete});
  EXPECT_EQ(flag, 0);

  RunKeys(dialog, {Key::Tab, L' '});
  EXPECT_EQ(state, 1);
  RunKeys(dialog, {L' ', L' '});
  EXPECT_EQ(state, 0) << "0 -> 1 -> 2 -> 0";

  // A click on the box: the press focuses, the release toggles.
  PostClick(col + 13, row);
  RunKeys(dialog, {});
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(dialog.Focus(), 0);
}

TEST_F(DialogTest, TheDefaultButtonsBracketsStandOutAndOnlyPushButtonsCanBeIt) {
  uint8_t flag = 0;
  Dialog dialog(0, 0, 40, 6, kAttr);
  const int ok = dialog.AddOkCancel(1, 1);
  dialog.AddCheckBox(30, 0, true, &flag, "X");
  const int col = dialog.OriginColumn() + 1, row = dialog.OriginRow() + 1;
  RunKeys(dialog, {Key::Tab});
  EXPECT_EQ(AttrAt(col, row), HotKeyAttr(kAttr));
  EXPECT_EQ(AttrAt(col + 8, row), kAttr) << "Cancel is not the default";
  dialog.SetDefaultButton(ok + 1);
  EXPECT_EQ(dialog.DefaultResult(), 27);
  EXPECT_EQ(AttrAt(col + 8, row), HotKeyAttr(kAttr));
  dialog.SetDefaultButton(2);  // the check box is no push button
  EXPECT_EQ(dialog.DefaultResult(), 27);
}

// A dialog element that counts the events handed to it from other threads.
class CountingElement : public DialogElement {
 public:
  CountingElement(Dialog* dialog) : DialogElement(dialog, 0, 0, true) {}
  int TypeCode() const override { return 99; }
  bool HandleEvent(const TDialogEvent& event) override {
    if (event.type != TDialogEvent::Refresh) return false;
    ++refreshes;  // unsynchronised on purpose: the dialog's mutex must serialise it
    return true;
  }
  int refreshes = 0;
};

TEST_F(DialogTest, WorkersReachElementsOnlyThroughTheDialogsMutex) {
  Dialog dialog(0, 0, 30, 5, kAttr);
  auto* counter = new CountingElement(&dialog);
  TDialogEvent refresh;
  refresh.type = TDialogEvent::Refresh;
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i) dialog.HandleEventFor(counter->Index(), refresh);
  });
  for (int i = 0; i < 200; ++i) dialog.HandleEventFor(counter->Index(), refresh);
  worker.join();
  EXPECT_EQ(counter->refreshes, 400);
  EXPECT_FALSE(dialog.HandleEventFor(57, refresh)) << "no element 57";
}

TEST_F(DialogTest, F1AndAHelpButtonShowTheTopicWhileTheDialogGoesOn) {
  static std::vector<int> shown;
  shown.clear();
  SetHelpViewer([](int topic) { shown.push_back(topic); });
  {
    Dialog dialog(-1, -3, 40, 6, 0x30);
    dialog.SetHelpTopic(6);
    dialog.AddPushButton(1, 1, true, DialogResult::Ok, "OK");
    dialog.AddPushButton(10, 1, false, static_cast<int>(Key::F1), "Help");
    PostKeys({Key::F1, Key::Right, Key::Enter, Key::Esc});
    EXPECT_EQ(dialog.Run(), DialogResult::Cancel);
  }
  EXPECT_EQ(shown, (std::vector<int>{6, 6}));
  {
    // Without a topic, F1 is a result like any other.
    Dialog dialog(-1, -3, 40, 6, 0x30);
    dialog.AddExitKey(Key::F1);
    PostKey(Key::F1);
    EXPECT_EQ(dialog.Run(), static_cast<int>(Key::F1));
  }
  EXPECT_EQ(shown.size(), 2u);
  SetHelpViewer(nullptr);
}
