#pragma once
#include "dialogs/Dialog.h"

/// "[X]" or "[ ]" bound to a flag; the label stands left of the box (ending
/// two cells before it) or, when asked, five cells after the box's column.
class CheckBox : public DialogElement {
 public:
  static constexpr int Type = 8;
  CheckBox(Dialog* dialog, int col, int row, bool newGroup, uint8_t* value, const char* label,
           bool labelRight);
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;
  void Activate() override;
  void Draw() override;

 protected:
  /// Space and clicks: on/off here, 0 -> 1 -> 2 -> 0 in the three-state box.
  virtual void Toggle();
  virtual wchar_t Mark() const;
  void Set(uint8_t value);

  uint8_t* m_value;

 private:
  int LabelColumn() const;
  Westring m_label;
  bool m_labelRight;
};

/// A check box with a middle state: [ ], [·], [X].
class CheckBox3S : public CheckBox {
 public:
  static constexpr int Type = 9;
  using CheckBox::CheckBox;
  int TypeCode() const override { return Type; }

 protected:
  void Toggle() override;
  wchar_t Mark() const override;
};

/// "( )" or "(•)": one answer of a group sharing an integer. The focus
/// selects, so arrow keys within the group choose.
class RadioButton : public DialogElement {
 public:
  static constexpr int Type = 7;
  RadioButton(Dialog* dialog, int col, int row, bool newGroup, int* shared, int value,
              const char* label);
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;
  void SetFocus(bool focused) override;
  void Draw() override;

 private:
  int* m_shared;
  int m_value;
  Westring m_label;
};
