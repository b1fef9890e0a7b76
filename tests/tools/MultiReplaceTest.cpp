#include "tools/MultiReplace.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <string>

#include "FindTestUtil.h"

namespace {

using findtest::TScratchTree;

TReplaceRequest Request(const wchar_t* search, const wchar_t* replacement, bool caseSensitive = true,
                        bool wholeWord = false) {
  TReplaceRequest request;
  request.search = search;
  request.replacement = replacement;
  request.caseSensitive = caseSensitive;
  request.wholeWord = wholeWord;
  return request;
}

int Replace(const TScratchTree& tree, const std::string& name, const TReplaceRequest& request, int* count) {
  return ReplaceInFile(Westring::FromUtf8(tree.Path(name).c_str()), request, count);
}

TEST(MultiReplace, ChangesExactlyTheOccurrences) {
  TScratchTree tree;
  tree.Write("a.txt", "one two one\r\nthree one\n\xff\xfe tail");
  int count = 0;
  ASSERT_EQ(0, Replace(tree, "a.txt", Request(L"one", L"1"), &count));
  EXPECT_EQ(3, count);
  EXPECT_EQ("1 two 1\r\nthree 1\n\xff\xfe tail", tree.Read("a.txt"));
  EXPECT_FALSE(tree.Exists(std::string("a.txt") + kReplaceTempSuffix));

  tree.Write("b.txt", "Cat cat catalog CAT");
  ASSERT_EQ(0, Replace(tree, "b.txt", Request(L"cat", L"dog", false, true), &count));
  EXPECT_EQ(3, count);
  EXPECT_EQ("dog dog catalog dog", tree.Read("b.txt"));
}

TEST(MultiReplace, KeepsByteOrderMarkEncodingAndLineEnds) {
  TScratchTree tree;
  const std::string mark = "\xff\xfe";
  tree.Write("wide.txt", mark + findtest::Utf16Le("alpha beta\r\nbeta\r\n"));
  int count = 0;
  ASSERT_EQ(0, Replace(tree, "wide.txt", Request(L"beta", L"g\u00e4mma"), &count));
  EXPECT_EQ(2, count);
  EXPECT_EQ(mark + findtest::Utf16Le("alpha g\xe4mma\r\ng\xe4mma\r\n"), tree.Read("wide.txt"));

  tree.Write("marked8.txt", "\xef\xbb\xbfsome \xc3\xbc text\n");
  ASSERT_EQ(0, Replace(tree, "marked8.txt", Request(L"\u00fc", L"ue"), &count));
  EXPECT_EQ(1, count);
  EXPECT_EQ("\xef\xbb\xbfsome ue text\n", tree.Read("marked8.txt"));
}

TEST(MultiReplace, ThroughALinkTheTargetChangesAndTheLinkStays) {
  TScratchTree tree;
  tree.Write("target.txt", "old text");
  ASSERT_EQ(0, symlink("target.txt", tree.Path("link.txt").c_str()));
  int count = 0;
  ASSERT_EQ(0, Replace(tree, "link.txt", Request(L"old", L"new"), &count));
  EXPECT_EQ("new text", tree.Read("target.txt"));
  struct stat link;
  ASSERT_EQ(0, lstat(tree.Path("link.txt").c_str(), &link));
  EXPECT_TRUE(S_ISLNK(link.st_mode));
}

TEST(MultiReplace, FileWithoutOccurrenceIsNotTouched) {
  TScratchTree tree;
  tree.Write("c.txt", "nothing to see");
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, tree.Path("c.txt").c_str(), old, 0));
  struct stat before;
  ASSERT_EQ(0, stat(tree.Path("c.txt").c_str(), &before));
  int count = -1;
  ASSERT_EQ(0, Replace(tree, "c.txt", Request(L"absent", L"x"), &count));
  EXPECT_EQ(0, count);
  struct stat after;
  ASSERT_EQ(0, stat(tree.Path("c.txt").c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(1000000000, after.st_mtim.tv_sec);
  EXPECT_EQ("nothing to see", tree.Read("c.txt"));
  EXPECT_FALSE(tree.Exists(std::string("c.txt") + kReplaceTempSuffix));
}

TEST(MultiReplace, WriteFailureKeepsTheOriginal) {
  TScratchTree tree;
  const std::string original = std::string(6000, 'a') + " word " + std::string(100, 'b');
  tree.Write("big.txt", original);
  // A file-size limit below the result's size makes the reservation fail.
  rlimit before;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &before));
  const rlimit limit{4096, before.rlim_max};
  const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
  int count = 0;
  const int code = Replace(tree, "big.txt", Request(L"word", L"longer word"), &count);
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(EFBIG, code);
  EXPECT_EQ(original, tree.Read("big.txt"));
  EXPECT_FALSE(tree.Exists(std::string("big.txt") + kReplaceTempSuffix));

  // A directory the user cannot write to takes no temporary file.
  tree.Write("ro/d.txt", "word");
  chmod(tree.Path("ro").c_str(), 0555);
  const int denied = findtest::RunUnprivileged([&] {
    int count = 0;
    return Replace(tree, "ro/d.txt", Request(L"word", L"x"), &count);
  });
  EXPECT_EQ(EACCES, denied);
  EXPECT_EQ("word", tree.Read("ro/d.txt"));
}

}  // namespace
