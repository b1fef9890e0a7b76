#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "panels/DirSearch.h"
#include "tests/panels/PanelTestUtil.h"

using namespace paneltest;

namespace {

// Every name a search returns, with the search's result code at the end.
std::set<std::wstring> Listing(const std::string& directory, uint32_t attributes, int* last = nullptr) {
  std::set<std::wstring> names;
  DirSearch search(Westring(directory.c_str()));
  entry* e = nullptr;
  int err = search.FindFirst(L"*", attributes, &e);
  for (; err == 0; err = search.FindNext(&e)) {
    names.insert(e->Name());
    if (attributes & SearchAttr::Allocate) delete e;  // the caller owns allocated results
  }
  if (last != nullptr) *last = err;
  return names;
}

uint16_t FlagsOf(const std::string& directory, const wchar_t* name) {
  DirSearch search(Westring(directory.c_str()));
  EXPECT_EQ(search.FindOne(name, SearchAttr::PanelRead & ~SearchAttr::Allocate), 0) << name;
  return search.LastEntry().flags;
}

}  // namespace

TEST(MaskMatch, StarAndQuestionMarkOnly) {
  struct TCase {
    const wchar_t* mask;
    const wchar_t* name;
    bool match;
  } const cases[] = {
      {L"", L"", true},           {L"", L"a", false},          {L"a*b?", L"axxbc", true},
      {L"a*b?", L"abc", true},    {L"a*b?", L"ab", false},     {L"*", L"", true},
      {L"README", L"readme", false}, {L"?", L"", false},       {L"*.c", L"x.y.c", true},
      {L"*.c", L"x.cc", false},
      {L"[a].txt", L"[a].txt", true}, {L"[a].txt", L"a.txt", false},  // sets are not special
  };
  for (const TCase& c : cases)
    EXPECT_EQ(MaskMatch(c.mask, c.name), c.match)
        << "input: " << testing::PrintToString(c.mask) << " on " << testing::PrintToString(c.name);
}

TEST(DirSearch, PatternDirectories) {
  EXPECT_EQ(SearchDirectory(L"/home/u", L"*"), L"/home/u");
  EXPECT_EQ(SearchDirectory(L"/home/u", L"sub/*.c"), L"/home/u/sub/");
  EXPECT_EQ(SearchDirectory(L"/home/u/", L"sub/*.c"), L"/home/u/sub/");
  EXPECT_EQ(SearchDirectory(L"/home/u", L"/etc/*.conf"), L"/home/u/etc/");
  EXPECT_EQ(SearchDirectory(L"", L"*"), L".");
  EXPECT_EQ(SearchDirectory(L"", L"/*"), L"/");
}

TEST(DirSearch, AttributeMasksChooseWhatIsListed) {
  TTempDirectory dir("vk-search");
  MakeFile(dir / "plain.txt", 10);
  MakeFile(dir / ".hidden", 3);
  MakeDirectory(dir / "sub");
  MakeDirectory(dir / ".config");

  int last = 0;
  EXPECT_EQ(Listing(dir.Path(), SearchAttr::PanelRead, &last),
            (std::set<std::wstring>{L".", L"..", L"plain.txt", L".hidden", L"sub", L".config"}));
  EXPECT_EQ(last, SearchResult::NoMoreEntries);
  // Without the hidden bit every dot name goes, "." and ".." included.
  EXPECT_EQ(Listing(dir.Path(), SearchAttr::Directory), (std::set<std::wstring>{L"plain.txt", L"sub"}));
  // Without the directory bit only files.
  EXPECT_EQ(Listing(dir.Path(), SearchAttr::Hidden), (std::set<std::wstring>{L"plain.txt", L".hidden"}));
  // Directories only needs the directory bit too.
  EXPECT_TRUE(Listing(dir.Path(), SearchAttr::DirectoriesOnly | SearchAttr::Hidden).empty());
  EXPECT_EQ(Listing(dir.Path(), SearchAttr::DirectoriesOnly | SearchAttr::Directory),
            (std::set<std::wstring>{L"sub"}));

  DirSearch search(Westring(dir.Path().c_str()));
  entry* e = nullptr;
  EXPECT_EQ(search.FindOne(L"plain.txt", SearchAttr::Allocate, &e), 0);
  ASSERT_NE(e, nullptr);
  std::unique_ptr<entry> owned(e);
  EXPECT_EQ(e->size, 10);
  EXPECT_EQ(e->extra, ~uint64_t{0});
  EXPECT_EQ(search.FindOne(L"missing", 0), SearchResult::NoMoreEntries);
  EXPECT_EQ(search.FindOne(L"nodir/x", 0), ENOENT);
}

TEST(DirSearch, LinksAndTheirTargets) {
  TTempDirectory dir("vk-search");
  MakeDirectory(dir / "target-dir");
  MakeFile(dir / "target-file", 1234);
  MakeLink("target-dir", dir / "dir-link");
  MakeLink("target-file", dir / "file-link");
  MakeLink("nowhere", dir / "dangling");

  DirSearch search(Westring(dir.Path().c_str()));
  ASSERT_EQ(search.FindOne(L"dir-link", SearchAttr::Directory), 0);
  EXPECT_EQ(search.LastEntry().flags & (EntryFlag::Directory | EntryFlag::Link | EntryFlag::BrokenLink),
            EntryFlag::Directory | EntryFlag::Link);
  EXPECT_EQ(search.LastEntry().size, 0);
  ASSERT_EQ(search.FindOne(L"file-link", 0), 0);
  EXPECT_EQ(search.LastEntry().flags & (EntryFlag::Directory | EntryFlag::Link), EntryFlag::Link);
  EXPECT_EQ(search.LastEntry().size, 1234) << "a link to a file takes its target's size";
  ASSERT_EQ(search.FindOne(L"dangling", 0), 0);
  const entry& dangling = search.LastEntry();
  EXPECT_TRUE(dangling.flags & EntryFlag::BrokenLink);
  EXPECT_TRUE(S_ISLNK(dangling.mode)) << "a dangling link keeps its own status";
  EXPECT_EQ(dangling.size, 7) << "the link's own size is its target text";
}

TEST(DirSearch, ReadOnlyFollowsTheRealIdsWithoutSuperUserException) {
  TTempDirectory dir("vk-search");
  const std::string file = dir / "f";
  MakeFile(file);
  chmod(file.c_str(), 0444);
  EXPECT_TRUE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly);
  chmod(file.c_str(), 0644);
  EXPECT_FALSE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly);
  chmod(file.c_str(), 0446);
  EXPECT_FALSE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly) << "others may write";
  if (getuid() != 0) return;  // giving files away needs the super-user
  const uid_t stranger = 4242;
  ASSERT_EQ(chown(file.c_str(), stranger, getgid()), 0);
  chmod(file.c_str(), 0644);
  EXPECT_TRUE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly) << "root is not exempt";
  chmod(file.c_str(), 0464);
  EXPECT_FALSE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly) << "group write for the process's group";
  ASSERT_EQ(chown(file.c_str(), stranger, stranger), 0);
  EXPECT_TRUE(FlagsOf(dir.Path(), L"f") & EntryFlag::ReadOnly) << "group write for another group";
}

TEST(DirSearch, HiddenBitFollowsTheNameRule) {
  TTempDirectory dir("vk-search");
  MakeFile(dir / ".profile");
  MakeFile(dir / "..more");
  MakeFile(dir / "visible");
  EXPECT_TRUE(FlagsOf(dir.Path(), L".profile") & EntryFlag::Hidden);
  EXPECT_TRUE(FlagsOf(dir.Path(), L"..more") & EntryFlag::Hidden);
  EXPECT_FALSE(FlagsOf(dir.Path(), L"visible") & EntryFlag::Hidden);
  EXPECT_TRUE(IsHiddenName(L"."));
  EXPECT_FALSE(IsHiddenName(L".."));
}

TEST(DirSearch, FindAllListsWhatFindNextListsInTheSameOrder) {
  TTempDirectory dir("vk-search");
  // Enough names for the two-thread examination, and every kind of entry.
  for (int i = 0; i < 2100; ++i) MakeFile(dir / ("f" + std::to_string(i)), i % 7);
  MakeDirectory(dir / "sub");
  MakeLink("sub", dir / "sub-link");
  MakeLink("nowhere", dir / "dangling");
  MakeFile(dir / ".hidden");
  const auto describe = [](const entry* e) {
    return std::wstring(e->Name()) + L":" + std::to_wstring(e->flags) + L":" +
           std::to_wstring(e->size) + L":" + std::to_wstring(e->mode);
  };
  for (uint32_t attributes : {SearchAttr::PanelRead, SearchAttr::Allocate | SearchAttr::Hidden}) {
    std::vector<std::wstring> stepped, all;
    DirSearch search(Westring(dir.Path().c_str()));
    entry* e = nullptr;
    for (int err = search.FindFirst(L"*", attributes, &e); err == 0; err = search.FindNext(&e)) {
      stepped.push_back(describe(e));
      delete e;
    }
    EXPECT_EQ(search.FindAll(L"*", attributes,
                             [&](entry* found) {
                               all.push_back(describe(found));
                               delete found;
                               return true;
                             }),
              SearchResult::NoMoreEntries);
    EXPECT_EQ(all, stepped) << "attributes " << attributes;
  }
  int handed = 0;
  DirSearch search(Westring(dir.Path().c_str()));
  EXPECT_EQ(search.FindAll(L"*", SearchAttr::PanelRead,
                           [&](entry* found) {
                             delete found;
                             return ++handed < 10;
                           }),
            0)
      << "a stop is not an error";
  EXPECT_EQ(handed, 10);
  EXPECT_EQ(search.FindAll(L"nodir/*", SearchAttr::PanelRead, [](entry*) { return true; }), ENOENT);
}
