// libFuzzer target: the input read as a RAR archive (blocks of the 1.5 to
// 4.x layout), every directory level it gives listed.
#include "fuzz/ArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzArchiveFormats(data, size, {ArchiveRar});
  return 0;
}
