// libFuzzer target: any bytes as vk.ini must load without a crash, a hang
// or a sanitizer report.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/ConfigFile.h"
#include "foundation/Westring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/dev/shm/vk-fuzz-" + std::to_string(getpid()) + ".ini";
  if (FILE* file = fopen(path.c_str(), "wb")) {
    fwrite(data, 1, size, file);
    fclose(file);
  }
  LoadConfig(Westring(path.c_str()), false);
  LoadConfig(Westring(path.c_str()), true);
  return 0;
}
