// The 7-Zip reader on arbitrary bytes: every level it lists keeps the
// archive invariants. The start header's two checksums are made to match
// first, so that changed database bytes reach the database decoder instead
// of stopping at a checksum.
#include <vector>

#include "archives/internal/FormatReader.h"
#include "fuzz/ArchiveFuzz.h"

namespace {

uint32_t Crc32(const uint8_t* bytes, size_t count) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void PutLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Start header: signature and version (8), its CRC (4), next-header offset
// (8) and size (8) counted from its end at 32, and the next header's CRC (4).
void MatchChecksums(std::vector<uint8_t>& bytes) {
  constexpr size_t kStartHeaderSize = 32;
  if (bytes.size() < kStartHeaderSize) return;
  const uint64_t offset = Le64(&bytes[12]), size = Le64(&bytes[20]);
  const uint64_t after = bytes.size() - kStartHeaderSize;
  if (offset <= after && size <= after - offset)
    PutLe32(&bytes[28], Crc32(bytes.data() + kStartHeaderSize + offset, static_cast<size_t>(size)));
  PutLe32(&bytes[8], Crc32(&bytes[12], 20));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  MatchChecksums(bytes);
  FuzzArchiveFormats(bytes.data(), bytes.size(), {ArchiveSevenZip});
  return 0;
}
