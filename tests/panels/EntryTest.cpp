#include "panels/Entry.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>

TEST(Entry, OneAllocationHoldsHeaderAndName) {
  std::unique_ptr<entry> e(entry::Make(L"report.txt"));
  ASSERT_NE(e, nullptr);
  EXPECT_STREQ(e->Name(), L"report.txt");
  EXPECT_EQ(e->AllocatedSize(), sizeof(entry) + 11 * sizeof(wchar_t));
  EXPECT_EQ(e->size, 0);
  EXPECT_EQ(e->flags, 0);
  EXPECT_EQ(e->tagged, 0);

  // A name given by length need not be terminated.
  std::unique_ptr<entry> part(entry::Make(L"abcdef", 3));
  EXPECT_STREQ(part->Name(), L"abc");

  e->size = 1234;
  e->flags = EntryFlag::Link;
  e->tagged = 1;
  std::unique_ptr<entry> copy(e->Clone());
  EXPECT_STREQ(copy->Name(), L"report.txt");
  EXPECT_EQ(copy->size, 1234);
  EXPECT_EQ(copy->tagged, 1);
  std::unique_ptr<entry> longer(e->Renamed(L"a much longer name than before.txt"));
  EXPECT_STREQ(longer->Name(), L"a much longer name than before.txt");
  EXPECT_EQ(longer->flags, EntryFlag::Link);
}

TEST(Entry, SortClassesPutUpDirFirstThenDirectoriesHiddenAndFiles) {
  std::unique_ptr<entry> up(entry::Make(L".."));
  up->flags = EntryFlag::Directory;
  std::unique_ptr<entry> dir(entry::Make(L".config"));
  dir->flags = EntryFlag::Directory | EntryFlag::Hidden;
  std::unique_ptr<entry> hidden(entry::Make(L".profile"));
  hidden->flags = EntryFlag::Hidden;
  std::unique_ptr<entry> system(entry::Make(L"io.sys"));
  system->flags = EntryFlag::System;
  std::unique_ptr<entry> file(entry::Make(L"..more"));
  file->flags = EntryFlag::Hidden;
  std::unique_ptr<entry> plain(entry::Make(L"a"));
  EXPECT_EQ(SortClassOf(*up), SortClass::UpDir);
  EXPECT_EQ(SortClassOf(*dir), SortClass::Directory);
  EXPECT_EQ(SortClassOf(*hidden), SortClass::HiddenFile);
  EXPECT_EQ(SortClassOf(*system), SortClass::HiddenFile);
  EXPECT_EQ(SortClassOf(*file), SortClass::HiddenFile);
  EXPECT_EQ(SortClassOf(*plain), SortClass::File);
  EXPECT_LT(SortClass::UpDir, SortClass::Directory);
  EXPECT_LT(SortClass::Directory, SortClass::HiddenFile);
  EXPECT_LT(SortClass::HiddenFile, SortClass::File);
}

TEST(Entry, StoresFreeTheirRecords) {
  // Run under the address sanitizer this catches a mismatched free.
  EntryStore store;
  for (int i = 0; i < 100; ++i) store.Append(entry::Make(L"name"));
  EXPECT_EQ(store.Count(), 100);
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
}
