#include <gtest/gtest.h>

#include <vector>

#include "foundation/SortedCollection.h"

namespace {

// Counts live items so that leaks, double frees and refused inserts show.
struct TKeyed {
  static int s_live;
  int key;
  int tag;
  TKeyed(int k, int t = 0) : key(k), tag(t) { ++s_live; }
  ~TKeyed() { --s_live; }
};
int TKeyed::s_live = 0;

class TKeyedCollection : public TSortedCollection<TKeyed, int> {
 protected:
  const int* KeyOf(const TKeyed* item) const override { return &item->key; }
  int CompareKeys(const int* a, const int* b) const override { return *a < *b ? -1 : *a > *b; }
};

class SortedCollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { TKeyed::s_live = 0; }
  void TearDown() override { EXPECT_EQ(TKeyed::s_live, 0) << "items leaked or freed twice"; }

  static void InsertKeys(TKeyedCollection& c, std::vector<int> keys) {
    for (int key : keys) ASSERT_EQ(c.Insert(new TKeyed(key)), 0) << "key " << key;
  }
  static std::vector<int> Keys(const TKeyedCollection& c) {
    std::vector<int> keys;
    for (TKeyed* item : c) keys.push_back(item->key);
    return keys;
  }
};

TEST_F(SortedCollectionTest, SearchAndFindsReportTheInsertionPlace) {
  TKeyedCollection c;
  InsertKeys(c, {6, 2, 4});
  // 0 stands for "no item"; a find that fails leaves the current item alone.
  struct Row {
    int key, result, index, exact, before, after;
  } rows[] = {{1, -1, 0, 0, 0, 2}, {3, -1, 1, 0, 2, 4}, {6, 0, 2, 6, 6, 6}, {7, -1, 3, 0, 6, 0}};
  auto key = [](TKeyed* item) { return item ? item->key : 0; };
  for (const Row& row : rows) {
    int index = -99;
    EXPECT_EQ(c.Search(row.key, &index), row.result) << "input: " << row.key;
    EXPECT_EQ(index, row.index) << "input: " << row.key;
    c.First();
    EXPECT_EQ(key(c.Find(row.key)), row.exact) << "input: Find " << row.key;
    EXPECT_EQ(key(c.Current()), row.exact ? row.exact : 2) << "input: Find " << row.key;
    c.First();
    EXPECT_EQ(key(c.FindAtOrBefore(row.key)), row.before) << "input: AtOrBefore " << row.key;
    EXPECT_EQ(key(c.Current()), row.before ? row.before : 2) << "input: AtOrBefore " << row.key;
    c.First();
    EXPECT_EQ(key(c.FindAtOrAfter(row.key)), row.after) << "input: AtOrAfter " << row.key;
    EXPECT_EQ(key(c.Current()), row.after ? row.after : 2) << "input: AtOrAfter " << row.key;
  }
}

TEST_F(SortedCollectionTest, RefusedDuplicateStaysWithTheCaller) {
  TKeyedCollection c;
  InsertKeys(c, {2, 4});
  auto* duplicate = new TKeyed(4);
  EXPECT_EQ(c.Insert(duplicate), -1);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(TKeyed::s_live, 3) << "the refused item was freed";
  delete duplicate;
}

TEST_F(SortedCollectionTest, DuplicateAndInsertionOrderModes) {
  TKeyedCollection dup;
  dup.SetDuplicates(true);
  InsertKeys(dup, {2, 4, 6});
  ASSERT_EQ(dup.Insert(new TKeyed(4, 1)), 0);
  EXPECT_EQ(Keys(dup), (std::vector<int>{2, 4, 4, 6}));
  EXPECT_EQ(dup.At(1)->tag, 1) << "the duplicate goes before the equal item found";
  TKeyedCollection ordered;
  ordered.SetInsertionOrder(true);
  InsertKeys(ordered, {3, 1, 2, 1});
  EXPECT_EQ(Keys(ordered), (std::vector<int>{3, 1, 2, 1})) << "no sorting and no duplicate check";
}

TEST_F(SortedCollectionTest, InsertKeepsTheIndexAndDeleteAndDetachOwnership) {
  TKeyedCollection c;
  InsertKeys(c, {2, 3, 4});
  c.First();
  InsertKeys(c, {1});
  EXPECT_EQ(c.Current()->key, 1) << "index kept, so the new first item is current";
  c.Next();
  c.DeleteCurrent();
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(c.Current()->key, 3);
  c.First();
  TKeyed* detached = c.DetachCurrent();
  c.Clear();
  EXPECT_EQ(TKeyed::s_live, 1);
  delete detached;
}

}  // namespace
