// The tar, gzip and bzip2 readers on arbitrary bytes.
#include "fuzz/ArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzArchiveFormats(data, size, {ArchiveGzip, ArchiveTar, ArchiveBzip2});
  return 0;
}
