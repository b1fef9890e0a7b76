#pragma once
// Scripted checks of the running program read its cell grid: with the
// environment variable VK_SCREEN_DUMP naming a file, SIGUSR1 asks for the
// grid. The file holds its text (one UTF-8 line a row), a line "--", its
// colours (one line a row, two lower-case hex digits a cell: the cell's
// attribute, background in the high digit) and last a line "cursor COL ROW",
// the text cursor's cell counted from 0. A text row is as wide as the screen,
// so it is never "--". The signal wakes the key reader, which writes the file
// at once unless keys are waiting, and goes on waiting; an attached command's
// loop writes it within 100 ms.
// With VK_FIRST_SCREEN naming a file, the key reader's first wait writes
// there, once, the seconds since the process started ("%.3f\n").
// Application thread, except the signal handler and the waker's thread.
#include "foundation/Thread.h"

class CEventQueue;

/// Installs the SIGUSR1 handler when VK_SCREEN_DUMP is set and starts the
/// console's waker.
void EnableScreenDumps();

/// Writes the VK_FIRST_SCREEN file the first time it is called; the key
/// reader calls it before it waits with the screen drawn.
void NoteFirstScreen();

/// The self-pipe between the SIGUSR1 handler and the key reader: the handler
/// writes a byte, a thread of its own reads it and wakes the queue. The
/// console owns it, so it stops before the queue goes.
class CScreenDumpWaker {
 public:
  CScreenDumpWaker() = default;
  /// Stops and joins the thread.
  ~CScreenDumpWaker();
  CScreenDumpWaker(const CScreenDumpWaker&) = delete;
  CScreenDumpWaker& operator=(const CScreenDumpWaker&) = delete;
  /// Opens the pipe and starts the thread, once; 0 or the system's error.
  int Start(CEventQueue* queue);

 private:
  static void* ThreadMain(void* self);

  CEventQueue* m_queue = nullptr;
  int m_readFd = -1;
  int m_writeFd = -1;
  ThreadHandle m_thread = 0;
};
