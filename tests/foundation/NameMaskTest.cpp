#include <gtest/gtest.h>

#include <string>

#include "foundation/NameMask.h"

namespace {

TEST(NameMaskTest, MaskOverSource) {
  struct Row {
    const char *mask, *source, *target;
  } rows[] = {
      {"*.bak", "report.txt", "report.bak"}, {"?x*", "abc", "axbc"},    {"", "abc", ""},
      {"*", "a.b.c", "a"},                   {"*.*", "abc", "abc."},    {"?.*", "abc", "a."},
      {"???", "ab", "ab"},                   {"*.*.*", "a.b.c", "a.b.c"}, {"x", "abc", "x"},
      {".*", "a.b", ".b"},                   {"*.*", "", "."},
      {"*_old.*", "notes.md", "notes_old.md"},
      {"\u0444*.bak", "\u0439\u0446.txt", "\u0444\u0439\u0446.bak"},
      {"*.*", "a-very-long-file-name-well-past-twenty.extension",
       "a-very-long-file-name-well-past-twenty.extension"},
  };
  for (const Row& row : rows) {
    Westring target = ApplyNameMask(Westring(row.mask), Westring(row.source));
    EXPECT_EQ(std::string(target.ToUtf8().c_str()), row.target)
        << "input: mask '" << row.mask << "' over '" << row.source << "'";
  }
}

}  // namespace
