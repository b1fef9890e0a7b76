#pragma once
// A recursive mutex that knows its owner and its depth, so that a thread
// that does not hold it cannot release it by mistake.
#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "foundation/Thread.h"

/// A system mutex of the recursive type with a lock count and the owning
/// thread. Any thread may call every member; the object cannot be copied.
class RecursiveMutex {
 public:
  RecursiveMutex();
  /// Unlocks once when the calling thread owns the mutex, then destroys it.
  ~RecursiveMutex();
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  /// Locks the mutex (again, when the caller already owns it): ms 0 tries
  /// once, WaitForever waits without limit, other values wait until now + ms.
  /// Returns 0 (the count goes up and the caller owns the mutex), EBUSY when
  /// a single try found it taken, ETIMEDOUT, or another system error.
  [[nodiscard]] int Lock(uint32_t ms = WaitForever);
  /// Undoes one Lock of the owner; calls from other threads, or with the
  /// count at 0, are ignored.
  void Unlock();
  /// True while some thread holds the mutex.
  bool IsLocked() const;
  /// True when the calling thread holds the mutex.
  bool IsOwnedByCaller() const;

 private:
  pthread_mutex_t m_mutex{};
  // Read without the mutex by threads that do not own it, hence atomic.
  std::atomic<uint32_t> m_count{0};
  std::atomic<pthread_t> m_owner{0};
};

/// Holds a RecursiveMutex, locked without limit, for one scope.
class RecursiveMutexGuard {
 public:
  explicit RecursiveMutexGuard(RecursiveMutex& mutex) : m_mutex(mutex), m_error(mutex.Lock()) {}
  ~RecursiveMutexGuard() {
    if (m_error == 0) m_mutex.Unlock();
  }
  RecursiveMutexGuard(const RecursiveMutexGuard&) = delete;
  RecursiveMutexGuard& operator=(const RecursiveMutexGuard&) = delete;

  /// 0 when the lock was taken, else the error of Lock (then nothing is held).
  int Error() const { return m_error; }

 private:
  RecursiveMutex& m_mutex;
  int m_error = 0;
};
