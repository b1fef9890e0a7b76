#include "foundation/RecursiveMutex.h"

#include <cerrno>

#include "foundation/SyncEvent.h"

RecursiveMutex::RecursiveMutex() {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&m_mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

RecursiveMutex::~RecursiveMutex() {
  if (IsOwnedByCaller()) Unlock();
  pthread_mutex_destroy(&m_mutex);
}

int RecursiveMutex::Lock(uint32_t ms) {
  int err = 0;
  if (ms == 0) {
    err = pthread_mutex_trylock(&m_mutex);
  } else if (ms == WaitForever) {
    err = pthread_mutex_lock(&m_mutex);
  } else {
    timespec deadline = DeadlineAfterMs(ms);
    err = pthread_mutex_timedlock(&m_mutex, &deadline);
  }
  if (err != 0) return err;
  m_owner.store(pthread_self());
  m_count.fetch_add(1);
  return 0;
}

void RecursiveMutex::Unlock() {
  if (!IsOwnedByCaller() || m_count.load() == 0) return;
  // Clear the owner before the system mutex is free, so that no other
  // thread can see itself replaced by a stale owner.
  if (m_count.fetch_sub(1) == 1) m_owner.store(0);
  pthread_mutex_unlock(&m_mutex);
}

bool RecursiveMutex::IsLocked() const { return m_count.load() > 0; }

bool RecursiveMutex::IsOwnedByCaller() const {
  return m_count.load() > 0 && pthread_equal(m_owner.load(), pthread_self());
}
