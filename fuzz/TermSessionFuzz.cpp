// libFuzzer target: any output of a child, cut into chunks anywhere, must
// be emulated without a crash, a hang or a sanitizer report. Needs a
// display: run it under tests/with-xvfb.sh.
#include <fcntl.h>
#include <gtkmm/main.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "console/Console.h"
#include "console/GdkLock.h"
#include "console/ScrollBack.h"
#include "console/TermSession.h"

namespace {

int s_answers[2] = {-1, -1};  // the terminal's input side: answers to requests land here

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  InitGdkThreads();
  // Kept to the end: the window thread still draws while the process exits.
  new Gtk::Main(argc, argv);
  g_console = new CConsole;
  if (pipe2(s_answers, O_NONBLOCK) != 0) std::abort();
  g_keepScrollBack = true;
  return 0;
}

// The first byte chooses the chunk length, so sequences are split at every
// place across runs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = data[0] % 32 + 1;
  {
    CTermSession session(g_console, s_answers[1], 0x07);
    for (size_t at = 1; at < size; at += chunk) {
      const size_t count = size - at < chunk ? size - at : chunk;
      session.Write(reinterpret_cast<const char*>(data + at), static_cast<int>(count));
    }
  }
  char drain[4096];
  while (read(s_answers[0], drain, sizeof drain) > 0) {
  }
  if (g_scrollBack.Count() > 1000) g_scrollBack.Clear();
  return 0;
}
