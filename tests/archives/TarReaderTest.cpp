#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

namespace {

// One level as a user sees it: "name size" for a member, "name/" for a
// directory, sorted as the reader sorts.
std::string Level(const ArchiveReader& reader, const Westring& directory) {
  std::string text;
  reader.List(directory, [&](const TListedMember& m) {
    text += Westring(m.name).Left(m.nameLength).ToUtf8().c_str();
    text += m.directory ? "/" : " " + std::to_string(m.size);
    text += "|";
    return true;
  });
  return text;
}

int64_t TimeOf(const ArchiveReader& reader, const Westring& directory, const wchar_t* name) {
  int64_t time = -1;
  reader.List(directory, [&](const TListedMember& m) {
    if (Westring(m.name).Left(m.nameLength) == name) time = m.time;
    return true;
  });
  return time;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A header block made by hand: name, type flag and the raw size field, with
// its checksum.
std::string Header(const std::string& name, char type, const std::string& size) {
  std::string block(512, '\0');
  block.replace(0, name.size(), name);
  block.replace(100, 7, "0000644");
  block.replace(124, size.size(), size);
  block.replace(136, 11, "00000001750");
  block[156] = type;
  block.replace(148, 8, "        ");
  unsigned sum = 0;
  for (unsigned char c : block) sum += c;
  char checksum[8];
  std::snprintf(checksum, sizeof checksum, "%06o", sum);
  block.replace(148, 7, checksum, 7);
  return block;
}

int Open(ArchiveReader& reader, const std::string& path) {
  reader.SetQuiet(true);
  return reader.OpenAs(Westring::FromUtf8(path.c_str()), ArchiveTar);
}

// Above 100 characters: in the ustar prefix, or a GNU long name.
const std::string kLongDirectory = std::string(70, 'x') + "/" + std::string(70, 'w');
const std::string kLongName(150, 'y');

}  // namespace

TEST(TarReaderTest, UstarAndGnuArchivesListTheirTree) {
  TTempDirectory dir("tar");
  const std::string tree = dir / "tree";
  ASSERT_EQ(
      Shell(
          "cd '" + dir.Path() + "' && mkdir -p tree/d tree/empty tree/n1/n2 tree/" +
          kLongDirectory +
          " && printf abc >tree/d/a && printf 12345 >tree/d/b && printf 1 >'tree/with blank.txt'"
          " && printf 22 >tree/Grüße.txt && printf 333 >tree/n1/n2/deep.txt && printf 4444 >tree/" +
          kLongDirectory + "/f.txt && touch -d @1000000000 tree/d/a"),
      0);
  for (const char* format : {"ustar", "gnu"}) {
    SCOPED_TRACE(format);
    const std::string archive = dir / (std::string(format) + ".tar");
    ASSERT_EQ(
        Shell("tar --format=" + std::string(format) + " -C '" + tree + "' -cf '" + archive + "' ."),
        0);
    ArchiveReader reader;
    ASSERT_EQ(Open(reader, archive), ArchiveTar) << reader.LastReport().ToUtf8().c_str();
    EXPECT_EQ(Level(reader, L""),
              "Grüße.txt 2|with blank.txt 1|d/|empty/|n1/|" + std::string(70, 'x') + "/|");
    EXPECT_EQ(Level(reader, L"d"), "a 3|b 5|");
    EXPECT_EQ(TimeOf(reader, L"d", L"a"), 1000000000);
    EXPECT_EQ(Level(reader, L"n1"), "n2/|");
    EXPECT_EQ(Level(reader, L"n1/n2"), "deep.txt 3|");
    EXPECT_EQ(Level(reader, Westring::FromUtf8(kLongDirectory.c_str())), "f.txt 4|");
    EXPECT_TRUE(reader.HasDirectory(L"empty"));
    EXPECT_EQ(Level(reader, L"empty"), "");
    EXPECT_TRUE(reader.At(0).dotSlash);
  }
}

TEST(TarReaderTest, GnuLongNamesAndDirectoryMembers) {
  TTempDirectory dir("tar");
  ASSERT_EQ(Shell("cd '" + dir.Path() +
                  "' && mkdir d && printf 1 >d/a && printf 22 >d/b && printf 333 >" + kLongName +
                  " && ln -s " + std::string(200, 'z') +
                  " link && tar --format=gnu -cf gnu.tar d " + kLongName + " link"),
            0);
  ArchiveReader reader;
  ASSERT_EQ(Open(reader, dir / "gnu.tar"), ArchiveTar);
  // The long link target names no member: the link keeps its own name.
  EXPECT_EQ(Level(reader, L""), "link 0|" + kLongName + " 3|d/|");
  EXPECT_EQ(Level(reader, L"d"), "a 1|b 2|");
  ASSERT_EQ(reader.Count(), 5);
}

TEST(TarReaderTest, MembersAboveFourAndEightGibibytesListTheirSize) {
  TTempDirectory dir("tar");
  ASSERT_EQ(Shell("cd '" + dir.Path() +
                  "' && truncate -s 5G big && printf 1 >small && tar -S --format=gnu -cf "
                  "sparse.tar big small"),
            0);
  ArchiveReader reader;
  ASSERT_EQ(Open(reader, dir / "sparse.tar"), ArchiveTar);
  EXPECT_EQ(Level(reader, L""), "big 5368709120|small 1|");

  // 10 GiB in GNU base-256; its data is missing, so the walk ends after it.
  const std::string tenGib("\x80\0\0\0\0\0\0\x02\x80\0\0\0", 12);
  WriteFile(dir / "huge.tar", Header("before", '0', "00000000003") + std::string(512, 'b') +
                                  Header("huge", '0', tenGib) + Header("lost", '0', "00000000000"));
  ASSERT_EQ(Open(reader, dir / "huge.tar"), ArchiveTar);
  EXPECT_EQ(Level(reader, L""), "before 3|huge 10737418240|");
}

TEST(TarReaderTest, PaxRecordsNameAndSizeTheNextMember) {
  TTempDirectory dir("tar");
  ASSERT_EQ(Shell("cd '" + dir.Path() + "' && truncate -s 9G big && printf 1 >" + kLongName +
                  " && tar -S --format=posix -cf posix.tar big " + kLongName),
            0);
  ArchiveReader reader;
  ASSERT_EQ(Open(reader, dir / "posix.tar"), ArchiveTar);
  EXPECT_EQ(Level(reader, L""), "big 9663676416|" + kLongName + " 1|");

  // A size record overrides the header's size field for the data to move over.
  const std::string records = "12 size=600\n18 path=pax/named\n";
  WriteFile(dir / "sized.tar", Header("x", 'x', "00000000036") + records +
                                   std::string(512 - records.size(), '\0') +
                                   Header("cut", '0', "00000000000") + std::string(1024, 'd') +
                                   Header("after", '0', "00000000000"));
  ASSERT_EQ(Open(reader, dir / "sized.tar"), ArchiveTar);
  EXPECT_EQ(Level(reader, L""), "after 0|pax/|");
  EXPECT_EQ(Level(reader, L"pax"), "named 600|");
}

TEST(TarReaderTest, DamageEndsTheListingWithTheMembersBeforeIt) {
  TTempDirectory dir("tar");
  ASSERT_EQ(
      Shell(
          "cd '" + dir.Path() +
          "' && printf 1 >a && printf 2 >b && printf 3 >c && tar --format=gnu -cf good.tar a b c"),
      0);
  const std::string good = ReadFile(dir / "good.tar");
  ASSERT_GE(good.size(), 3 * 1024u);
  const std::string one = Header("one", '0', "00000000001") + std::string(512, '1');
  struct {
    const char* what;
    std::string bytes;
    const char* listing;
  } cases[] = {
      {"bad checksum in the second header", good.substr(0, 1024) + "!" + good.substr(1025), "a 1|"},
      {"cut inside the third header", good.substr(0, 2048 + 100), "a 1|b 1|"},
      {"cut inside the first member's data", good.substr(0, 600), "a 1|"},
      {"long name past the end", one + Header("././@LongLink", 'L', "07777777777") + "name",
       "one 1|"},
      {"size field without digits", one + Header("bad", '0', "zz"), "one 1|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "damaged.tar", c.bytes);
    ArchiveReader reader;
    ASSERT_EQ(Open(reader, dir / "damaged.tar"), ArchiveTar);
    EXPECT_EQ(Level(reader, L""), c.listing);
  }
}

TEST(TarReaderTest, FilesWithoutMembersAreRefusedOrFail) {
  TTempDirectory dir("tar");
  struct {
    const char* what;
    std::string bytes;
    int format;
    const char* report;
  } cases[] = {
      {"text", std::string(2048, 'a'), ArchiveNone, ""},
      {"zero blocks", std::string(10240, '\0'), ArchiveNone, ""},
      {"shorter than a block", Header("a", '0', "00000000001").substr(0, 511), ArchiveNone, ""},
      {"only the top directory", Header("./", '5', "00000000000") + std::string(1024, '\0'),
       ArchiveNone, "No members found in"},
      {"a long name and nothing after it", Header("././@LongLink", 'L', "00000000005") + "name",
       ArchiveNone, "No members found in"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "x.tar", c.bytes);
    ArchiveReader reader;
    EXPECT_EQ(Open(reader, dir / "x.tar"), c.format);
    EXPECT_EQ(reader.LastReport(), Westring(c.report));
    EXPECT_EQ(reader.Count(), 0);
  }
}
