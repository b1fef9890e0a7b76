// The ZIP reader on arbitrary bytes: every level it lists keeps the
// archive invariants.
#include "fuzz/ArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzArchiveFormats(data, size, {ArchiveZip});
  return 0;
}
