#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

namespace {

int Shell(const std::string& command) { return std::system(command.c_str()); }

int OpenTar(ArchiveReader& reader, const std::string& path) {
  reader.SetQuiet(true);
  return reader.OpenAs(Westring::FromUtf8(path.c_str()), ArchiveTar);
}

// One level as a user sees it: "name size" for a member, "name/" for a directory.
std::string Level(const ArchiveReader& reader, const std::string& directory) {
  std::string text;
  reader.List(Westring::FromUtf8(directory.c_str()), [&](const TListedMember& m) {
    text += Westring(m.name).Left(m.nameLength).ToUtf8().c_str();
    text += (m.directory ? "/" : " " + std::to_string(m.size)) + "|";
    return true;
  });
  return text;
}

// A header block made by hand from its name, type flag and raw size field.
std::string Header(const std::string& name, char type, const std::string& size) {
  std::string block(512, '\0');
  block.replace(0, name.size(), name).replace(100, 7, "0000644").replace(124, size.size(), size);
  block.replace(136, 11, "00000001750").replace(148, 8, "        ")[156] = type;
  unsigned sum = 0;
  for (unsigned char c : block) sum += c;
  char checksum[8];
  std::snprintf(checksum, sizeof checksum, "%06o", sum);
  return block.replace(148, 7, checksum, 7);
}

// Above 100 characters: a GNU long name, a pax path, or (split at its "/") the ustar prefix.
const std::string kLongDirectory = std::string(70, 'x') + "/" + std::string(70, 'w');
const std::string kLongName(150, 'y');

}  // namespace

TEST(TarReaderTest, ArchivesMadeByTarListTheirTree) {
  TTempDirectory dir("tar");
  ASSERT_EQ(
      Shell("cd '" + dir.Path() + "' && mkdir -p t/d t/empty t/n1/n2 t/" + kLongDirectory + " x" +
            " && printf abc >t/d/a && printf 12345 >t/d/b && printf 1 >'t/with blank' && printf 22 "
            ">t/Grüße" +
            " && printf 4444 >t/" + kLongDirectory +
            "/f && touch -d @1000000000 t/d/a && printf 1 >x/" + kLongName + " && ln -s " +
            std::string(200, 'z') + " x/link && truncate -s 9G x/big"),
      0);
  // The link's long target names nothing: the link keeps its own name.
  const std::string dirs = "d/|empty/|n1/|" + kLongDirectory.substr(0, 70) + "/|";
  const std::string all = "Grüße 2|big 9663676416|link 0|with blank 1|" + kLongName + " 1|" + dirs;
  for (const char* options : {"--format=ustar -C t .", "-S --format=gnu -C t . -C ../x .",
                              "-S --format=posix -C t . -C ../x ."}) {
    SCOPED_TRACE(options);
    ASSERT_EQ(Shell("cd '" + dir.Path() + "' && tar -cf a.tar " + std::string(options)), 0);
    ArchiveReader reader;
    ASSERT_EQ(OpenTar(reader, dir / "a.tar"), ArchiveTar);
    EXPECT_EQ(Level(reader, ""),
              std::strstr(options, "ustar") ? "Grüße 2|with blank 1|" + dirs : all);
    EXPECT_EQ(Level(reader, "d") + Level(reader, "n1") + Level(reader, kLongDirectory),
              "a 3|b 5|n2/|f 4|");
    EXPECT_TRUE(reader.HasDirectory(L"empty") && reader.HasDirectory(L"n1/n2") &&
                Level(reader, "empty").empty());
    int64_t time = 0;
    reader.List(L"d", [&](const TListedMember& m) { return (time = m.time), false; });
    EXPECT_EQ(time, 1000000000);
  }
}

TEST(TarReaderTest, DamageEndsTheListingWithTheMembersBeforeIt) {
  TTempDirectory dir("tar");
  ASSERT_EQ(
      Shell("cd '" + dir.Path() + "' && printf 1 >a && printf 2 >b && tar -cf good.tar a b a"), 0);
  std::ifstream in(dir / "good.tar", std::ios::binary);
  const std::string good(std::istreambuf_iterator<char>(in), {});
  const std::string one = Header("one", '0', "1") + std::string(512, '1'), empty(1024, '\0');
  const std::string pax = "12 size=600\n14 path=named\n" + std::string(486, '\0');
  const std::string tenGib("\x80\0\0\0\0\0\0\x02\x80", 9);
  const struct {
    const char* what;
    std::string bytes, listing, report;
  } cases[] = {
      {"bad checksum", good.substr(0, 1024) + "!" + good.substr(1025), "a 1|", ""},
      {"cut inside the third header", good.substr(0, 2148), "a 1|b 1|", ""},
      {"size past the end", one + Header("huge", '0', tenGib) + one, "huge 10737418240|one 1|", ""},
      {"long name past the end", one + Header("@", 'L', "7777777777") + "name", "one 1|", ""},
      {"pax size and path",
       Header("x", 'x', "32") + pax + Header("cut", '0', "0") + empty + Header("after", '0', "0"),
       "after 0|named 600|", ""},
      {"zero blocks", empty + empty, "", ""},
      {"shorter than a block", one.substr(0, 511), "", ""},
      {"only the top", Header("./", '5', "0") + empty, "", "No members found in"},
      {"only a long name", Header("@", 'L', "5") + "name", "", "No members found in"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir / "bad.tar", std::ios::binary) << c.bytes;
    ArchiveReader reader;
    EXPECT_EQ(OpenTar(reader, dir / "bad.tar"), c.listing.empty() ? ArchiveNone : ArchiveTar);
    EXPECT_EQ(Level(reader, "") + reader.LastReport().ToUtf8().c_str(), c.listing + c.report);
  }
}
