#include "console/ScreenDump.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/Console.h"
#include "foundation/Utf8.h"

namespace {

volatile sig_atomic_t g_dumpAsked = 0;

}  // namespace

void EnableScreenDumps() {
  if (std::getenv("VK_SCREEN_DUMP") == nullptr) return;
  struct sigaction action {};
  action.sa_handler = [](int) { g_dumpAsked = 1; };
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGUSR1, &action, nullptr);
}

// Written beside the file and renamed over it, so a reader never sees half a screen.
void CConsole::DumpScreenIfAsked() {
  if (!g_dumpAsked) return;
  g_dumpAsked = 0;
  const std::string path = std::getenv("VK_SCREEN_DUMP");
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
  std::fprintf(out, "cursor %d %d\n", m_cursorCol, m_cursorRow);
  std::fclose(out);
  std::rename(partial.c_str(), path.c_str());
}
