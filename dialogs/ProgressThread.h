#pragma once
// Progress windows for long operations. A worker thread waits one second and
// only then opens a small window, which it refreshes four times a second
// until the operation ends, so quick operations never flash a window. The
// window belongs to the progress thread while it runs; the application
// thread deletes it after the join.
#include <atomic>
#include <cstdint>

#include "foundation/Estring.h"
#include "foundation/SyncEvent.h"
#include "foundation/Thread.h"

class Dialog;

class ProgressIndicatorThread {
 public:
  /// Stops the thread (when the derived class has not yet) and removes the
  /// window, restoring the screen under it.
  virtual ~ProgressIndicatorThread();
  ProgressIndicatorThread(const ProgressIndicatorThread&) = delete;
  ProgressIndicatorThread& operator=(const ProgressIndicatorThread&) = delete;

 protected:
  ProgressIndicatorThread() = default;

  /// Progress thread: called one second after Start and every 250 ms after
  /// that until Stop; the first call creates m_window.
  virtual void Update() = 0;

  /// Starts the thread. The last statement of the most derived constructor,
  /// so that the thread never sees a half-built object. Without a thread (the
  /// system refused one) no window is ever shown and the operation goes on.
  void Start();
  /// Signals the thread and waits for it; harmless when it is not running.
  /// Every class that overrides Update calls it first in its destructor, so
  /// that Update never runs on a part already destroyed. Application thread.
  void Stop();

  /// The progress window: null until the first Update.
  Dialog* m_window = nullptr;

 private:
  static void* ThreadMain(void* self);
  void Run();

  SyncEvent m_stop;
  ThreadHandle m_thread = 0;
};

/// "Reading directory:" with a spinner and the running file count, while a
/// directory or an archive is read.
class DirReadProgress : public ProgressIndicatorThread {
 public:
  /// Borrows `fileCount`, which the reader increments while the window lives.
  explicit DirReadProgress(const std::atomic<int32_t>* fileCount);
  ~DirReadProgress() override;

 protected:
  /// For a class that extends the window: it starts the thread itself, at
  /// the end of its own constructor.
  enum class Starting : uint8_t { Now, ByDerivedClass };
  DirReadProgress(const std::atomic<int32_t>* fileCount, Starting starting);

  void Update() override;

 private:
  const std::atomic<int32_t>* m_fileCount;
  int m_spinner = 0;  // progress thread
};

/// A title and a bar of done / total, while a file is loaded.
class FileReadProgress : public ProgressIndicatorThread {
 public:
  /// Borrows both counters, which the loader advances while the window lives.
  FileReadProgress(const std::atomic<int64_t>* done, const std::atomic<int64_t>* total,
                   const Estring& title);
  ~FileReadProgress() override;

 protected:
  void Update() override;

 private:
  const std::atomic<int64_t>* m_done;
  const std::atomic<int64_t>* m_total;
  float m_fraction = 0.0f;  // progress thread; the bar reads it
  Estring m_title;
  int m_bar = -1;           // the bar's element index
};
