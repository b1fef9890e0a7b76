#pragma once
#include "dialogs/Dialog.h"

/// A bar of `width` cells showing the caller's fraction (0.0 to 1.0): as
/// many full blocks as the fraction covers, the rest light shade. Passive;
/// the thread that owns the dialog redraws it, under the dialog's mutex, by
/// posting a Refresh event through Dialog::HandleEventFor.
class ProgressIndicator : public DialogElement {
 public:
  static constexpr int Type = 13;
  /// Borrows `fraction`, which must outlive the element.
  ProgressIndicator(Dialog* dialog, int col, int row, bool newGroup, int width,
                    const float* fraction);
  int TypeCode() const override { return Type; }
  /// Refresh redraws the bar; nothing else is used.
  bool HandleEvent(const TDialogEvent& event) override;
  void Draw() override;

  /// Cells of full blocks for the current fraction: min(width, width x
  /// fraction), none for a negative fraction.
  int Filled() const;

 private:
  int m_width;
  const float* m_fraction;
};
