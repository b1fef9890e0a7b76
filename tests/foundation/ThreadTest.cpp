#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "foundation/Locked.h"
#include "foundation/RecursiveMutex.h"
#include "foundation/SyncEvent.h"
#include "foundation/Thread.h"

namespace {

// Runs fn on a second thread and joins it, so each test shows its cross-thread
// step in one place.
template <class Fn>
void OnOtherThread(Fn fn) {
  auto trampoline = [](void* arg) -> void* {
    (*static_cast<Fn*>(arg))();
    return nullptr;
  };
  ThreadHandle h = StartThread(trampoline, &fn);
  ASSERT_NE(h, ThreadHandle{0});
  ASSERT_EQ(JoinThread(h), 0);
  EXPECT_EQ(h, ThreadHandle{0}) << "JoinThread must clear the handle";
}

}  // namespace

TEST(SyncEvent, WaitReportsTheFlagWithoutChangingIt) {
  struct Case {
    bool signalled;
    uint32_t ms;
    int expected;
  } cases[] = {{false, 0, ETIMEDOUT}, {false, 30, ETIMEDOUT}, {true, 0, 0}, {true, WaitForever, 0}};
  for (const Case& c : cases) {
    SyncEvent event;
    if (c.signalled) event.Signal();
    EXPECT_EQ(event.Wait(c.ms), c.expected) << "input: signalled=" << c.signalled << " ms=" << c.ms;
    EXPECT_EQ(event.IsSignalled(), c.signalled) << "input: ms=" << c.ms;
  }
  SyncEvent event;
  event.Signal();
  event.Reset();
  EXPECT_EQ(event.Wait(0), ETIMEDOUT);
}

// The waiter is already blocked (or about to block) when the signal comes:
// it must wake, and the flag stays set for everybody after it.
TEST(SyncEvent, SignalReachesBlockedWaiter) {
  struct Waiter {
    SyncEvent* started;
    SyncEvent* event;
    uint32_t ms;
    int result = -2;
    static void* Run(void* arg) {
      auto* w = static_cast<Waiter*>(arg);
      w->started->Signal();
      w->result = w->event->Wait(w->ms);
      return nullptr;
    }
  };
  for (uint32_t ms : {WaitForever, 60000u}) {
    SyncEvent started, event;
    Waiter waiter{&started, &event, ms};
    ThreadHandle h = StartThread(&Waiter::Run, &waiter);
    ASSERT_NE(h, ThreadHandle{0});
    ASSERT_EQ(started.Wait(WaitForever), 0);
    event.Signal();
    ASSERT_EQ(JoinThread(h), 0);
    EXPECT_EQ(waiter.result, 0) << "input: ms=" << ms;
    EXPECT_EQ(event.Wait(0), 0) << "waking the waiter must not clear the flag";
  }
}

TEST(Thread, StartPassesArgumentAndJoinClearsHandle) {
  int value = 0;
  OnOtherThread([&] { value = 42; });
  EXPECT_EQ(value, 42);
  ThreadHandle none{0};
  EXPECT_EQ(JoinThread(none), ESRCH) << "joining no thread must fail, not crash";
}

TEST(RecursiveMutex, OwnerLocksRepeatedlyOthersWaitAndCannotUnlock) {
  RecursiveMutex mutex;
  for (uint32_t ms : {0u, 50u, WaitForever}) ASSERT_EQ(mutex.Lock(ms), 0) << "input: ms=" << ms;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(mutex.IsLocked()) << "after " << i << " unlocks";
    OnOtherThread([&] {
      EXPECT_EQ(mutex.Lock(0), EBUSY) << "after " << i << " unlocks";
      EXPECT_EQ(mutex.Lock(30), ETIMEDOUT);
      mutex.Unlock();
      EXPECT_FALSE(mutex.IsOwnedByCaller());
    });
    EXPECT_TRUE(mutex.IsOwnedByCaller()) << "an Unlock by a non-owner must be ignored";
    mutex.Unlock();
  }
  EXPECT_FALSE(mutex.IsLocked());
  mutex.Unlock();  // count already 0: ignored
  OnOtherThread([&] {
    ASSERT_EQ(mutex.Lock(0), 0);
    mutex.Unlock();
  });
  {
    RecursiveMutexGuard outer(mutex);
    RecursiveMutexGuard inner(mutex);
    EXPECT_EQ(inner.Error(), 0);
  }
  EXPECT_FALSE(mutex.IsLocked()) << "guards release on scope exit";
}

TEST(RecursiveMutex, WaiterGetsMutexWhenOwnerReleasesIt) {
  struct Waiter {
    RecursiveMutex* mutex;
    SyncEvent* started;
    uint32_t ms;
    int result = -2;
    bool ownedInside = false;
    static void* Run(void* arg) {
      auto* w = static_cast<Waiter*>(arg);
      w->started->Signal();
      w->result = w->mutex->Lock(w->ms);
      if (w->result == 0) {
        w->ownedInside = w->mutex->IsOwnedByCaller();
        w->mutex->Unlock();
      }
      return nullptr;
    }
  };
  for (uint32_t ms : {WaitForever, 60000u}) {
    RecursiveMutex mutex;
    SyncEvent waiterStarted;
    ASSERT_EQ(mutex.Lock(), 0);
    ASSERT_EQ(mutex.Lock(), 0);
    Waiter waiter{&mutex, &waiterStarted, ms};
    ThreadHandle h = StartThread(&Waiter::Run, &waiter);
    ASSERT_NE(h, ThreadHandle{0});
    ASSERT_EQ(waiterStarted.Wait(WaitForever), 0);
    mutex.Unlock();
    EXPECT_TRUE(mutex.IsOwnedByCaller()) << "one of two locks is still held";
    mutex.Unlock();
    ASSERT_EQ(JoinThread(h), 0);
    EXPECT_EQ(waiter.result, 0) << "input: ms=" << ms;
    EXPECT_TRUE(waiter.ownedInside) << "input: ms=" << ms;
    EXPECT_FALSE(mutex.IsLocked());
  }
}

TEST(Locked, ConcurrentUpdatesAreNotLost) {
  Locked<std::vector<int>> shared;
  auto pushMany = [](void* arg) -> void* {
    auto* s = static_cast<Locked<std::vector<int>>*>(arg);
    for (int i = 0; i < 1000; ++i) s->WithLock([i](auto& v) { v.push_back(i); });
    return nullptr;
  };
  ThreadHandle a = StartThread(pushMany, &shared);
  ThreadHandle b = StartThread(pushMany, &shared);
  ASSERT_NE(a, ThreadHandle{0});
  ASSERT_NE(b, ThreadHandle{0});
  EXPECT_EQ(JoinThread(a), 0);
  EXPECT_EQ(JoinThread(b), 0);
  const auto& view = shared;
  EXPECT_EQ(view.WithLock([](const auto& v) { return v.size(); }), 2000u);
}
