#pragma once

/// Sets up GDK's thread support with our own global lock. Call once, before
/// Gtk::Main is constructed and before any other thread touches GDK.
void InitGdkThreads();

/// Holds the GDK global lock for the scope: every pixel, Pango or GTK call
/// made outside the window-system thread's own handlers goes through one.
/// The lock is not recursive; code that already holds it calls the
/// "Locked" variants of the console's drawing functions instead.
class GdkLock {
 public:
  GdkLock();
  ~GdkLock();
  GdkLock(const GdkLock&) = delete;
  GdkLock& operator=(const GdkLock&) = delete;
};
