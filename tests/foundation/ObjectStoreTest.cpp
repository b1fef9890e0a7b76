#include <gtest/gtest.h>

#include <vector>

#include "foundation/ObjectStore.h"

namespace {

// Counts live items so that leaks, double frees and items wrongly freed show.
struct TCounted {
  static int s_live;
  int id;
  explicit TCounted(int i) : id(i) { ++s_live; }
  virtual ~TCounted() { --s_live; }
};
int TCounted::s_live = 0;

class ObjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { TCounted::s_live = 0; }
  void TearDown() override { EXPECT_EQ(TCounted::s_live, 0) << "items leaked or freed twice"; }

  static void Fill(TObjectStore<TCounted>& store, int n) {
    for (int i = 0; i < n; ++i) store.Append(new TCounted(i));
  }
  static std::vector<int> Ids(const TObjectStore<TCounted>& store) {
    std::vector<int> ids;
    for (TCounted* item : store) ids.push_back(item->id);
    return ids;
  }
};

TEST_F(ObjectStoreTest, GrowsByThirteenTenthsFromTenKeepingOrder) {
  struct Row {
    int count, capacity;
  } rows[] = {{10, 10}, {11, 13}, {21, 26}, {27, 33}};
  TObjectStore<TCounted> store;
  for (const Row& row : rows) {
    while (store.Count() < row.count) store.Append(new TCounted(store.Count()));
    EXPECT_EQ(store.Capacity(), row.capacity) << "input: " << row.count << " items";
  }
  std::vector<int> ids = Ids(store);
  for (int i = 0; i < store.Count(); ++i) ASSERT_EQ(ids[i], i) << "order lost when growing";
  EXPECT_EQ(store.CurrentIndex(), 26) << "append makes the new item current";
  store.Clear();
  EXPECT_EQ(store.Capacity(), 33) << "clear keeps the array";
}

TEST_F(ObjectStoreTest, WalkingStopsAtBothEndsAndBadIndexesGiveNull) {
  TObjectStore<TCounted> store;
  EXPECT_EQ(store.First(), nullptr);
  Fill(store, 3);
  store.GoTo(2);
  EXPECT_EQ(store.Next(), nullptr);
  EXPECT_EQ(store.CurrentIndex(), 3) << "next after the last leaves the index at count";
  EXPECT_EQ(store.Previous()->id, 2) << "previous after running off the end gives the last";
  EXPECT_EQ(store.GoTo(0)->id, 0);
  EXPECT_EQ(store.Previous(), nullptr) << "previous from index 0";
  store.GoTo(1);
  EXPECT_EQ(store.At(3), nullptr);
  EXPECT_EQ(store.CurrentIndex(), 1) << "At moved the current index";
  EXPECT_EQ(store.GoTo(5), nullptr);
  store.DeleteCurrent();
  EXPECT_EQ(store.Count(), 3) << "delete without a current item removed something";
}

TEST_F(ObjectStoreTest, InsertAtCurrentClampsTheIndex) {
  struct Row {
    int current;
    std::vector<int> expected;
  } rows[] = {{1, {0, 9, 1, 2}}, {7, {0, 1, 2, 9}}, {-1, {9, 0, 1, 2}}};
  for (const Row& row : rows) {
    TObjectStore<TCounted> store;
    Fill(store, 3);
    store.GoTo(row.current);
    EXPECT_EQ(store.InsertAtCurrent(new TCounted(9)), 4) << "input: current " << row.current;
    EXPECT_EQ(Ids(store), row.expected) << "input: current " << row.current;
    EXPECT_EQ(store.Current()->id, 9) << "input: current " << row.current;
  }
}

TEST_F(ObjectStoreTest, DeleteFreesOneAndADetachedItemSurvivesTheStore) {
  TCounted* detached = nullptr;
  {
    TObjectStore<TCounted> store;
    Fill(store, 4);
    store.GoTo(0);
    store.DeleteCurrent();
    EXPECT_EQ(TCounted::s_live, 3);
    EXPECT_EQ(store.Current()->id, 1) << "the next item moves into the current place";
    store.GoTo(1);
    detached = store.DetachCurrent();
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(Ids(store), (std::vector<int>{1, 3}));
    store.Clear();
    EXPECT_EQ(TCounted::s_live, 1) << "clear freed the detached item or kept others";
    Fill(store, 2);
  }
  EXPECT_EQ(TCounted::s_live, 1) << "destruction freed the detached item or leaked";
  delete detached;
}

}  // namespace
