#include "tests/archives/DosArchiveBytes.h"

namespace {

constexpr uint16_t kDirectory = 0xE0, kUnicode = 0x0200;

std::string RarArchive(const std::string& blocks) {
  return std::string("Rar!\x1A\x07\x00\0\0\x73\0\0\x0D", 13) + std::string(7, '\0') + blocks;
}

// A file block, then its packed data when that is small enough to write.
std::string RarFile(const std::string& name, uint64_t packed, uint16_t flags = 0, uint64_t size = 0,
                    uint32_t attributes = 0x20, uint8_t host = 2) {
  const bool large = (packed >> 32) != 0 || (size >> 32) != 0;
  size = size ? size : packed;
  return Le(0x740000, 3) + Le(flags | 0x8000u | (large ? 0x100u : 0), 2) +
         Le((large ? 40 : 32) + name.size(), 2) + Le(packed, 4) + Le(size, 4) + Le(host, 1) +
         Le(0, 4) + kDosTimeAndDate + "\x1D\x30" + Le(name.size(), 2) + Le(attributes, 4) +
         (large ? Le(packed >> 32, 4) + Le(size >> 32, 4) : "") + name +
         std::string(packed < 4096 ? packed : 0, 'x');
}

TEST(RarReader, ListsPlainAndSelfExtractingArchives) {
  TTempDirectory dir("rar");
  const std::string archive = RarArchive(
      RarFile("a b.txt", 3, 0, 3, 0x27) + RarFile("dir\\sub\\deep.txt", 4, 0, 0x140000000) +
      RarFile("empty", 0, kDirectory, 0, 0x10) + RarFile("dir", 0, kDirectory, 0, 0x10) +
      RarFile(kUtf8Name, 2, kUnicode, 2, 0x81A4, 3));
  for (size_t prefix : {0, 300}) {
    ArchiveReader reader;
    ASSERT_EQ(OpenBytes(reader, dir, Prefixed(prefix, archive), ArchiveRar), ArchiveRar);
    ExpectTree(reader, "5368709120");
    // DOS attributes but read-only and system; none from a Unix host.
    EXPECT_EQ(Level(reader, "", true),
              "a b.txt:3:38," + std::string(kUtf8Name) + ":2:0,dir/,empty/");
  }
}

TEST(RarReader, DecodesUnicodeNameFields) {
  TTempDirectory dir("rar");
  auto unicode = [](const char* field, size_t length) {
    return RarFile(std::string(field, length), 0, kUnicode);
  };
  const std::string archive =
      // A run from the 8-bit name, the shared high byte, a full unit, single bytes.
      RarArchive(unicode("abc??.txt\0\x04\xD8\x01\x16\xAC\x20.\x00txt", 21) +
                 unicode("ABC\0\x04\xC0\x81\xD0", 8) +        // a run with a correction
                 unicode("s\0\x00\xA0\x3D\xD8\x00\xDE", 8) +  // a surrogate pair
                 unicode("a\0\x00\x20\x61\x41", 6));          // cut inside a unit
  ArchiveReader reader;
  ASSERT_EQ(OpenBytes(reader, dir, archive, ArchiveRar), ArchiveRar);
  EXPECT_EQ(Level(reader),
            "a:0,abc\xD0\x96\xE2\x82\xAC.txt:0,\xD0\x91\xD0\x92\xD0\x93:0,\xF0\x9F\x98\x80:0");
}

TEST(RarReader, DamagedArchivesEndWithTheMembersReadOrTheMessage) {
  TTempDirectory dir("rar");
  const std::string one = RarFile("one", 3), two = RarFile("two", 3), good = RarArchive(one + two);
  const size_t second = good.size() - two.size();
  const struct {
    std::string bytes;
    const char* level;
    const char* report;
  } cases[] = {
      {good.substr(0, second + 20), "one:3", ""},  // truncated header
      {RarArchive(one + std::string("\0\0\x7A\0\0\x05\0", 7)), "", "Error in RAR header"},
      {Patched(good, second + 5, 9000, 2), "", "Error in RAR header"},       // file header too long
      {Patched(good, second + 26, 0xFFFF, 2), "one:3,two:3", ""},            // name past the header
      {Patched(good, second - one.size() + 7, 0x7FFFFFFF, 4), "one:3", ""},  // data past the end
      {RarArchive(one + Le(0x7A0000, 3) + Le(0x000B'8000, 4) + Le(~0u, 4) + two), "one:3", ""},
      {RarArchive(RarFile("x//y", 3)), "x/", ""},  // an empty part between slashes
      {Patched(good, 9, 0x7A, 1), "", ""},         // no archive header after the marker
      {Patched(good, 6, 1, 1), "", ""},            // another generation's marker
  };
  for (const auto& c : cases) {
    ArchiveReader reader;
    EXPECT_EQ(OpenBytes(reader, dir, c.bytes, ArchiveRar), *c.level ? ArchiveRar : ArchiveNone)
        << c.level;
    EXPECT_EQ(Level(reader) + "|" + reader.LastReport().ToUtf8().c_str(),
              c.level + std::string("|") + c.report);
  }
}

}  // namespace
