#pragma once
// An event that one thread signals and another waits for, with a time-out.
#include <pthread.h>

#include <cstdint>

#include "foundation/Thread.h"

/// The absolute CLOCK_REALTIME moment ms milliseconds from now, for timed
/// waits on condition variables and mutexes.
timespec DeadlineAfterMs(uint32_t ms);

/// A condition variable, its mutex and a signalled flag. Waiting does not
/// clear the flag: the waiter calls Reset when it has handled the signal.
/// Any thread may call every member; the object cannot be copied.
class SyncEvent {
 public:
  SyncEvent();
  ~SyncEvent();
  SyncEvent(const SyncEvent&) = delete;
  SyncEvent& operator=(const SyncEvent&) = delete;

  /// Sets the flag and wakes one waiter.
  void Signal();
  /// Clears the flag.
  void Reset();
  /// Returns 0 once the flag is set (at once when it already is). With ms 0
  /// returns ETIMEDOUT at once when not signalled; WaitForever waits without
  /// limit; other values wait until now + ms on the real-time clock and
  /// return ETIMEDOUT when the deadline passes first.
  [[nodiscard]] int Wait(uint32_t ms);
  /// True while the flag is set.
  bool IsSignalled() const;

 private:
  mutable pthread_mutex_t m_mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t m_cond = PTHREAD_COND_INITIALIZER;
  uint8_t m_signalled = 0;
};
