#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

namespace {

int Shell(const std::string& command) { return std::system(command.c_str()); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int64_t FileSize(const std::string& path) {
  return static_cast<int64_t>(std::ifstream(path, std::ios::ate | std::ios::binary).tellg());
}

// The one member of a packed file as "FORMAT|directory|name size packed time".
// Every format is tried, as for a file entered in a panel.
std::string Member(const std::string& path) {
  ArchiveReader reader;
  reader.SetQuiet(true);
  if (reader.Open(Westring::FromUtf8(path.c_str())) == ArchiveNone) return "format -1";
  if (reader.Count() != 1) return "members " + std::to_string(reader.Count());
  const ArchiveEntry& e = reader.At(0);
  return std::string(ArchiveFormatName(reader.Format())) + "|" + Westring(e.path).ToUtf8().c_str() +
         "|" + Westring(e.name).ToUtf8().c_str() + " " + std::to_string(e.size) + " " +
         std::to_string(e.packedSize) + " " + std::to_string(e.time);
}

}  // namespace

TEST(CompressedFileReadersTest, GzipNamesFromTheHeaderOrTheArchive) {
  TTempDirectory dir("gz");
  ASSERT_EQ(Shell("cd '" + dir.Path() +
                  "' && mkdir sub && printf 'twelve bytes' >'sub/Grüße notes.txt'"
                  " && touch -d @1234567890 'sub/Grüße notes.txt' && gzip -c 'sub/Grüße notes.txt' "
                  ">renamed.gz"
                  " && gzip -nc 'sub/Grüße notes.txt' >Pack.TGZ && cp Pack.TGZ notes.txt.Gz && cp "
                  "Pack.TGZ plain"
                  " && tar -C sub -czf both.tar.gz ."),
            0);
  const int64_t named =
      FileSize(dir / "renamed.gz") - 10 - static_cast<int64_t>(sizeof "Grüße notes.txt");
  EXPECT_EQ(Member(dir / "renamed.gz"),
            "GZIP||Grüße notes.txt 12 " + std::to_string(named) + " 1234567890");
  const std::string unnamed = " 12 " + std::to_string(FileSize(dir / "Pack.TGZ") - 10) + " 0";
  EXPECT_EQ(Member(dir / "Pack.TGZ"), "GZIP||Pack.tar" + unnamed);
  EXPECT_EQ(Member(dir / "notes.txt.Gz"), "GZIP||notes.txt" + unnamed);
  EXPECT_EQ(Member(dir / "plain"), "GZIP||plain" + unnamed);
  // A packed tar is one member, the tar itself: it is never unpacked.
  EXPECT_EQ(Member(dir / "both.tar.gz").substr(0, 21), "GZIP||both.tar 10240 ");
}

TEST(CompressedFileReadersTest, GzipOptionalFieldsInOrderAndTruncatedHeaders) {
  TTempDirectory dir("gz");
  // FEXTRA, FNAME with a directory, FCOMMENT and FHCRC; 6 packed bytes; CRC32 and ISIZE.
  const std::string all("\x1f\x8b\x08\x1e\x10\x00\x00\x00\x00\x03", 10);
  const std::string optional = std::string("\x03\x00xyz", 5) + std::string("dir/inner.txt\0", 14) +
                               std::string("a comment\0", 10) + "cc";
  WriteFile(dir / "fields.gz", all + optional + "PACKED" + std::string("crc!\x05\x01\x00\x00", 8));
  EXPECT_EQ(Member(dir / "fields.gz"), "GZIP||inner.txt 261 14 16");

  const std::string extra("\x1f\x8b\x08\x04\x10\x00\x00\x00\x00\x03", 10);
  const std::string name("\x1f\x8b\x08\x08\x10\x00\x00\x00\x00\x03", 10);
  struct {
    const char* what;
    std::string bytes;
    const char* member;
  } cases[] = {
      {"a name cut by the end of the file", name + "inner", "GZIP||inner -1 0 16"},
      {"an extra field longer than the file", extra + "\xff\xff", "GZIP||cut -1 0 16"},
      {"only the signature", "\x1f\x8b", "format -1"},
      {"a stored name that is only a directory",
       name + std::string("d/\0", 3) + std::string(8, '\0'), "GZIP||cut 0 8 16"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "cut.gz", c.bytes);
    EXPECT_EQ(Member(dir / "cut.gz"), c.member);
  }
}

TEST(CompressedFileReadersTest, Bzip2SizeUnknownNameFromTheArchive) {
  TTempDirectory dir("bz");
  ASSERT_EQ(Shell("cd '" + dir.Path() +
                  "' && printf 'some text' >t && bzip2 -c t >'with blank.TBZ' && bzip2 -c t >t.bz2"
                  " && bzip2 -c t >t.bzip"),
            0);
  const std::string packed = std::to_string(FileSize(dir / "t.bz2"));
  EXPECT_EQ(Member(dir / "with blank.TBZ"), "BZIP2||with blank.tar -1 " + packed + " 0");
  EXPECT_EQ(Member(dir / "t.bz2"), "BZIP2||t -1 " + packed + " 0");
  EXPECT_EQ(Member(dir / "t.bzip"), "BZIP2||t.bzip -1 " + packed + " 0");
  WriteFile(dir / "no.bz2", "BZ");
  EXPECT_EQ(Member(dir / "no.bz2"), "format -1");
}
