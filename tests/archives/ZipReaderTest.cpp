#include "tests/archives/MemberListing.h"

namespace {

// A central header (the local ones are never read) and an end record.
std::string Central(const std::string& name, uint32_t size, const std::string& extra = "",
                    uint16_t flags = 0) {
  return "PK\1\2" + Le(20, 4) + Le(flags, 2) + std::string(10, '\0') + Le(size, 4) + Le(size, 4) +
         Le(name.size(), 2) + Le(extra.size(), 2) + std::string(14, '\0') + name + extra;
}
std::string End(uint32_t directory, const std::string& comment = "", uint16_t entries = 1) {
  return "PK\5\6" + Le(0, 4) + Le(entries, 4) + Le(0, 4) + Le(directory, 4) +
         Le(comment.size(), 2) + comment;
}
// Records behind a local-header stub, so that a directory starts at 30.
std::string Zip(const std::string& records) { return "PK\3\4" + std::string(26, '\0') + records; }

using ZipReaderTest = TArchiveTest;

TEST_F(ZipReaderTest, HandBuiltDirectories) {
  const std::string file = Central("dir\\f.txt", 7),
                    good = Zip(file + Central("d2\\", 0) + End(30, "", 2));
  const std::string zip64Sizes = Le(1, 2) + Le(16, 2) + Le(5ull << 30, 8) + Le(9ull << 29, 8);
  const std::string owners = Le(0x7875, 2) + Le(9, 2) + "\1\2" + Le(1234, 2) + "\4" + Le(56789, 4);
  // One header at 30, then the ZIP64 end record, its locator and the end record.
  const auto zip64 = [&](uint64_t directory, uint64_t count) {
    return Zip(file + "PK\6\6" + Le(44, 8) + Le(45, 12) + Le(count, 8) + Le(count, 8) + Le(0, 8) +
               Le(directory, 8) + "PK\6\7" + Le(0, 4) + Le(30 + file.size(), 8) + Le(1, 4) +
               End(0xFFFFFFFF, "", 0xFFFF));
  };
  const struct {
    const char* what;
    std::string bytes;
    const char* top;  // null when the file fails or is no ZIP
    const char* report;
  } cases[] = {
      {"backslashes", good, "d2/|dir/", ""},
      {"1000-byte comment", Zip(file + End(30, std::string(1000, 'c'))), "dir/", ""},
      {"ZIP64 sizes", Zip(Central("big.iso", 0xFFFFFFFF, zip64Sizes) + End(30)),
       "big.iso 5368709120", ""},
      {"owner and group", Zip(Central("o", 1, owners) + End(30)), "o 1 1234:56789", ""},
      {"UTF-8 flag", Zip(Central("\xC3\xBC", 2, "", 1 << 11) + End(30)), "\xC3\xBC 2", ""},
      {"empty, dot and NUL parts",
       Zip(Central(".//../b", 1) + Central({"n\0x", 3}, 1) + End(30, "", 2)), "b 1|n 1", ""},
      {"billions of members", zip64(30, 1ull << 40), "dir/", ""},
      {"ZIP64 record naming itself", zip64(30 + file.size(), 1), "", ""},
      {"comment of 70000 bytes", Zip(file + End(30)) + std::string(70000, 'c'), nullptr,
       "Central directory not found in"},
      {"cut end record", good.substr(0, good.size() - 10), nullptr,
       "ZIP corrupt, cannot read file list"},
      {"cut directory", good.substr(0, 60), nullptr, "Central directory not found in"},
      {"directory past the end", Zip(file + End(1 << 20)), nullptr,
       "ZIP corrupt, nonsense header read"},
      {"name past the end", std::string(good).replace(58, 2, Le(8000, 2)), nullptr,
       "ZIP corrupt, cannot read file list"},
      {"name of 9000 bytes", std::string(good).replace(58, 2, Le(9000, 2)), nullptr,
       "ZIP corrupt, cannot read file list"},
      {"garbage in the directory", Zip(file + "PK\1\3junk" + End(30)), nullptr,
       "ZIP corrupt, bad central directory"},
      {"text", "PK but no ZIP", nullptr, ""},
      {"executable", "MZ" + std::string(5000, 'x'), nullptr, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(OpenBytes(c.bytes, ArchiveZip), c.top != nullptr ? ArchiveZip : ArchiveNone);
    EXPECT_STREQ(m_reader.LastReport().ToUtf8().c_str(), c.report);
    EXPECT_EQ(Level(""), c.top != nullptr ? c.top : "");
  }
  ASSERT_EQ(OpenBytes(good, ArchiveZip), ArchiveZip);
  EXPECT_EQ(Level("dir"), "f.txt 7");
}

}  // namespace
