#include <gtest/gtest.h>

#include "viewer/FileStatusStore.h"

TEST(FileStatusStoreTest, OneRecordPerPathCreatedOnceAndUpdated) {
  FileStatusStore store;
  TFileStatus* first = store.FindOrCreate(L"/home/u/b.txt");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->encoding, EncodingDetect);
  EXPECT_EQ(first->bookmarks[9].position, -1);
  EXPECT_EQ(store.FindOrCreate(L"/home/u/b.txt"), first);
  EXPECT_EQ(store.Find(L"/home/u/B.txt"), nullptr);  // paths are exact

  TFileStatus status;
  status.name = L"/home/u/a.txt";
  status.byteOffset = -1;
  status.topLine = 40;
  status.bookmarks[3] = {1234, 56};
  status.encoding = EncodingCodePage;
  status.codePage = 1251;
  TFileStatus* stored = store.Store(status);
  status.topLine = 41;
  EXPECT_EQ(store.Store(status), stored);
  EXPECT_EQ(store.Count(), 2);
  const TFileStatus* found = store.Find(L"/home/u/a.txt");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->topLine, 41);
  EXPECT_EQ(found->byteOffset, -1);
  EXPECT_EQ(found->bookmarks[3].line, 56);
  EXPECT_EQ(found->codePage, 1251);
  EXPECT_EQ(store.Find(L"/home/u/b.txt"), first);

  EXPECT_TRUE(store.Remove(L"/home/u/a.txt"));
  EXPECT_FALSE(store.Remove(L"/home/u/a.txt"));
  EXPECT_EQ(store.Count(), 1);
  EXPECT_EQ(&FileStatuses(), &FileStatuses());
}
