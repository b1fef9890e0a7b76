#include "dialogs/DialogEvent.h"

#include "console/Console.h"
#include "console/KeyCodes.h"

namespace {

// Mouse actions of the key reader as dialog events; right drags are not used.
bool MouseEvent(const TMouseRecord& info, TDialogEvent& event) {
  switch (info.action) {
    case TMouseRecord::LeftPress: event.type = TDialogEvent::LeftPress; break;
    case TMouseRecord::RightPress: event.type = TDialogEvent::RightPress; break;
    case TMouseRecord::LeftDrag: event.type = TDialogEvent::LeftDrag; break;
    case TMouseRecord::LeftDoubleClick: event.type = TDialogEvent::LeftDoubleClick; break;
    case TMouseRecord::LeftRelease: event.type = TDialogEvent::LeftRelease; break;
    case TMouseRecord::RightRelease: event.type = TDialogEvent::RightRelease; break;
    case TMouseRecord::Wheel:
      event.type = TDialogEvent::Wheel;
      event.value = info.wheelDelta;
      break;
    default: return false;
  }
  event.col = info.column;
  event.row = info.row;
  return true;
}

}  // namespace

TDialogEvent ReadDialogEvent(int ms) {
  for (;;) {
    TMouseRecord info;
    const uint32_t code = g_console->GetKey(&info, ms);
    TDialogEvent event;
    event.state = info.state;
    if (code == 0) {
      // Without a time-out only a mouse event the reader does not report
      // (a middle button) gives 0; that is no reason to stop waiting.
      if (ms < 0) continue;
      return event;  // TimeOut
    }
    if (code == Key::ModifierChange) continue;
    if (code == Key::Mouse) {
      if (MouseEvent(info, event)) return event;
      continue;
    }
    event.type = TDialogEvent::Key;
    event.key = code;
    return event;
  }
}
