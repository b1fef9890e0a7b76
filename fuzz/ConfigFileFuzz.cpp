// libFuzzer target: any bytes as vk.ini must load without a crash, a hang
// or a sanitizer report.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "config/ConfigFile.h"
#include "foundation/Westring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The one file every input is written to, removed when the run ends.
  static const struct TFuzzFile {
    std::string path = "/dev/shm/vk-fuzz-" + std::to_string(getpid()) + ".ini";
    ~TFuzzFile() { unlink(path.c_str()); }
  } s_file;
  const std::string& path = s_file.path;
  if (FILE* file = fopen(path.c_str(), "wb")) {
    fwrite(data, 1, size, file);
    fclose(file);
  }
  LoadConfig(Westring(path.c_str()), false);
  LoadConfig(Westring(path.c_str()), true);
  TakeConfigMessages();  // collected without a handler; dropped so memory stays flat
  return 0;
}
