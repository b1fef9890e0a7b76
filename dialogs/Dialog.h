#pragma once
// Dialog: a framed, shadowed window with up to 100 elements bound to the
// caller's variables, run modally until a result code is set. Application
// thread; a worker changes elements only through HandleEventFor, which
// takes the dialog's mutex that every event is processed under.
#include <cstdint>

#include "dialogs/DialogEvent.h"
#include "dialogs/Win.h"
#include "foundation/ObjectStore.h"
#include "foundation/RecursiveMutex.h"
#include "foundation/Westring.h"

class Dialog;
class Estring;

/// Result codes that dialogs share.
namespace DialogResult {
constexpr int Ok = 13;
constexpr int Cancel = 27;
}  // namespace DialogResult

/// The history number of a field without history.
constexpr int NoHistory = 13;

/// One element of a dialog. The constructor registers the element with its
/// dialog, which owns it from then on and deletes it with itself.
class DialogElement {
 public:
  DialogElement(Dialog* dialog, int col, int row, bool newGroup);
  virtual ~DialogElement() = default;
  DialogElement(const DialogElement&) = delete;
  DialogElement& operator=(const DialogElement&) = delete;

  /// Returns true when the element used the event.
  virtual bool HandleEvent(const TDialogEvent& event);
  /// The element's hot key was pressed; the base focuses it.
  virtual void Activate();
  /// A small constant per class (0 static text, 1 string field, 5 integer
  /// field, 6 push button, 7 radio button, 8 check box, 9 three-state check
  /// box, 10 list box, 11 colour selector, 12 exit key, 13 progress bar).
  virtual int TypeCode() const = 0;
  /// The focus arrives or leaves; the base redraws.
  virtual void SetFocus(bool focused);
  virtual void Draw() {}
  /// Called for every element when the dialog is accepted.
  virtual void Commit() {}

  Dialog* Owner() const { return m_dialog; }
  int Index() const { return m_index; }
  int Column() const { return m_col; }
  int Row() const { return m_row; }
  int Group() const { return m_group; }
  bool Focusable() const { return m_focusable; }
  bool StartsGroup() const { return m_newGroup; }
  uint32_t HotKeyCode() const { return m_hotKey; }
  /// True while the dialog's focus is on this element.
  bool HasFocus() const;

 protected:
  /// Whether an interior cell lies on the row of the element within `width` cells.
  bool Hits(const TDialogEvent& event, int width) const;

  Dialog* m_dialog;
  int m_index;
  int m_col, m_row;
  int m_group;
  int m_groupCurrent;  // kept in the group's first element only
  bool m_focusable = false;
  uint32_t m_hotKey = 0;
  bool m_newGroup;

  friend class Dialog;
};

/// A (code, label) pair of a button row; a row ends with code 0.
struct TButtonSpec {
  int code;
  const char* label;
};

class Dialog : public Win {
 public:
  static constexpr int MaxElements = 100;

  /// A Win framed in attr, with a shadow; the focus colours start as the
  /// Input Fields colour.
  Dialog(int left, int top, int rightOrWidth, int bottomOrHeight, uint8_t attr);
  ~Dialog() override;

  // Adding elements: each returns the new element's index. Labels mark
  // their hot key with '_'.
  int AddStaticText(int col, int row, bool newGroup, const char* text, uint8_t attr = 0);
  int AddPushButton(int col, int row, bool newGroup, int code, const char* label);
  /// col < 0 centres the row, row < 0 counts from the interior's bottom.
  /// Returns the first button's index.
  int AddButtonRow(int col, int row, const TButtonSpec* buttons);
  int AddOkCancel(int col, int row);
  int AddExitKey(uint32_t key);
  int AddCheckBox(int col, int row, bool newGroup, uint8_t* flag, const char* label,
                  bool labelRight = false);
  int AddCheckBox3S(int col, int row, bool newGroup, uint8_t* value, const char* label,
                    bool labelRight = false);
  int AddRadioButton(int col, int row, bool newGroup, int* shared, int value, const char* label);
  int AddStringField(int col, int row, bool newGroup, Westring* text, int width, int maxLength,
                     int history = NoHistory);
  int AddIntegerField(int col, int row, bool newGroup, int32_t* value, int width,
                      bool keepAsTyped = false, int history = NoHistory);
  int AddProgressIndicator(int col, int row, bool newGroup, int width, const float* fraction);
  int AddListBox(int col, int row, bool newGroup, int width, int height,
                 TObjectStore<Westring>* items, int* selected, int exitCode);
  int AddListBox(int col, int row, bool newGroup, int width, int height,
                 TObjectStore<Estring>* items, int* selected, int exitCode);
  int AddListBox(int col, int row, bool newGroup, int width, int height, const char* const* items,
                 int count, int* selected, int exitCode);
  int AddColourSelector(int col, int row, bool newGroup, int width, int height,
                        const char* const* names, int count, uint8_t* colours, int* selected,
                        int exitCode);

  /// Letter i of `letters` becomes the Alt-letter hot key of element i.
  void SetHotKeyList(const char* letters, int count);
  /// Strips the '_' marker from a label and enters the marked letter
  /// (lower-cased) as element index's hot key; returns the shown label.
  Westring TakeHotKey(int index, const char* label);
  /// The hot-key letter of element index, or 0.
  wchar_t HotKeyLetter(int index) const;

  /// Colours: 0 normal (the window attribute), 1 focus, 2 focused buttons.
  void SetColour(int which, uint8_t attr);
  uint8_t NormalColour() const { return m_colours[0]; }
  uint8_t FocusColour() const { return m_colours[1]; }
  uint8_t ButtonFocusColour() const { return m_colours[2]; }

  /// Makes push button i the default (Enter) and redraws every element.
  void SetDefaultButton(int i);
  int DefaultResult() const { return m_defaultResult; }
  void SetDefaultResult(int code) { m_defaultResult = code; }

  /// Draws element i, or every element when i < 0.
  void Draw(int i = -1);
  void CommitAll();

  /// Runs until a result is set; ms < 0 waits without limit, else a time-out
  /// without input returns 0.
  int Run(int ms = -1);
  int Result() const { return m_result; }
  void SetResult(int result) { m_result = result; }
  /// Accepting (Enter, right click): the default result, or 13 without one.
  void Accept() { m_result = m_defaultResult ? m_defaultResult : DialogResult::Ok; }
  /// The help topic F1 and a Help button (code F1) show while the dialog
  /// keeps running; without one (-1) F1 is an ordinary result code.
  void SetHelpTopic(int topic) { m_helpTopic = topic; }

  /// Passes an event to element i under the dialog's mutex; any thread.
  bool HandleEventFor(int i, const TDialogEvent& event);

  int Count() const { return m_count; }
  DialogElement* Element(int i) const { return i >= 0 && i < m_count ? m_elements[i] : nullptr; }
  int Focus() const { return m_focus; }
  /// Moves the focus to element n (see MayChangeFocus).
  void SetFocusTo(int n);
  /// Steps +1 or -1 around the array to the next focusable element of the
  /// focused element's group.
  void MoveInGroup(int step);
  /// Tab (+1) and Shift+Tab (-1): to the next focusable group.
  void MoveToGroup(int step);
  /// Draws a newly added element and returns its index.
  int Added(DialogElement* element);
  /// Makes element index the one its group returns to.
  void SetGroupCurrent(int index);

 protected:
  /// Asked before each focus change; may substitute another index. Base: yes.
  virtual bool MayChangeFocus(int current, int& proposed);
  /// Told after each focus change. Base: nothing.
  virtual void FocusChanged() {}

 private:
  friend class DialogElement;
  int Register(DialogElement* element);
  void ProcessEvent(const TDialogEvent& event);
  void ProcessKey(const TDialogEvent& event);
  void ProcessMouse(const TDialogEvent& event);
  DialogElement* FindHotKey(uint32_t key) const;
  void EnsureFocusable();

  DialogElement* m_elements[MaxElements] = {};
  int m_count = 0;
  int m_focus = 0;
  uint8_t m_colours[3];
  wchar_t m_hotKeys[MaxElements] = {};
  int m_hotKeyCount = 0;
  int m_defaultResult = 0;
  int m_result = 0;
  int m_helpTopic = -1;
  bool m_pressedOutside = false;  // a left press outside the window awaits its release
  RecursiveMutex m_mutex;
};

/// The group that elements being added join; one per thread (a progress
/// thread builds its own window), meaningful only while one dialog is built.
extern thread_local int g_currentDialogGroup;
