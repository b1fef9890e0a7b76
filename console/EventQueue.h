#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "foundation/ObjectStore.h"
#include "foundation/SyncEvent.h"

/// One input event as the window-system thread records it.
struct TConsoleEvent {
  enum Type : uint32_t { Key = 0, Press = 1, Release = 2, Motion = 3, DoubleClick = 4, Wheel = 5 };
  uint32_t type = Key;
  /// Key: the key code. Press, release, double click: button 1 left, 2 right,
  /// 3 other. Motion: 1 left held, else 2 right held, else 0. Wheel: +1 up, -1 down.
  int32_t code = 0;
  /// GDK modifier state; mouse events keep only Shift, Control and Alt.
  uint32_t state = 0;
  /// X hardware key code of keyboard keys, else 0.
  uint32_t hardwareKey = 0;
  /// Mouse events: the cell under the pointer.
  int32_t column = 0, row = 0;
};

/// First-in first-out queue of input events between the window-system thread
/// (Post) and the application thread (Wait). It owns what it holds; a record
/// taken out belongs to the taker.
class CEventQueue : private TObjectStore<TConsoleEvent> {
 public:
  /// Appends a record and wakes a waiting reader. Any thread.
  void Post(const TConsoleEvent& event);
  /// Takes the oldest record, waiting up to `ms` (0: not at all,
  /// WaitForever: without limit); null when none arrived in time or Wake
  /// ended the wait.
  std::unique_ptr<TConsoleEvent> Wait(uint32_t ms);
  /// Ends a reader's wait without a record (or the next one's, when none
  /// waits): something besides input needs it. Any thread.
  void Wake();
  /// Records queued now. Any thread.
  int Count();

 private:
  std::mutex m_mutex;  // guards the record list
  SyncEvent m_arrived;
  std::atomic<bool> m_woken{false};
};
