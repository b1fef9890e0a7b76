#include <iterator>

#include "tests/archives/DosArchiveBytes.h"

namespace {

std::string LhaMember(const std::string& name, uint32_t size, const char* method = "-lh0-") {
  const std::string header = method + Le(size, 4) + Le(size, 4) + kDosTimeAndDate + Le(0x20, 2) +
                             Le(name.size(), 1) + name + Le(0, 2);
  return Le(header.size(), 2) + header + std::string(size, 'x');  // the size byte, a checksum
}

std::string AceHeader(uint8_t type, const std::string& body) {
  // Files carry data: flag 1.
  return Le(0, 2) + Le(body.size() + 3, 2) + Le(type, 1) + Le(type, 2) + body;
}

std::string AceMember(const std::string& name, uint32_t size, uint32_t attributes = 0x20) {
  return AceHeader(1, Le(size, 4) + Le(size, 4) + kDosTimeAndDate + Le(attributes, 4) + Le(0, 10) +
                          Le(name.size(), 2) + name) +
         std::string(size, 'x');
}

std::string HaMember(uint8_t method, const std::string& path, const std::string& name,
                     uint32_t size) {
  // The name's NUL, then a machine-specific block of 2 bytes before the data.
  return Le(0x20u | method, 1) + Le(size, 4) + Le(size, 4) + Le(0, 4) + kDosTimeAndDate + path +
         Le(0, 1) + name + Le(0x02'01'02'00, 4) + std::string(size, 'x');
}

std::string ArjFromTheTool(const TTempDirectory& dir) {
  const std::string make = "cd '" + dir.Path() +
                           "' && mkdir -p dir/sub empty && printf abc > 'a b.txt' && printf 12 > " +
                           kUtf8Name +
                           " && printf 12345 > dir/sub/deep.txt && find . -exec touch -d '" +
                           kWhen + "' {} + && arj a -r -a1 t.arj '*' >/dev/null";
  std::ifstream made(std::system(make.c_str()) == 0 ? dir / "t.arj" : "", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(made), {});
}

TEST(DosArchiveReaders, ListPlainAndSelfExtractingArchives) {
  TTempDirectory dir("dos");
  const std::string arj = ArjFromTheTool(dir);
  // On OS/2 the archiver adds extended attributes as members of their own.
  const std::string lha = LhaMember("a b.txt", 3) + LhaMember("dir\\sub\\deep.txt", 5) +
                          LhaMember("empty/", 0, "-lhd-") + LhaMember("EAS\\a b.txt", 9) +
                          LhaMember("Apply-Ea.Cmd", 5) + LhaMember(kUtf8Name, 2) + '\0';
  const std::string ace = AceHeader(0, "**ACE**" + Le(0, 20)) +
                          (AceMember("a b.txt", 3) + AceMember("dir\\sub\\deep.txt", 5) +
                           AceMember("empty", 0, 0x10) + AceMember(kUtf8Name, 2));
  const std::string ha =
      "HA" + Le(4, 2) +
      (HaMember(0, "", "a b.txt", 3) + HaMember(2, "dir\xFFsub\xFF", "deep.txt", 5) +
       HaMember(14, "", "empty", 0) + HaMember(1, "", kUtf8Name, 2));
  const std::string archives[] = {lha, arj, ace, ha};  // in the order of their format numbers
  for (int format = ArchiveLha; format <= ArchiveHa; ++format) {
    for (size_t prefix : {0, format == ArchiveHa ? 0 : 100}) {
      SCOPED_TRACE(ArchiveFormatName(format) + std::to_string(prefix));
      ArchiveReader reader;
      ASSERT_EQ(OpenBytes(reader, dir, Prefixed(prefix, archives[format - ArchiveLha]), format),
                format);
      ExpectTree(reader, "5");
    }
  }
}

TEST(DosArchiveReaders, DamagedArchivesKeepTheMembersRead) {
  TTempDirectory dir("dos");
  const std::string arj = ArjFromTheTool(dir);
  const std::string lha = LhaMember("one", 3) + LhaMember("two", 3);
  const std::string ace =
      AceHeader(0, "**ACE**" + Le(0, 20)) + AceMember("one", 3) + AceMember("two", 3);
  const std::string ha = "HA" + Le(2, 2) + HaMember(0, "", "one", 3) + HaMember(0, "", "two", 3);
  const size_t lhaTwo = lha.size() - 30, aceTwo = ace.size() - 41, haTwo = ha.size() - 28;
  const struct {
    int format;
    std::string bytes;
    const char* level;
  } cases[] = {
      // A truncated header, a name past the header, data past the end, a level 2 header.
      {ArchiveLha, lha.substr(0, lhaTwo + 10), "one:3"},
      {ArchiveLha, Patched(lha, lhaTwo + 21, 200, 1), "one:3,two:3"},
      {ArchiveLha, Patched(lha, 7, 0xFFFFFFF0, 4), "one:3"},
      {ArchiveLha, Patched(lha, lhaTwo + 20, 2, 1), "one:3"},
      // A truncated header, one too long, a name past the header, a header without a type.
      {ArchiveAce, ace.substr(0, aceTwo + 20), "one:3"},
      {ArchiveAce, Patched(ace, aceTwo + 2, 9000, 2), "one:3"},
      {ArchiveAce, Patched(ace, aceTwo + 33, 0xFFFF, 2), "one:3,two:3"},
      {ArchiveAce, Patched(ace, aceTwo + 2, 0, 2), "one:3"},
      // A truncated name, a count far beyond the file, a version not known, a path without its end.
      {ArchiveHa, ha.substr(0, haTwo + 19), "one:3"},
      {ArchiveHa, Patched(ha, 2, 0xFFFF, 2), "one:3,two:3"},
      {ArchiveHa, Patched(ha, haTwo, 0x30, 1), "one:3"},
      {ArchiveHa, ha.substr(0, haTwo + 17) + std::string(400, 'n'), "one:3"},
      // Cut inside the last local header (the tool stores kUtf8Name last); a main header alone.
      {ArchiveArj, arj.substr(0, arj.rfind("\x60\xEA", arj.size() - 5) + 9),
       "a b.txt:3,dir/,empty/"},
      {ArchiveArj, arj.substr(0, arj.find("\x60\xEA", 4)), ""},
  };
  for (const auto& c : cases) {
    ArchiveReader reader;
    EXPECT_EQ(OpenBytes(reader, dir, c.bytes, c.format), *c.level ? c.format : ArchiveNone)
        << c.level;
    EXPECT_EQ(Level(reader), c.level) << ArchiveFormatName(c.format);
  }
}

}  // namespace
