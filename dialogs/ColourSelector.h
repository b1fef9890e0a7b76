#pragma once
// The colour selector: a list of colour class names, each drawn in its own
// colour, that f/F and b/B recolour (foreground and background, up and down).
#include "dialogs/ListBox.h"

class ColourSelector : public ListBoxString {
 public:
  static constexpr int Type = 11;
  ColourSelector(Dialog* dialog, int col, int row, bool newGroup, int width, int height,
                 const char* const* names, int count, uint8_t* colours, int* selected,
                 int exitCode);
  int TypeCode() const override { return Type; }
  bool HandleEvent(const TDialogEvent& event) override;

 protected:
  void DrawItem(int row, int index, uint8_t attr) override;

 private:
  uint8_t* m_colours;
};
