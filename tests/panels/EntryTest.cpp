#include "panels/Entry.h"

#include <gtest/gtest.h>

#include <memory>

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
}
