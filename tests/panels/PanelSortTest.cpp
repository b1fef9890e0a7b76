#include "panels/PanelSort.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Entries built from "name:class:size:seconds.nanoseconds" descriptions.
struct TSample {
  const wchar_t* name;
  char sortClass;
  int64_t size;
  uint32_t seconds;
  uint32_t nanoseconds;
};

class Sorted {
 public:
  explicit Sorted(std::initializer_list<TSample> samples) {
    for (const TSample& s : samples) {
      entry* e = entry::Make(s.name);
      e->sortClass = s.sortClass;
      e->size = s.size;
      e->timeSec = s.seconds;
      e->timeNs = s.nanoseconds;
      if (s.sortClass == SortClass::Directory || s.sortClass == SortClass::UpDir) e->flags = EntryFlag::Directory;
      m_owned.emplace_back(e);
      m_items.push_back(e);
    }
  }
  std::wstring In(SortOrder order) {
    std::vector<entry*> items = m_items;
    SortEntries(items.data(), static_cast<int>(items.size()), order);
    std::wstring names;
    for (const entry* e : items) names += std::wstring(names.empty() ? L"" : L" ") + e->Name();
    return names;
  }

 private:
  std::vector<std::unique_ptr<entry>> m_owned;
  std::vector<entry*> m_items;
};

}  // namespace

TEST(PanelSort, EveryOrderKeepsTheSortClassesFirst) {
  Sorted entries({{L"b.txt", 'C', 300, 1000, 0},
                  {L"..", '1', 0, 0, 0},
                  {L"src", 'A', 0, 500, 0},
                  {L"a.c", 'C', 100, 3000, 0},
                  {L".rc", 'B', 50, 2000, 0},
                  {L"lib", 'A', 0, 600, 0},
                  {L"c.txt", 'C', 200, 2000, 0}});
  EXPECT_EQ(entries.In(SortOrder::Name), L".. lib src .rc a.c b.txt c.txt");
  EXPECT_EQ(entries.In(SortOrder::RName), L".. src lib .rc c.txt b.txt a.c");
  EXPECT_EQ(entries.In(SortOrder::Extension), L".. lib src .rc a.c b.txt c.txt");
  EXPECT_EQ(entries.In(SortOrder::RExtension), L".. src lib .rc c.txt b.txt a.c");
  EXPECT_EQ(entries.In(SortOrder::Time), L".. lib src .rc a.c c.txt b.txt");
  EXPECT_EQ(entries.In(SortOrder::RTime), L".. src lib .rc b.txt c.txt a.c");
  EXPECT_EQ(entries.In(SortOrder::Size), L".. lib src .rc b.txt c.txt a.c");
  EXPECT_EQ(entries.In(SortOrder::RSize), L".. src lib .rc a.c c.txt b.txt");
  // Unsorted keeps the order of reading, also reversed.
  EXPECT_EQ(entries.In(SortOrder::Unsorted), L"b.txt .. src a.c .rc lib c.txt");
  EXPECT_EQ(entries.In(static_cast<SortOrder>(9)), L"b.txt .. src a.c .rc lib c.txt");
}

TEST(PanelSort, NamesFoldCaseAndPutUnderscoresFirst) {
  Sorted names({{L"a", 'C', 0, 0, 0}, {L"_a", 'C', 0, 0, 0}, {L"B", 'C', 0, 0, 0}, {L"Ab", 'C', 0, 0, 0}});
  EXPECT_EQ(names.In(SortOrder::Name), L"_a a Ab B");
  // Extensions compare as names; no extension sorts first; ties by name.
  Sorted extensions({{L"z.TXT", 'C', 0, 0, 0}, {L"noext", 'C', 0, 0, 0}, {L"a.txt", 'C', 0, 0, 0},
                     {L"m.c", 'C', 0, 0, 0}, {L"x._z", 'C', 0, 0, 0}});
  EXPECT_EQ(extensions.In(SortOrder::Extension), L"noext x._z m.c a.txt z.TXT");
}

TEST(PanelSort, TimeTiesGoByNanosecondsThenName) {
  Sorted times({{L"older", 'C', 0, 100, 5}, {L"newer", 'C', 0, 100, 900}, {L"b-same", 'C', 0, 100, 900},
                {L"newest", 'C', 0, 101, 0}});
  EXPECT_EQ(times.In(SortOrder::Time), L"newest b-same newer older");
  Sorted sizes({{L"b", 'C', 10, 0, 0}, {L"a", 'C', 10, 0, 0}, {L"big", 'C', 1LL << 40, 0, 0}});
  EXPECT_EQ(sizes.In(SortOrder::Size), L"big a b");
}

TEST(PanelSort, FoldedKeysOrderAsTheComparisonDoes) {
  // The sets make keys of one, two and four bytes a character.
  const std::vector<std::vector<const wchar_t*>> sets = {
      {L"_a", L"a", L"A_", L"a_b", L"ab", L"AB.c", L"a.", L"a.b.c", L"file-1", L"FILE-10",
       L"file-2", L"a_", L"\u00e4", L"\u00c4x", L"file-1.c", L"file-10.C", L"x", L"X"},
      {L"\u00ff", L"\u0178a", L"z", L"_", L"\u0100", L"\u0101b", L"z.\u00ff", L"z.\u0178"},
      {L"\U0001F600", L"\uF601", L"\U00010041", L"B", L"\u00e9", L"E", L"e_", L"\U0001F600a",
       L"e.\U0001F600", L"e._"}};
  for (const auto& names : sets) {
    std::vector<std::unique_ptr<entry>> owned;
    for (size_t i = 0; i < names.size(); ++i) {
      entry* e = entry::Make(names[i]);
      e->sortClass = i % 4 == 3 ? SortClass::Directory : SortClass::File;
      e->size = static_cast<int64_t>(i % 3);
      e->timeSec = static_cast<uint32_t>(i % 2);
      owned.emplace_back(e);
    }
    for (int order = 0; order <= 8; ++order) {
      if (order == static_cast<int>(SortOrder::Unsorted)) continue;
      std::vector<entry*> items;
      for (const auto& e : owned) items.push_back(e.get());
      SortEntries(items.data(), static_cast<int>(items.size()), static_cast<SortOrder>(order));
      for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_LE(CompareEntries(*items[i - 1], *items[i], static_cast<SortOrder>(order)), 0)
            << "order " << order << ": " << Westring(items[i - 1]->Name()).ToUtf8().c_str()
            << " before " << Westring(items[i]->Name()).ToUtf8().c_str();
      }
    }
  }
}
