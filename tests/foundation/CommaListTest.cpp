#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/CommaList.h"
#include "foundation/StringCollections.h"

namespace {

std::vector<std::string> ReadAll(const char* text) {
  std::vector<std::string> fields;
  Estring field;
  for (const char* cursor = text; ReadCommaField(&cursor, &field);) fields.push_back(field.c_str());
  return fields;
}

std::vector<std::string> Items(const StringCollection& list) {
  std::vector<std::string> items;
  for (const Estring* item : list) items.push_back(item->c_str());
  return items;
}

TEST(CommaListTest, FieldsAndTheCursor) {
  const char* text = "a,,\"b,c\",d";
  const char* cursor = text;
  Estring field("stale");
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "a");
  EXPECT_EQ(cursor, text + 2) << "moved past the comma";
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "") << "a comma at the cursor is an empty field";
  EXPECT_EQ(cursor, text + 3);
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "b,c");
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "d");
  EXPECT_EQ(*cursor, 0) << "left on the terminator";
  EXPECT_FALSE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "");

  const char* none = nullptr;
  EXPECT_FALSE(ReadCommaField(&none, &field));
  EXPECT_EQ(ReadAll("a,b,"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ReadAll(",a"), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(ReadAll(","), (std::vector<std::string>{""}));
  EXPECT_EQ(ReadAll(""), (std::vector<std::string>{}));
}

TEST(CommaListTest, QuotesEscapesAndNewlines) {
  struct Row {
    const char* text;
    std::vector<std::string> fields;
  } rows[] = {
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"\"\"\"", {"\""}},
      {"\"\"", {""}},
      {"a\"b\"c", {"abc"}},
      {"\"a,b\"x,y", {"a,bx", "y"}},
      {"\"a\"x\"b\"", {"axb"}},
      {"\"a\"\",b\",c", {"a\",b", "c"}},
      {"\"open,to end", {"open,to end"}},
      {"\\065", {"A"}},
      {"\\65x", {"Ax"}},
      {"\\0651", {"A1"}},
      {"\\233", {"\xE9"}},
      {"a\\000b", {"ab"}},
      {"\\,x,y", {",x", "y"}},
      {"\\\"a,b", {"\"a", "b"}},
      {"\\\\,x", {"\\", "x"}},
      {"a\\", {"a"}},
      {"a\\q", {"aq"}},
      {"a\nb,c\n", {"ab", "c"}},
      {"\"x\ny\"", {"xy"}},
  };
  for (const Row& row : rows) EXPECT_EQ(ReadAll(row.text), row.fields) << row.text;
}

TEST(CommaListTest, SplitSkipsDuplicates) {
  StringCollection list;
  EXPECT_EQ(SplitCommaList("c:,d:,C:,e:", &list), 3);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c:", "d:", "e:"}));
  EXPECT_EQ(SplitCommaList("e:,f:", &list), 1) << "counts only what it inserted";
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(SplitCommaList("", &list), 0);
  EXPECT_EQ(SplitCommaList(nullptr, &list), 0);

  StringCollection withEmpty;
  EXPECT_EQ(SplitCommaList(",a,,\"b,c\"", &withEmpty), 3)
      << "the second empty field is a duplicate";
  EXPECT_EQ(Items(withEmpty), (std::vector<std::string>{"", "a", "b,c"}));
}

TEST(CommaListTest, JoinWritesItemsUnquoted) {
  StringCollection list;
  EXPECT_STREQ(JoinCommaList(list).c_str(), "");
  list.InsertCopy("beta");
  EXPECT_STREQ(JoinCommaList(list).c_str(), "beta");
  list.InsertCopy("alpha");
  list.InsertCopy("x,y");
  list.InsertCopy("");
  EXPECT_STREQ(JoinCommaList(list).c_str(), ",alpha,beta,x,y");

  StringCollection many;
  std::string expected;
  for (int i = 10; i < 40; ++i) {
    std::string item = "item" + std::to_string(i);
    many.InsertCopy(item.c_str());
    expected += (expected.empty() ? "" : ",") + item;
  }
  Estring joined = JoinCommaList(many);
  EXPECT_STREQ(joined.c_str(), expected.c_str());
  StringCollection back;
  EXPECT_EQ(SplitCommaList(joined.c_str(), &back), 30);
  EXPECT_EQ(Items(back), Items(many));
}

}  // namespace
