#include "console/GdkLock.h"

#include <gdk/gdk.h>

// gdk_threads_enter/leave are the GDK 2 global lock; they are deprecated only
// in GTK 3, where the lock itself went away.
GdkLock::GdkLock() { gdk_threads_enter(); }
GdkLock::~GdkLock() { gdk_threads_leave(); }
