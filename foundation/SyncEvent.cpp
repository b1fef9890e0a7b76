#include "foundation/SyncEvent.h"

#include <cerrno>
#include <ctime>

timespec DeadlineAfterMs(uint32_t ms) {
  timespec deadline{};
  clock_gettime(CLOCK_REALTIME, &deadline);
  deadline.tv_sec += static_cast<time_t>(ms / 1000);
  deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  return deadline;
}

SyncEvent::SyncEvent() = default;

SyncEvent::~SyncEvent() {
  pthread_cond_destroy(&m_cond);
  pthread_mutex_destroy(&m_mutex);
}

void SyncEvent::Signal() {
  pthread_mutex_lock(&m_mutex);
  m_signalled = 1;
  pthread_cond_signal(&m_cond);
  pthread_mutex_unlock(&m_mutex);
}

void SyncEvent::Reset() {
  pthread_mutex_lock(&m_mutex);
  m_signalled = 0;
  pthread_mutex_unlock(&m_mutex);
}

bool SyncEvent::IsSignalled() const {
  pthread_mutex_lock(&m_mutex);
  bool signalled = m_signalled != 0;
  pthread_mutex_unlock(&m_mutex);
  return signalled;
}

int SyncEvent::Wait(uint32_t ms) {
  pthread_mutex_lock(&m_mutex);
  int err = 0;
  if (!m_signalled) {
    if (ms == 0) {
      err = ETIMEDOUT;
    } else if (ms == WaitForever) {
      // Loop: condition variables may wake without a signal.
      while (!m_signalled) pthread_cond_wait(&m_cond, &m_mutex);
    } else {
      timespec deadline = DeadlineAfterMs(ms);
      while (!m_signalled && err == 0) err = pthread_cond_timedwait(&m_cond, &m_mutex, &deadline);
      // A signal that arrives together with the deadline still counts.
      if (m_signalled) err = 0;
    }
  }
  pthread_mutex_unlock(&m_mutex);
  return err;
}
