#include "console/EventQueue.h"

void CEventQueue::Post(const TConsoleEvent& event) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    Append(new TConsoleEvent(event));
  }
  m_arrived.Signal();
}

int CEventQueue::Count() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return TObjectStore::Count();
}

std::unique_ptr<TConsoleEvent> CEventQueue::Wait(uint32_t ms) {
  if (ms == 0 && Count() == 0) return nullptr;
  while (Count() == 0) {
    // Post adds the record before it signals, and the count is checked again
    // after the reset, so no record is missed by clearing the flag here.
    const int timedOut = m_arrived.Wait(ms);
    m_arrived.Reset();
    if (timedOut && Count() == 0) return nullptr;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  First();
  return std::unique_ptr<TConsoleEvent>(DetachCurrent());
}
