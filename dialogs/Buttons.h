#pragma once
#include "dialogs/Dialog.h"

/// "[ label ]": Space, Enter, a click or its hot key ends the dialog with
/// its code. The first button added becomes the dialog's default.
class PushButton : public DialogElement {
 public:
  static constexpr int Type = 6;
  PushButton(Dialog* dialog, int col, int row, bool newGroup, int code, const char* label);
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;
  void Activate() override;
  void Draw() override;

  int Code() const { return m_code; }
  /// Cells the button takes: the label and its brackets.
  int Width() const { return m_label.Length() + 4; }

 private:
  Westring m_label;
  int m_code;
};

/// An invisible element that ends the dialog with its key's code.
class ExitKey : public DialogElement {
 public:
  static constexpr int Type = 12;
  ExitKey(Dialog* dialog, uint32_t key);
  int TypeCode() const override { return Type; }
  void Activate() override;
};
