#include "tools/FindResults.h"

#include <gtest/gtest.h>

#include "tools/FileFind.h"

namespace {

entry* Found(const wchar_t* path, int64_t size, uint32_t time, int64_t match, uint16_t flags = 0) {
  entry* e = entry::Make(path);
  e->size = size;
  e->timeSec = time;
  e->flags = flags;
  e->extra = static_cast<uint64_t>(match);
  return e;
}

TEST(FindResults, LinesShowSizeOrSubdirHiddenMarkAndErrors) {
  std::unique_ptr<entry> file(Found(L"/data/report.txt", 1234567, 1700000000, 5));
  const Westring line = FormatResultLine(*file, 80);
  EXPECT_EQ(Westring(L" 1,234,567 "), line.Left(11));
  EXPECT_EQ(L' ', line[27]);  // not hidden
  EXPECT_EQ(Westring(L"/data/report.txt"), line.Mid(28).Left(16));

  std::unique_ptr<entry> directory(Found(L"/data/.cache", 0, 1700000000, FindMatch::NoContentSearch,
                                         EntryFlag::Directory | EntryFlag::Hidden));
  const Westring dirLine = FormatResultLine(*directory, 80);
  EXPECT_EQ(Westring(L"  \u25BASUBDIR\u25C4"), dirLine.Left(10));
  EXPECT_EQ(L'\u2591', dirLine[27]);

  std::unique_ptr<entry> locked(Found(L"/data/locked.txt", 10, 1700000000, FindMatch::CannotOpen));
  EXPECT_EQ(Westring(L" Error opening /data/locked.txt"), FormatResultLine(*locked, 80).Mid(10).Left(31));

  // A long path keeps its end, where the file's name is.
  EXPECT_EQ(Westring(L"...ef/name.txt"), FitPath(L"/abcdef/name.txt", 14));
}

TEST(FindResults, SortOrders) {
  FFEntryStore store;
  store.Append(Found(L"/b/zeta.c", 30, 100, 0));
  store.Append(Found(L"/a/alpha.h", 10, 300, 0));
  store.Append(Found(L"/c/Beta.a", 20, 200, 0));
  auto order = [&store] {
    Westring names;
    for (const entry* e : store) names += Westring(e->Name()) + L" ";
    return names;
  };
  SortResults(&store, FindSortOrder::Name);
  EXPECT_EQ(Westring(L"/a/alpha.h /c/Beta.a /b/zeta.c "), order());
  SortResults(&store, FindSortOrder::Extension);
  EXPECT_EQ(Westring(L"/c/Beta.a /b/zeta.c /a/alpha.h "), order());
  SortResults(&store, FindSortOrder::Time);
  EXPECT_EQ(Westring(L"/a/alpha.h /c/Beta.a /b/zeta.c "), order());
  SortResults(&store, FindSortOrder::Size);
  EXPECT_EQ(Westring(L"/b/zeta.c /c/Beta.a /a/alpha.h "), order());
}

}  // namespace
