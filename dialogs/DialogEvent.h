#pragma once
// What a dialog and its elements receive: keys, mouse actions in the
// dialog's interior coordinates, the time-out, and the cross-thread events
// that workers post to list boxes.
#include <cstdint>

struct TDialogEvent {
  enum Type : uint8_t {
    Key, LeftPress, RightPress, LeftDrag, LeftDoubleClick, LeftRelease, RightRelease, Wheel,
    TimeOut,
    SetCount,  // a worker changed a list's item count: value is the new count
    Refresh,   // redraw everything
  };
  Type type = TimeOut;
  /// Key events: the key code.
  uint32_t key = 0;
  /// Mouse events: the cell, screen coordinates when read, interior
  /// coordinates once the dialog has converted them.
  int col = 0, row = 0;
  /// Wheel delta (+1 up, -1 down) or the new count of SetCount.
  int value = 0;
  /// Modifier state as the key reader reports it.
  uint16_t state = 0;

  bool IsMouse() const { return type >= LeftPress && type <= Wheel; }
};

/// Reads the next event from the console's key reader: modifier-change codes
/// and right drags are skipped; ms < 0 waits without limit, else a TimeOut
/// event comes back when nothing arrived in time.
TDialogEvent ReadDialogEvent(int ms);
