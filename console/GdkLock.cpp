#include "console/GdkLock.h"

#include <gdk/gdk.h>

#include <mutex>

namespace {

// GDK's default lock is a GMutex, which GLib builds on raw futexes; a plain
// std::mutex behaves the same and lets the thread checkers see every hand-over
// between the application, window-system and blink threads.
std::mutex g_gdkMutex;

void EnterGdk() { g_gdkMutex.lock(); }
void LeaveGdk() { g_gdkMutex.unlock(); }

}  // namespace

void InitGdkThreads() {
  gdk_threads_set_lock_functions(EnterGdk, LeaveGdk);
  gdk_threads_init();
}

// gdk_threads_enter/leave are the GDK 2 global lock; they are deprecated only
// in GTK 3, where the lock itself went away.
GdkLock::GdkLock() { gdk_threads_enter(); }
GdkLock::~GdkLock() { gdk_threads_leave(); }
