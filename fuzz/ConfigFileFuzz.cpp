// libFuzzer target: any bytes as vk.ini must load without a crash, a hang
// or a sanitizer report.
#include "config/ConfigFile.h"
#include "foundation/Westring.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = WriteFuzzFile(".ini", data, size);
  LoadConfig(Westring(path.c_str()), false);
  LoadConfig(Westring(path.c_str()), true);
  TakeConfigMessages();  // collected without a handler; dropped so memory stays flat
  return 0;
}
