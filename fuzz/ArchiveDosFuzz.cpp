// libFuzzer target: the input read as an LHA, ARJ, ACE and HA archive in
// turn, every directory level each gives listed.
#include "fuzz/ArchiveFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzArchiveFormats(data, size, {ArchiveLha, ArchiveArj, ArchiveAce, ArchiveHa});
  return 0;
}
