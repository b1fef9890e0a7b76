// Archives as zip and 7zz make them, listed level by level.
#include <sys/stat.h>

#include "tests/archives/MemberListing.h"

namespace {

using ArchiverListingTest = TArchiveTest;

TEST_F(ArchiverListingTest, ZipAndSevenZip) {
  // sfx.exe keeps the offsets of the ZIP alone; zip -A makes them count from the file's start.
  ASSERT_EQ(Run("mkdir -p tree/dir/sub tree/empty && printf hello >'tree/a b.txt' && printf 123 "
                ">tree/dir/sub/deep.txt"
                " && printf x >'tree/dir/\xC3\xBCn\xC3\xAF.txt' && touch -d '2021-05-06 07:08:10' "
                "'tree/a b.txt'"
                " && cd tree && zip -qr ../t.zip . && 7zz a -bso0 -bsp0 ../solid.7z . && cd .."
                " && 7zz a -bso0 -bsp0 -ms=off -mhc=off plain.7z ./tree/* && (printf MZ; head -c "
                "3000 /dev/zero;"
                " cat t.zip) >sfx.exe && cp sfx.exe sfx-a.exe && zip -qA sfx-a.exe"),
            0);
  struct stat st {};
  ASSERT_EQ(stat((m_dir / "tree/a b.txt").c_str(), &st), 0);
  for (const auto& [leaf, format] : {std::pair{"t.zip", ArchiveZip},
                                     {"sfx.exe", ArchiveZip},
                                     {"sfx-a.exe", ArchiveZip},
                                     {"solid.7z", ArchiveSevenZip},
                                     {"plain.7z", ArchiveSevenZip}}) {
    SCOPED_TRACE(leaf);
    ASSERT_EQ(Open(leaf, format), format) << m_reader.LastReport().ToUtf8().c_str();
    EXPECT_EQ(Level(""), "a b.txt 5|dir/|empty/");
    EXPECT_EQ(Level("dir"), "\xC3\xBCn\xC3\xAF.txt 1|sub/");
    EXPECT_EQ(Level("dir/sub"), "deep.txt 3");
    EXPECT_TRUE(m_reader.HasDirectory(L"empty"));
    int64_t time = -1;  // of the one file at the top
    m_reader.List(L"",
                  [&](const TListedMember& m) { return m.directory || (time = m.time, false); });
    EXPECT_EQ(time, st.st_mtime);
  }
}

}  // namespace
