#include "tools/FileFind.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "FindTestUtil.h"

namespace {

using findtest::TScratchTree;

// The results of a whole search: path below the root -> match field.
std::map<std::string, int64_t> Search(const TScratchTree& tree, TFindRequest request) {
  request.startDirectory = Westring::FromUtf8(tree.Root().c_str());
  CFileFinder finder;
  EXPECT_EQ(0, finder.Start(request));
  finder.Join();
  std::map<std::string, int64_t> found;
  std::lock_guard<std::mutex> guard(finder.StoreLock());
  for (const entry* e : finder.Results()) {
    const std::string path = Westring(e->Name()).ToUtf8().c_str();
    EXPECT_TRUE(found.emplace(path.substr(tree.Root().size() + 1), MatchOf(*e)).second) << "twice: " << path;
  }
  return found;
}

TFindRequest Names(const wchar_t* specification) {
  TFindRequest request;
  request.specification = specification;
  return request;
}

TFindRequest Containing(const wchar_t* text, bool caseSensitive = false, bool wholeWord = false) {
  TFindRequest request = Names(L"*");
  request.text = text;
  request.caseSensitive = caseSensitive;
  request.wholeWord = wholeWord;
  return request;
}

using Found = std::map<std::string, int64_t>;
constexpr int64_t kName = FindMatch::NoContentSearch;

TEST(FileFind, NamesAcrossNestedDirectoriesHiddenAndRecursion) {
  TScratchTree tree;
  tree.Write("a.txt", "x");
  tree.Write("b.log", "x");
  tree.Write(".secret.txt", "x");
  tree.Write("sub/c.txt", "x");
  tree.Write("sub/deeper/d.txt", "x");
  tree.Write("sub/deeper/\xc3\xbc" "ber.txt", "x");

  EXPECT_EQ((Found{{"a.txt", kName}, {".secret.txt", kName}, {"sub/c.txt", kName},
                   {"sub/deeper/d.txt", kName}, {"sub/deeper/\xc3\xbc" "ber.txt", kName}}),
            Search(tree, Names(L"*.txt")));

  TFindRequest visibleOnly = Names(L"*.txt");
  visibleOnly.hidden = false;
  visibleOnly.recurse = false;
  EXPECT_EQ((Found{{"a.txt", kName}}), Search(tree, visibleOnly));

  // Directories are results too when their names match.
  const Found directories = Search(tree, Names(L"d*"));
  EXPECT_EQ((Found{{"sub/deeper", kName}, {"sub/deeper/d.txt", kName}}), directories);
}

TEST(FileFind, AttributeExpressionsExamineEveryEntry) {
  TScratchTree tree;
  tree.Write("small.txt", "x");
  tree.Write("large.txt", std::string(5000, 'x'));
  EXPECT_EQ((Found{{"large.txt", kName}}), Search(tree, Names(L"*.txt&%size>4000")));
}

TEST(FileFind, ContentsWithCaseAndWholeWord) {
  TScratchTree tree;
  tree.Write("upper.txt", "say Hello there");
  tree.Write("lower.txt", "hello");
  tree.Write("joined.txt", "xhellox");
  tree.Write("none.txt", "goodbye");

  EXPECT_EQ((Found{{"upper.txt", 4}}), Search(tree, Containing(L"Hello", true)));
  EXPECT_EQ((Found{{"upper.txt", 4}, {"lower.txt", 0}, {"joined.txt", 1}}), Search(tree, Containing(L"HELLO")));
  EXPECT_EQ((Found{{"upper.txt", 4}, {"lower.txt", 0}}), Search(tree, Containing(L"hello", false, true)));
}

TEST(FileFind, MatchesAcrossBlockBoundariesAndFarIn) {
  TScratchTree tree;
  const size_t block = 256 * 1024;
  tree.Write("straddles.bin", std::string(block - 3, '.') + "needle" + std::string(100, '.'));
  tree.Write("far.bin", std::string(3 * block + 17, '-') + "needle");
  // A whole-word match whose bound lies in the next block.
  tree.Write("bound.bin", std::string(block - 6, ' ') + "needlex needle ");
  const Found found = Search(tree, Containing(L"needle", true, true));
  EXPECT_EQ((Found{{"straddles.bin", static_cast<int64_t>(block - 3)},
                   {"far.bin", static_cast<int64_t>(3 * block + 17)},
                   {"bound.bin", static_cast<int64_t>(block + 2)}}),
            found);
  // Without case the same matches are found through the anchor byte in either case.
  EXPECT_EQ(found, Search(tree, Containing(L"NEEDLE", false, true)));
  EXPECT_EQ(found, Search(tree, Containing(L"nEEDLE", false, true)));
}

TEST(FileFind, UnicodeFilesAreSearchedInDecodedText) {
  TScratchTree tree;
  tree.Write("wide.txt", "\xff\xfe" + findtest::Utf16Le("one Needle two"));
  tree.Write("plain.txt", "caf\xc3\xa9 au lait");
  EXPECT_EQ((Found{{"wide.txt", 2 + 2 * 4}}), Search(tree, Containing(L"needle")));
  EXPECT_EQ((Found{{"plain.txt", 0}}), Search(tree, Containing(L"caf\u00e9", true)));
}

TEST(FileFind, LinkLoopsAndUnreadableFilesArePassedOver) {
  TScratchTree tree;
  tree.Write("sub/c.txt", "text");
  tree.Write("locked.txt", "text");
  ASSERT_EQ(0, symlink("..", tree.Path("sub/loop").c_str()));
  chmod(tree.Path("locked.txt").c_str(), 0);
  const int code = findtest::RunUnprivileged([&] {
    TFindRequest request = Containing(L"text");
    request.specification = L"*.txt";
    const Found found = Search(tree, request);
    const Found expected{{"sub/c.txt", 0}, {"locked.txt", FindMatch::CannotOpen}};
    return found == expected ? 0 : 1;
  });
  EXPECT_EQ(0, code);
  // The loop's way back into the tree is entered once and refused once.
  const Found names = Search(tree, Names(L"c.txt"));
  EXPECT_EQ((Found{{"sub/c.txt", kName}}), names);
}

TEST(FileFind, StopEndsARunningSearchAtOnce) {
  CFileFinder finder;
  TFindRequest request = Containing(L"no such text in any file 0x5f3759df");
  request.startDirectory = L"/usr";
  ASSERT_EQ(0, finder.Start(request));
  finder.Stop();
  EXPECT_FALSE(finder.Running());
  EXPECT_TRUE(finder.WasStopped());
  EXPECT_EQ(0, finder.ResultCount());
}

TEST(FileFind, ContentSearchOfAMissingFileCannotOpen) {
  EXPECT_EQ(FindMatch::CannotOpen, SearchFileContent(L"/nonexistent/file", L"x", true, false, 0, nullptr));
}

}  // namespace
