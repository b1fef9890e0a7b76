#include "console/ScreenDump.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "console/Console.h"
#include "console/EventQueue.h"
#include "foundation/Utf8.h"

namespace {

// Lock-free atomics: the signal may arrive on any of the program's threads.
std::atomic<int> g_dumpAsked{0};
std::atomic<int> g_wakeFd{-1};  // the waker's pipe, -1 while none runs

void AskForDump(int) {
  g_dumpAsked = 1;
  const int savedErrno = errno;
  const int fd = g_wakeFd;
  // A full pipe already holds a wake-up: a failed write loses nothing.
  if (fd >= 0) (void)!write(fd, "d", 1);
  errno = savedErrno;
}

// Seconds the process has run: its start in clock ticks since boot, from
// /proc/self/stat (field 22), against the boot-time clock. Negative when unknown.
double SecondsSinceStart() {
  std::ifstream in("/proc/self/stat");
  std::string line;
  if (!std::getline(in, line)) return -1;
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  const char* p = line.c_str() + close + 1;
  // Fields after the name start with the third, the state; the start time is the 22nd.
  for (int field = 3; field < 22 && p != nullptr; ++field) p = std::strchr(p + 1, ' ');
  if (p == nullptr) return -1;
  const double start = std::strtod(p, nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - start;
}

}  // namespace

void EnableScreenDumps() {
  if (std::getenv("VK_SCREEN_DUMP") == nullptr) return;
  struct sigaction action {};
  action.sa_handler = AskForDump;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGUSR1, &action, nullptr);
  g_console->StartScreenDumpWaker();
}

void NoteFirstScreen() {
  static bool noted = false;
  if (noted) return;
  noted = true;
  const char* path = std::getenv("VK_FIRST_SCREEN");
  if (path == nullptr || *path == 0) return;
  if (FILE* out = std::fopen(path, "w")) {
    std::fprintf(out, "%.3f\n", SecondsSinceStart());
    std::fclose(out);
  }
}

int CScreenDumpWaker::Start(CEventQueue* queue) {
  if (m_thread != 0) return 0;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return errno;
  // The handler must never block on a pipe nobody empties.
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  m_queue = queue;
  m_readFd = fds[0];
  m_writeFd = fds[1];
  m_thread = StartThread(ThreadMain, this);
  if (m_thread == 0) return EAGAIN;
  g_wakeFd = m_writeFd;
  return 0;
}

// A zero byte is the stop request; any other byte is a dump request.
void* CScreenDumpWaker::ThreadMain(void* self) {
  auto* waker = static_cast<CScreenDumpWaker*>(self);
  for (;;) {
    char byte = 0;
    const ssize_t n = read(waker->m_readFd, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || byte == 0) return nullptr;
    waker->m_queue->Wake();
  }
}

CScreenDumpWaker::~CScreenDumpWaker() {
  if (m_readFd < 0) return;
  g_wakeFd = -1;
  if (m_thread != 0) {
    // The stop byte goes through even when dump requests fill the pipe.
    fcntl(m_writeFd, F_SETFL, 0);
    while (write(m_writeFd, "", 1) < 0 && errno == EINTR) {
    }
    (void)JoinThread(m_thread);
  }
  close(m_readFd);
  close(m_writeFd);
}

// Written beside the file and renamed over it, so a reader never sees half a screen.
void CConsole::DumpScreenIfAsked() {
  if (g_dumpAsked.exchange(0) == 0) return;
  const char* named = std::getenv("VK_SCREEN_DUMP");
  if (named == nullptr) return;
  const std::string path = named;
  const std::string partial = path + ".part";
  FILE* out = std::fopen(partial.c_str(), "w");
  if (out == nullptr) return;
  for (int row = 0; row < m_lines; ++row) {
    std::string line;
    for (int col = 0; col < m_columns; ++col) {
      char bytes[4];
      line.append(bytes, static_cast<size_t>(EncodeUtf8Char(CellAt(col, row).ch, bytes)));
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
  std::fputs("--\n", out);
  static const char kHex[] = "0123456789abcdef";
  for (int row = 0; row < m_lines; ++row) {
    std::string line;
    for (int col = 0; col < m_columns; ++col) {
      const uint8_t attr = CellAt(col, row).attr;
      line += kHex[attr >> 4];
      line += kHex[attr & 0x0F];
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
  std::fprintf(out, "cursor %d %d\n", m_cursorCol, m_cursorRow);
  std::fclose(out);
  std::rename(partial.c_str(), path.c_str());
}
