#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "foundation/Locked.h"
#include "foundation/RecursiveMutex.h"
#include "foundation/SyncEvent.h"
#include "foundation/Thread.h"

namespace {

// Starts (*fn)() on a second thread; the caller joins the handle.
template <class Fn>
ThreadHandle Start(Fn* fn) {
  return StartThread([](void* arg) -> void* { return (*static_cast<Fn*>(arg))(), nullptr; }, fn);
}

// Runs fn on a second thread and joins it, so each test shows its cross-thread
// step in one place.
template <class Fn>
void OnOtherThread(Fn fn) {
  ThreadHandle h = Start(&fn);
  ASSERT_NE(h, ThreadHandle{0});
  ASSERT_EQ(JoinThread(h), 0);
  EXPECT_EQ(h, ThreadHandle{0}) << "JoinThread must clear the handle";
}

}  // namespace

TEST(SyncEvent, WaitReportsTheFlagWithoutChangingIt) {
  SyncEvent event;
  EXPECT_EQ(event.Wait(30), ETIMEDOUT);
  event.Signal();
  EXPECT_EQ(event.Wait(0), 0);
  EXPECT_EQ(event.Wait(WaitForever), 0) << "a wait must not clear the flag";
  EXPECT_TRUE(event.IsSignalled());
  event.Reset();
  EXPECT_EQ(event.Wait(0), ETIMEDOUT);
}

// The waiter is already blocked (or about to block) when the signal comes:
// it must wake, and the flag stays set for everybody after it.
TEST(SyncEvent, SignalReachesBlockedWaiter) {
  for (uint32_t ms : {WaitForever, 60000u}) {
    SyncEvent started, event;
    int result = -2;
    auto wait = [&] {
      started.Signal();
      result = event.Wait(ms);
    };
    ThreadHandle h = Start(&wait);
    ASSERT_NE(h, ThreadHandle{0});
    ASSERT_EQ(started.Wait(WaitForever), 0);
    event.Signal();
    ASSERT_EQ(JoinThread(h), 0);
    EXPECT_EQ(result, 0) << "input: ms=" << ms;
    EXPECT_EQ(event.Wait(0), 0) << "waking the waiter must not clear the flag";
  }
}

TEST(RecursiveMutex, OwnerLocksRepeatedlyOthersWaitAndCannotUnlock) {
  RecursiveMutex mutex;
  for (uint32_t ms : {0u, WaitForever}) ASSERT_EQ(mutex.Lock(ms), 0) << "input: ms=" << ms;
  for (int i = 0; i < 2; ++i) {
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
  ThreadHandle none{0};
  EXPECT_EQ(JoinThread(none), ESRCH) << "joining no thread must fail, not crash";
}

TEST(RecursiveMutex, WaiterGetsMutexWhenOwnerReleasesIt) {
  for (uint32_t ms : {WaitForever, 60000u}) {
    RecursiveMutex mutex;
    SyncEvent started;
    int result = -2;
    bool ownedInside = false;
    auto lock = [&] {
      started.Signal();
      result = mutex.Lock(ms);
      ownedInside = mutex.IsOwnedByCaller();
      if (result == 0) mutex.Unlock();
    };
    ASSERT_EQ(mutex.Lock(), 0);
    ASSERT_EQ(mutex.Lock(), 0);
    ThreadHandle h = Start(&lock);
    ASSERT_NE(h, ThreadHandle{0});
    ASSERT_EQ(started.Wait(WaitForever), 0);
    mutex.Unlock();
    EXPECT_TRUE(mutex.IsOwnedByCaller()) << "one of two locks is still held";
    mutex.Unlock();
    ASSERT_EQ(JoinThread(h), 0);
    EXPECT_EQ(result, 0) << "input: ms=" << ms;
    EXPECT_TRUE(ownedInside) << "input: ms=" << ms;
    EXPECT_FALSE(mutex.IsLocked());
  }
}

TEST(Locked, ConcurrentUpdatesAreNotLost) {
  Locked<std::vector<int>> shared;
  auto pushMany = [&] {
    for (int i = 0; i < 1000; ++i) shared.WithLock([i](auto& v) { v.push_back(i); });
  };
  ThreadHandle a = Start(&pushMany), b = Start(&pushMany);
  ASSERT_NE(a, ThreadHandle{0});
  ASSERT_NE(b, ThreadHandle{0});
  EXPECT_EQ(JoinThread(a), 0);
  EXPECT_EQ(JoinThread(b), 0);
  const auto& view = shared;
  EXPECT_EQ(view.WithLock([](const auto& v) { return v.size(); }), 2000u);
}
