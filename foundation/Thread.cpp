#include "foundation/Thread.h"

#include <cerrno>
#include <ctime>

ThreadHandle StartThread(void* (*fn)(void*), void* arg) {
  ThreadHandle handle = 0;
  if (pthread_create(&handle, nullptr, fn, arg) != 0) return 0;
  return handle;
}

int JoinThread(ThreadHandle& h) {
  // 0 stands for "no thread"; pthread_join on it would be undefined.
  if (h == 0) return ESRCH;
  int err = pthread_join(h, nullptr);
  if (err == 0) h = 0;
  return err;
}

void SleepMs(unsigned ms) {
  timespec wanted{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  timespec rest{};
  while (nanosleep(&wanted, &rest) != 0 && errno == EINTR) wanted = rest;
}
