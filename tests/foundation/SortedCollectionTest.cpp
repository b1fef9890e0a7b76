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

TEST_F(SortedCollectionTest, KeepsKeyOrder) {
  TKeyedCollection c;
  InsertKeys(c, {5, 1, 9, 3, 7});
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 3, 5, 7, 9}));
}

TEST_F(SortedCollectionTest, SearchReportsTheInsertionIndex) {
  struct Row {
    int key, result, index;
  } rows[] = {{1, -1, 0}, {2, 0, 0}, {3, -1, 1}, {4, 0, 1}, {5, -1, 2}, {6, 0, 2}, {7, -1, 3}};
  TKeyedCollection c;
  InsertKeys(c, {2, 4, 6});
  for (const Row& row : rows) {
    int index = -99;
    EXPECT_EQ(c.Search(row.key, &index), row.result) << "key " << row.key;
    EXPECT_EQ(index, row.index) << "key " << row.key;
  }
  TKeyedCollection empty;
  int index = -99;
  EXPECT_EQ(empty.Search(1, &index), -1);
  EXPECT_EQ(index, 0);
}

TEST_F(SortedCollectionTest, FindAtOrBeforeAndAfter) {
  // 0 stands for "no item".
  struct Row {
    int key, exact, before, after;
  } rows[] = {{1, 0, 0, 2}, {2, 2, 2, 2}, {3, 0, 2, 4}, {4, 4, 4, 4},
              {5, 0, 4, 6}, {6, 6, 6, 6}, {7, 0, 6, 0}};
  TKeyedCollection c;
  InsertKeys(c, {2, 4, 6});
  auto key = [](TKeyed* item) { return item ? item->key : 0; };
  for (const Row& row : rows) {
    c.First();
    EXPECT_EQ(key(c.Find(row.key)), row.exact) << "Find " << row.key;
    EXPECT_EQ(key(c.Current()), row.exact ? row.exact : 2) << "Find " << row.key << " current";
    c.First();
    EXPECT_EQ(key(c.FindAtOrBefore(row.key)), row.before) << "FindAtOrBefore " << row.key;
    EXPECT_EQ(key(c.Current()), row.before ? row.before : 2) << "before " << row.key << " current";
    c.First();
    EXPECT_EQ(key(c.FindAtOrAfter(row.key)), row.after) << "FindAtOrAfter " << row.key;
    EXPECT_EQ(key(c.Current()), row.after ? row.after : 2) << "after " << row.key << " current";
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

TEST_F(SortedCollectionTest, DuplicateGoesBeforeTheEqualItemFound) {
  TKeyedCollection c;
  c.SetDuplicates(true);
  InsertKeys(c, {2, 4, 6});
  ASSERT_EQ(c.Insert(new TKeyed(4, 1)), 0);
  EXPECT_EQ(Keys(c), (std::vector<int>{2, 4, 4, 6}));
  EXPECT_EQ(c.At(1)->tag, 1);
  EXPECT_EQ(c.At(2)->tag, 0);
}

TEST_F(SortedCollectionTest, InsertionOrderModeAppends) {
  TKeyedCollection c;
  c.SetInsertionOrder(true);
  InsertKeys(c, {3, 1, 2, 1});
  EXPECT_EQ(Keys(c), (std::vector<int>{3, 1, 2, 1})) << "no sorting and no duplicate check";
}

TEST_F(SortedCollectionTest, InsertLeavesTheCurrentIndex) {
  TKeyedCollection c;
  InsertKeys(c, {2, 4});
  c.First();
  InsertKeys(c, {1});
  EXPECT_EQ(c.CurrentIndex(), 0);
  EXPECT_EQ(c.Current()->key, 1) << "index kept, so the new first item is current";
}

TEST_F(SortedCollectionTest, GrowsByThirteenTenthsFromHundred) {
  struct Row {
    int count, capacity;
  } rows[] = {{100, 100}, {101, 130}, {130, 130}, {131, 169}, {170, 219}};
  TKeyedCollection c;
  EXPECT_EQ(c.Capacity(), 100);
  for (const Row& row : rows) {
    while (c.Count() < row.count) ASSERT_EQ(c.Insert(new TKeyed(c.Count())), 0);
    EXPECT_EQ(c.Capacity(), row.capacity) << "after item " << row.count;
  }
}

TEST_F(SortedCollectionTest, IterationDeleteAndDetach) {
  TKeyedCollection c;
  InsertKeys(c, {1, 2, 3});
  EXPECT_EQ(c.First()->key, 1);
  EXPECT_EQ(c.Next()->key, 2);
  c.DeleteCurrent();
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 3}));
  EXPECT_EQ(c.Current()->key, 3);
  EXPECT_EQ(c.Next(), nullptr);
  EXPECT_EQ(c.CurrentIndex(), 2);
  EXPECT_EQ(c.DetachCurrent(), nullptr);
  c.First();
  TKeyed* detached = c.DetachCurrent();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(TKeyed::s_live, 1);
  delete detached;
}

}  // namespace
