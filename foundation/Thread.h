#pragma once
// Thin wrappers over POSIX threads for the program's short-lived workers
// (read-ahead, progress, file find) and its long-lived window-system and
// cursor-blink threads.
#include <pthread.h>

#include <cstdint>

/// The system thread identifier; 0 means no thread.
using ThreadHandle = pthread_t;

/// The time-out value that makes SyncEvent::Wait and RecursiveMutex::Lock
/// wait without limit.
constexpr uint32_t WaitForever = 0xFFFFFFFF;

/// Starts a thread with default attributes that calls fn(arg); returns its
/// handle, or 0 when the system cannot create the thread. Any thread.
[[nodiscard]] ThreadHandle StartThread(void* (*fn)(void*), void* arg);

/// Waits for the thread to end and clears h on success; returns 0 or the
/// system's error (ESRCH for the 0 handle, without calling the system).
/// The thread must not join itself.
int JoinThread(ThreadHandle& h);

/// Sleeps for at least ms milliseconds, resuming after signal interruptions.
void SleepMs(unsigned ms);
