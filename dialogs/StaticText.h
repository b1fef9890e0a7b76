#pragma once
#include "dialogs/Dialog.h"

/// A passive text, drawn once when it is added; a negative column centres it.
class StaticText : public DialogElement {
 public:
  static constexpr int Type = 0;
  StaticText(Dialog* dialog, int col, int row, bool newGroup, const char* text, uint8_t attr);
  int TypeCode() const override { return Type; }
  void Draw() override;

 private:
  Westring m_text;
  uint8_t m_attr;
};
