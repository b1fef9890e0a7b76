#include "console/RunCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "console/ChildEnvironment.h"
#include "console/Console.h"
#include "foundation/SysCalls.h"

extern char** environ;

TChildProcessHooks g_childProcessHooks;

namespace {

Westring PathAppend() { return g_childProcessHooks.pathAppend ? g_childProcessHooks.pathAppend() : Westring(); }

void ReportError(const Westring& message, const Westring& detail) {
  if (g_childProcessHooks.reportError)
    g_childProcessHooks.reportError(message, detail);
  else
    std::fprintf(stderr, "%s: %s\n", message.ToUtf8().c_str(), detail.ToUtf8().c_str());
}

// Detached children are reaped by the SIGCHLD handler, which waits only for
// the pids recorded here, so it never takes an attached child's status.
constexpr int kDetachedSlots = 128;
std::atomic<pid_t> s_detached[kDetachedSlots];

void ReapDetached(int) {
  const int savedErrno = errno;
  for (std::atomic<pid_t>& slot : s_detached) {
    const pid_t pid = slot.load();
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid) slot.store(0);
  }
  errno = savedErrno;
}

// The handler stays installed: resetting it after one signal would leave
// later children as zombies.
void InstallReaper() {
  static bool installed = false;
  if (installed) return;
  struct sigaction action {};
  action.sa_handler = ReapDetached;
  action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigemptyset(&action.sa_mask);
  sigaction(SIGCHLD, &action, nullptr);
  installed = true;
}

void RecordDetached(pid_t pid) {
  for (std::atomic<pid_t>& slot : s_detached) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
  // A full table only means this child is reaped with the next one that ends.
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Everything a child needs is prepared before fork, so the child calls
// nothing but async-signal-safe functions before exec.
struct TShellExec {
  std::string shell;
  std::string commandText;
  std::unique_ptr<TObjectStore<Estring>> environment;
  std::vector<char*> argv;
  std::vector<char*> envp;

  explicit TShellExec(const Westring& command) : environment(BuildEnvironment(PathAppend())) {
    const char* fromEnvironment = std::getenv("SHELL");
    shell = fromEnvironment != nullptr && *fromEnvironment != 0 ? fromEnvironment : "/bin/sh";
    commandText = command.ToUtf8().c_str();
    argv = {shell.data(), const_cast<char*>("-c"), commandText.data(), nullptr};
    for (Estring* variable : *environment) envp.push_back(const_cast<char*>(variable->c_str()));
    envp.push_back(nullptr);
  }
  [[noreturn]] void Exec() {
    execve(shell.c_str(), argv.data(), envp.data());
    _exit(-1);
  }
};

int RunDetached(const Westring& command) {
  TShellExec exec(command);
  InstallReaper();
  const pid_t pid = fork();
  if (pid < 0) {
    ReportError(Westring("Error forking child process"), Sys::ErrorText(errno));
    return 0;
  }
  if (pid == 0) {
    setsid();  // a program of its own: it outlives vk and no terminal signal reaches it
    exec.Exec();
  }
  RecordDetached(pid);
  ReapDetached(0);  // a child that ended before it was recorded
  return 0;
}

void ShowWaitError(int err) {
  char text[64];
  std::snprintf(text, sizeof text, "Error %d waiting for child", err);
  ReportError(Westring(text), Westring());
}

// Passes what the child wrote to the console; false when nothing was there.
bool PassOutput(CConsole& console, int master, int timeoutMs) {
  pollfd ready{master, POLLIN, 0};
  if (poll(&ready, 1, timeoutMs) <= 0 || !(ready.revents & (POLLIN | POLLHUP))) return false;
  char buffer[1024];
  const ssize_t n = read(master, buffer, sizeof buffer - 1);
  if (n <= 0) return false;
  console.WriteOutput(buffer, static_cast<int>(n));
  return true;
}

// BackSpace sends ^H, so the terminal's line editing must erase with ^H
// too, not with the default ^?.
void EraseWithBackSpace(int slave) {
  termios modes{};
  if (tcgetattr(slave, &modes) != 0) return;
  modes.c_cc[VERASE] = 8;
  tcsetattr(slave, TCSANOW, &modes);
}

int RunAttached(const Westring& command) {
  CConsole& console = *g_console;
  TShellExec exec(command);
  const int lines = console.Lines(), columns = console.Columns();
  console.SetCursorPos(0, lines - 1);
  winsize size{};
  size.ws_row = static_cast<unsigned short>(lines);
  size.ws_col = static_cast<unsigned short>(columns);
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) return -1;
  EraseWithBackSpace(slave);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  sigset_t childSignal, previous;
  sigemptyset(&childSignal);
  sigaddset(&childSignal, SIGCHLD);
  pthread_sigmask(SIG_BLOCK, &childSignal, &previous);
  const pid_t pid = fork();
  if (pid < 0) {
    const int err = errno;
    close(master);
    close(slave);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ReportError(Westring("Error forking child process"), Sys::ErrorText(err));
    return -1;
  }
  if (pid == 0) {
    setsid();
    ioctl(slave, TIOCSCTTY, 0);
    close(master);
    dup2(slave, 0);
    dup2(slave, 1);
    dup2(slave, 2);
    if (slave > 2) close(slave);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    exec.Exec();
  }
  console.AttachSession(master);
  close(slave);
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) {
      const int err = errno;
      if (err == EINTR) continue;
      ShowWaitError(err);
      if (err == ECHILD) {  // nothing left to wait for
        status = -1;
        break;
      }
    }
    PassOutput(console, master, 100);
    console.FollowWindowSize();
    console.DumpScreenIfAsked();
  }
  while (PassOutput(console, master, 0)) {
  }
  close(master);
  console.DetachSession();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int FindUnescaped(const Westring& text, wchar_t ch) {
  for (int i = 0; text[i] != 0; ++i) {
    if (text[i] == L'\\' && text[i + 1] != 0) {
      ++i;
      continue;
    }
    if (text[i] == ch) return i;
  }
  return -1;
}

Westring Unescape(const Westring& text) {
  Westring plain;
  for (int i = 0; text[i] != 0; ++i) {
    if (text[i] == L'\\' && text[i + 1] != 0) ++i;
    plain += text[i];
  }
  return plain;
}

bool IsShellSpecial(wchar_t ch) { return ch != 0 && std::wcschr(L" !$~`[]{}()\\'\"<>&|;", ch) != nullptr; }

Westring ShellQuote(const Westring& text) {
  Westring quoted;
  for (int i = 0; text[i] != 0; ++i) {
    if (IsShellSpecial(text[i])) quoted += L'\\';
    quoted += text[i];
  }
  return quoted;
}

int IsExecutable(const Westring& path) {
  struct stat st;
  if (stat(path.ToUtf8().c_str(), &st) == 0 && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))) return 10;
  return 11;
}

Westring FindProgram(const Westring& name) {
  if (name.IsEmpty()) return Westring();
  const std::string bytes = name.ToUtf8().c_str();
  if (name.Find(L'/') >= 0) return FileExists(bytes) ? name : Westring();
  const char* fromEnvironment = std::getenv("PATH");
  const std::string path = PathWithAppend(fromEnvironment != nullptr && *fromEnvironment != 0 ? fromEnvironment : ".", PathAppend());
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string directory = path.substr(start, end - start);
    if (directory.empty()) directory = ".";
    const std::string candidate = directory + "/" + bytes;
    if (FileExists(candidate)) return Westring::FromUtf8(candidate.c_str());
    start = end + 1;
  }
  return Westring();
}

bool IsX11Program(const Westring& path) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string program = path.ToUtf8().c_str();
  char* argv[] = {const_cast<char*>("/usr/bin/ldd"), program.data(), nullptr};
  pid_t pid = 0;
  const int err = posix_spawn(&pid, "/usr/bin/ldd", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (err != 0) {
    close(pipeFds[0]);
    return false;
  }
  bool usesX11 = false;
  if (FILE* output = fdopen(pipeFds[0], "r")) {
    char line[1024];
    while (std::fgets(line, sizeof line, output) != nullptr) {
      if (std::strstr(line, "libX11") != nullptr) usesX11 = true;
    }
    std::fclose(output);
  } else {
    close(pipeFds[0]);
  }
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return usesX11;
}

int RunCommand(const Westring& given) {
  Westring command = given;
  bool forceAttached = false, detached = false;
  if (command[0] == L'#') {
    command = command.Mid(1);
    forceAttached = true;
  } else {
    Westring trimmed = command;
    trimmed.TrimRight();
    if (trimmed.Length() > 0 && trimmed[trimmed.Length() - 1] == L'&') {
      command = trimmed.AllButLast(1);
      command.TrimRight();
      detached = true;
    }
  }
  // The program ends at the first unescaped blank or "|".
  int end = FindUnescaped(command, L' ');
  const int bar = FindUnescaped(command, L'|');
  if (end < 0 || (bar >= 0 && bar < end)) end = bar;
  const Westring program = Unescape(end < 0 ? command : command.Left(end));
  const bool view = program.EqualsNoCase(L"$view"), edit = program.EqualsNoCase(L"$edit");
  if (view || edit) {
    Westring arguments = end < 0 ? Westring() : command.Mid(end + 1);
    if (g_childProcessHooks.runInternal)
      g_childProcessHooks.runInternal(view ? InternalCommand::View : InternalCommand::Edit, arguments.Trim());
    return 0;
  }
  const Westring path = FindProgram(program);
  if (!path.IsEmpty() && !forceAttached && (detached || IsX11Program(path))) return RunDetached(command);
  return RunAttached(command);
}
