#include "panels/Entry.h"

#include <gtest/gtest.h>

#include <memory>

TEST(Entry, NamesByLengthCopiesAndRenames) {
  std::unique_ptr<entry> part(entry::Make(L"abcdef", 3));
  EXPECT_STREQ(part->Name(), L"abc") << "a name given by length need not be terminated";

  std::unique_ptr<entry> e(entry::Make(L"report.txt"));
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
  struct TCase {
    const wchar_t* name;
    uint16_t flags;
    char sortClass;
  } const cases[] = {
      {L"..", EntryFlag::Directory, SortClass::UpDir},
      {L".config", EntryFlag::Directory | EntryFlag::Hidden, SortClass::Directory},
      {L".profile", EntryFlag::Hidden, SortClass::HiddenFile},
      {L"io.sys", EntryFlag::System, SortClass::HiddenFile},
      {L"..more", EntryFlag::Hidden, SortClass::HiddenFile},
      {L"a", 0, SortClass::File},
  };
  for (const TCase& c : cases) {
    std::unique_ptr<entry> e(entry::Make(c.name));
    e->flags = c.flags;
    EXPECT_EQ(SortClassOf(*e), c.sortClass) << "input: " << testing::PrintToString(c.name);
  }
  EXPECT_LT(SortClass::UpDir, SortClass::Directory);
  EXPECT_LT(SortClass::Directory, SortClass::HiddenFile);
  EXPECT_LT(SortClass::HiddenFile, SortClass::File);
}
