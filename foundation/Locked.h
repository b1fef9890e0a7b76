#pragma once
// Data that several threads share lives inside the object that locks it:
//   m_queue.WithLock([&](auto& q) { q.push_back(ev); });
#include <mutex>
#include <utility>

/// A value of type T reachable only under its own mutex. Any thread; the
/// function given to WithLock must not call WithLock on the same object.
template <class T>
class Locked {
 public:
  template <class... Args>
  explicit Locked(Args&&... args) : m_value(std::forward<Args>(args)...) {}
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

  /// Calls fn(value) with the mutex held and returns what fn returns.
  template <class Fn>
  decltype(auto) WithLock(Fn&& fn) {
    std::lock_guard<std::mutex> hold(m_mutex);
    return std::forward<Fn>(fn)(m_value);
  }
  /// The same for read-only access.
  template <class Fn>
  decltype(auto) WithLock(Fn&& fn) const {
    std::lock_guard<std::mutex> hold(m_mutex);
    return std::forward<Fn>(fn)(m_value);
  }

 private:
  mutable std::mutex m_mutex;
  T m_value;
};
