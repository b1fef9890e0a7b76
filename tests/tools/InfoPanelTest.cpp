// The information panel's rows: the figure columns, the files sentence, the
// error and archive forms, the centred volume block and the description
// file below it, cut to what the panel holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "archives/ArchivePanel.h"
#include "config/Settings.h"
#include "foundation/NumberFormat.h"
#include "tests/TempDirectory.h"
#include "tools/InfoPanel.h"

namespace {

constexpr wchar_t kRule = 0x2500;

class InfoPanelRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_grouping = g_groupThousands;
    m_separator = g_thousandsSeparator;
    g_groupThousands = true;
    g_thousandsSeparator = L',';
    disk.totalMemory = 8589934592;
    disk.freeMemory = 1048576;
    disk.totalBytes = 1000000000;
    disk.freeBytes = 123456789;
    disk.fileCount = 3;
    disk.filesBytes = 12288;
    disk.mountPoint = L"/home";
    disk.fsType = L"ext4";
    disk.directory = L"/home/user/notes";
  }
  void TearDown() override {
    g_groupThousands = m_grouping;
    g_thousandsSeparator = m_separator;
  }
  // Row r counting from 1, as the panel counts them.
  static std::wstring Row(const std::vector<Westring>& rows, int r) { return rows.at(r - 1).c_str(); }
  static int RowWith(const std::vector<Westring>& rows, const wchar_t* text) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (std::wstring(rows[i].c_str()).find(text) != std::wstring::npos) return static_cast<int>(i) + 1;
    return 0;
  }

  TInfoFigures disk;

 private:
  bool m_grouping = false;
  wchar_t m_separator = L',';
};

TEST_F(InfoPanelRowsTest, FiguresKeepTheirDigitsAndTheFilesSentenceCountsOneFileInTheSingular) {
  const std::vector<Westring> wide = InfoPanelRows(disk, {}, 60, 22);
  for (const Westring& row : wide) EXPECT_EQ(row.Length(), 60);
  EXPECT_NE(Row(wide, 9).find(L"123,456,789 bytes free"), std::wstring::npos);
  std::vector<Westring> rows = InfoPanelRows(disk, {}, 40, 22);
  EXPECT_NE(Row(rows, 10).find(L"3 files use 12,288 bytes in"), std::wstring::npos);
  disk.fileCount = 1;
  disk.filesBytes = SpaceInBlocks({0}, 4096);
  rows = InfoPanelRows(disk, {}, 40, 22);
  EXPECT_EQ(Row(rows, 10).find(L"1 file uses 4,096 bytes in"), 7u);  // centred
  EXPECT_NE(Row(rows, 11).find(L"/home/user/notes"), std::wstring::npos);
}

TEST(InfoSpaceInBlocks, RoundsEachFileUpAndCountsAnEmptyOneAsABlock) {
  EXPECT_EQ(SpaceInBlocks({1, 4096, 4097, 0}, 4096), 4096 + 4096 + 8192 + 4096);
  EXPECT_EQ(SpaceInBlocks({10, 0}, 0), 11);  // a file system without a block size counts bytes
}

TEST_F(InfoPanelRowsTest, ErrorsEndThePanelEarly) {
  TInfoFigures failed = disk;
  failed.readError = 13;
  std::vector<Westring> rows = InfoPanelRows(failed, {L"not shown"}, 40, 22);
  EXPECT_NE(Row(rows, 7).find(L"ermission denied"), std::wstring::npos);
  for (int r = 8; r <= 22; ++r) EXPECT_EQ(Row(rows, r), std::wstring(40, L' ')) << r;

  failed = disk;
  failed.diskError = 5;
  rows = InfoPanelRows(failed, {L"not shown"}, 40, 22);
  EXPECT_EQ(Row(rows, 9), std::wstring(L"Cannot read drive").append(23, L' '));
  EXPECT_EQ(RowWith(rows, L"not shown") + RowWith(rows, L"total bytes"), 0);
}

TEST_F(InfoPanelRowsTest, VolumeLinesShareTheMarginThatCentresTheLongest) {
  disk.hasSerial = true;
  disk.serial = 0xABCD1234;
  std::vector<Westring> rows = InfoPanelRows(disk, {}, 40, 22);
  EXPECT_EQ(Row(rows, 13).find(L"Mount Point : /home"), Row(rows, 14).find(L"File System : ext4"));
  EXPECT_EQ(Row(rows, 15).find(L"Serial No   : ABCD1234"), 9u);
  // A label replaces the mount point; without a type or serial those lines go.
  disk.label = L"Backup";
  disk.fsType = Westring();
  disk.hasSerial = false;
  rows = InfoPanelRows(disk, {}, 40, 22);
  EXPECT_NE(Row(rows, 13).find(L"Label       : Backup"), std::wstring::npos);
  EXPECT_EQ(RowWith(rows, L"Mount Point") + RowWith(rows, L"File System"), 0);
  EXPECT_EQ(Row(rows, 14), std::wstring(40, kRule));
}

TEST_F(InfoPanelRowsTest, ArchiveShowsItsTotalsAndCompressionWhenKnown) {
  TInfoFigures archive;
  archive.inArchive = true;
  archive.uncompressed = 1000;
  archive.compressed = 333;
  archive.archiveName = L"backup.zip";
  archive.archiveType = L"ZIP";
  archive.directory = L"/tmp/backup.zip/docs";
  std::vector<Westring> rows = InfoPanelRows(archive, {}, 40, 22);
  EXPECT_NE(Row(rows, 8).find(L"1,000 total uncompressed"), std::wstring::npos);
  EXPECT_NE(Row(rows, 9).find(L"333 total compressed"), std::wstring::npos);
  EXPECT_NE(Row(rows, 10).find(L"66.7% total compression"), std::wstring::npos);
  EXPECT_NE(Row(rows, 11).find(L"/tmp/backup.zip/docs"), std::wstring::npos);
  EXPECT_EQ(Row(rows, 13).find(L"Archive : backup.zip"), Row(rows, 14).find(L"Type    : ZIP"));

  archive.uncompressed = -1;
  archive.compressed = 5000;
  rows = InfoPanelRows(archive, {}, 40, 22);
  EXPECT_NE(Row(rows, 8).find(L"5,000 total compressed"), std::wstring::npos);
  EXPECT_EQ(RowWith(rows, L"compression") + RowWith(rows, L"uncompressed"), 0);
}

TEST_F(InfoPanelRowsTest, DescriptionFollowsItsHeadingAndStopsAtTheLastRow) {
  std::vector<Westring> dirInfo;
  for (int i = 1; i <= 30; ++i) dirInfo.push_back(Westring(L"line ") + Westring(std::to_wstring(i).c_str()));
  dirInfo[0] = Westring(L"A description far too long to fit in the width of one panel row at all");
  const std::vector<Westring> rows = InfoPanelRows(disk, dirInfo, 40, 22);
  ASSERT_EQ(rows.size(), 22u);
  const int heading = RowWith(rows, L" Dir Info ");
  ASSERT_EQ(heading, 15);
  EXPECT_EQ(Row(rows, heading).front(), kRule);
  EXPECT_EQ(Row(rows, heading + 1), std::wstring(dirInfo[0].c_str()).substr(0, 40));
  EXPECT_EQ(Row(rows, 22).substr(0, 7), L"line 7 ");
  EXPECT_EQ(RowWith(rows, L"line 8"), 0);
  // A panel too short for the description shows the figures only.
  const std::vector<Westring> shortRows = InfoPanelRows(disk, dirInfo, 40, 14);
  EXPECT_EQ(RowWith(shortRows, L"Dir Info"), 0);
  EXPECT_EQ(shortRows.size(), 14u);
}

TEST(InfoDirInfoFile, LinesAreCutExpandedAndCounted) {
  TTempDirectory dir("vk-dirinfo");
  {
    std::ofstream file(dir / "dirinfo");
    file << "Project notes\n" << "a\tb\n" << std::string(700, 'x') << "\n" << "four\nfive\n";
  }
  const int tabWidth = g_settings.tabWidth;
  g_settings.tabWidth = 8;
  const std::vector<Westring> lines = ReadDirInfo(DirInfoPath(Westring::FromUtf8(dir.Path().c_str())), 4);
  g_settings.tabWidth = tabWidth;
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_STREQ(lines[0].c_str(), L"Project notes");
  EXPECT_EQ(std::wstring(lines[1].c_str()).find(L'\t'), std::wstring::npos);
  EXPECT_EQ(lines[1][lines[1].Length() - 1], L'b');
  // A long line comes in pieces of at most 500 bytes.
  EXPECT_EQ(lines[2].Length(), 500);
  EXPECT_EQ(lines[3].Length(), 200);
  EXPECT_TRUE(ReadDirInfo(DirInfoPath(Westring::FromUtf8((dir / "none").c_str())), 10).empty());
}

}  // namespace

namespace {

TEST(InfoArchiveTotals, SumTheMembersSizesAndPackedSizes) {
  TTempDirectory dir("vk-info-zip");
  std::ofstream(dir / "a.txt") << std::string(10000, 'a');
  std::ofstream(dir / "b.txt") << "short";
  const std::string zip = "cd '" + dir.Path() + "' && zip -q t.zip a.txt b.txt";
  ASSERT_EQ(std::system(zip.c_str()), 0);
  const std::unique_ptr<CArchiveListing> listing = OpenArchiveListing(Westring::FromUtf8((dir / "t.zip").c_str()));
  ASSERT_NE(listing, nullptr);
  int64_t uncompressed = 0, compressed = 0;
  listing->Totals(&uncompressed, &compressed);
  EXPECT_EQ(uncompressed, 10005);
  EXPECT_GT(compressed, 0);
  EXPECT_LT(compressed, 1000);  // a run of one letter packs well
}

}  // namespace
