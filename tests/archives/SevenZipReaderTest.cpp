#include <iterator>

#include "tests/archives/MemberListing.h"

namespace {

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// The archive with another next-header offset and size in its start header,
// both checksums matching where the header lies inside the file.
std::string WithStartHeader(std::string bytes, uint64_t offset, uint64_t size) {
  bytes.replace(12, 16, Le(offset, 8) + Le(size, 8));
  if (32 + offset + size <= bytes.size())
    bytes.replace(28, 4, Le(Crc32(bytes.substr(32 + offset, size)), 4));
  return bytes.replace(8, 4, Le(Crc32(bytes.substr(12, 20)), 4));
}

// A plain header that names a million members in 125000 bytes, all without
// data: no room for their names.
std::string MillionMembers() {
  const std::string header = "\x01\x05\xCF" + Le(1000000 & 0xFFFF, 2) + "\x0E\xC1" +
                             Le(125000 & 0xFFFF, 2) + std::string(125000, '\xFF') +
                             std::string(2, '\0');
  return WithStartHeader("7z\xBC\xAF\x27\x1C" + std::string(26, '\0') + header, 0, header.size());
}

using SevenZipReaderTest = TArchiveTest;

TEST_F(SevenZipReaderTest, DamagedDatabases) {
  ASSERT_EQ(Run("printf hello >f && 7zz a -bso0 -bsp0 t.7z f"), 0);
  std::ifstream in(m_dir / "t.7z", std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(good.size(), 40u);
  const auto* start = reinterpret_cast<const uint8_t*>(good.data());
  const uint64_t headerOffset = Le64(start + 12), headerSize = Le64(start + 20);
  const struct {
    const char* what;
    std::string bytes;
    const char* top;  // null when not taken as 7-Zip
  } cases[] = {
      {"cut", good.substr(0, good.size() - 5), nullptr},
      {"signature only", good.substr(0, 6), nullptr},
      {"header far past the end", WithStartHeader(good, 1ull << 40, 100), nullptr},
      {"header in the packed data", WithStartHeader(good, 0, headerSize), nullptr},
      {"no 7-Zip", "PK\3\4 7z", nullptr},
      {"a million members", MillionMembers(), nullptr},
      {"header of a terabyte", WithStartHeader(good, headerOffset, 1ull << 40), nullptr},
      {"start header rewritten as it was", WithStartHeader(good, headerOffset, headerSize), "f 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(OpenBytes(c.bytes, ArchiveSevenZip),
              c.top != nullptr ? ArchiveSevenZip : ArchiveNone);
    EXPECT_EQ(Level(""), c.top != nullptr ? c.top : "");
  }
}

}  // namespace
