#include "console/EventQueue.h"

void CEventQueue::Post(const TConsoleEvent& event) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    Append(new TConsoleEvent(event));
  }
  m_arrived.Signal();
}

void CEventQueue::Wake() {
  m_woken.store(true);
  m_arrived.Signal();
}

int CEventQueue::Count() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return TObjectStore::Count();
}

std::unique_ptr<TConsoleEvent> CEventQueue::Wait(uint32_t ms) {
  if (ms == 0 && Count() == 0) return nullptr;
  while (Count() == 0) {
    if (m_woken.exchange(false)) return nullptr;
    // Post and Wake set their state before they signal, and both are checked
    // again after the reset, so clearing the flag here misses neither.
    const int timedOut = m_arrived.Wait(ms);
    m_arrived.Reset();
    if (Count() == 0 && (timedOut || m_woken.exchange(false))) return nullptr;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  First();
  return std::unique_ptr<TConsoleEvent>(DetachCurrent());
}
