#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

namespace {

// The one member of a file opened as a panel opens it, trying every format:
// "FORMAT name size time +bytes not packed data".
std::string Member(const std::string& path) {
  ArchiveReader reader;
  reader.SetQuiet(true);
  if (reader.Open(Westring::FromUtf8(path.c_str())) == ArchiveNone || reader.Count() != 1)
    return "none";
  const ArchiveEntry& e = reader.At(0);
  const int64_t fileSize = std::ifstream(path, std::ios::ate | std::ios::binary).tellg();
  return std::string(ArchiveFormatName(reader.Format())) + " " + Westring(e.path).ToUtf8().c_str() +
         Westring(e.name).ToUtf8().c_str() + " " + std::to_string(e.size) + " " +
         std::to_string(e.time) + " +" + std::to_string(fileSize - e.packedSize);
}

}  // namespace

TEST(CompressedFileReadersTest, OneMemberNamedByTheHeaderOrTheArchive) {
  TTempDirectory dir("packed");
  // The fixed header with MTIME 16, then FEXTRA, FNAME, FCOMMENT and FHCRC as FLG asks.
  const auto gzip = [](char flags) {
    return std::string("\x1f\x8b\x08") + flags + std::string("\x10\0\0\0\0\3", 6);
  };
  const struct {
    const char* file;
    std::string bytes, command, member;
  } cases[] = {
      {"named.gz", "",
       "printf 'twelve bytes' >'Grüße notes.txt' && touch -d @1234567890 G* && gzip -k G* && mv "
       "G*.gz named.gz",
       "GZIP Grüße notes.txt 12 1234567890 +28"},
      {"Pack.TGZ", "", "gzip -nc G*.txt >Pack.TGZ", "GZIP Pack.tar 12 0 +10"},
      {"notes.txt.Gz", "", "cp Pack.TGZ notes.txt.Gz", "GZIP notes.txt 12 0 +10"},
      // A compressed tar lists the tar's members.
      {"both.tar.gz", "", "tar -cf - G* | gzip -n >both.tar.gz", "GZIP Grüße notes.txt 12 1234567890 +131"},
      {"all.gz",
       gzip('\x1e') + std::string("\3\0xyzdir/inner.txt\0a comment\0ccPACKEDcrc!\5\1\0\0", 45), "",
       "GZIP inner.txt 261 16 +41"},
      {"cut.gz", gzip('\x08') + "inner", "", "GZIP inner -1 16 +15"},
      {"extra.gz", gzip('\x04') + "\xff\xff", "", "GZIP extra -1 16 +12"},
      {"sig.gz", "\x1f\x8b", "", "none"},
      {"with blank.TBZ", "", "printf 'some text' >t && bzip2 -c t >'with blank.TBZ'",
       "BZIP2 with blank.tar -1 0 +0"},
      {"t.bz2", "", "bzip2 -c t >t.bz2", "BZIP2 t -1 0 +0"},
      {"BZ.bz2", "BZ", "", "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    if (c.command.empty())
      std::ofstream(dir / c.file, std::ios::binary) << c.bytes;
    else
      ASSERT_EQ(std::system(("cd '" + dir.Path() + "' && " + c.command).c_str()), 0);
    EXPECT_EQ(Member(dir / c.file), c.member);
  }
}
