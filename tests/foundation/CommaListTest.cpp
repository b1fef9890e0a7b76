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

TEST(CommaListTest, CursorStopsOnTheTerminator) {
  const char* text = "a,b";
  const char* cursor = text;
  Estring field("stale");
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_EQ(cursor, text + 2) << "moved past the comma";
  ASSERT_TRUE(ReadCommaField(&cursor, &field));
  EXPECT_FALSE(ReadCommaField(&cursor, &field));
  EXPECT_STREQ(field.c_str(), "");
  const char* none = nullptr;
  EXPECT_FALSE(ReadCommaField(&none, &field));
}

TEST(CommaListTest, FieldsQuotesEscapesAndNewlines) {
  struct Row {
    const char* text;
    std::vector<std::string> fields;
  } rows[] = {
      {"a,b,", {"a", "b"}},       {",", {""}},                 {"", {}},
      {"a\"b\"c", {"abc"}},       {"\"a,b\"x,y", {"a,bx", "y"}}, {"\"a\"\",b\",c", {"a\",b", "c"}},
      {"\"open,to end", {"open,to end"}},                       {"\\65x", {"Ax"}},
      {"\\0651", {"A1"}},         {"\\233", {"\xE9"}},           {"a\\000b", {"ab"}},
      {"\\,x,y", {",x", "y"}},    {"a\\", {"a"}},               {"a\nb,c\n", {"ab", "c"}},
  };
  for (const Row& row : rows) EXPECT_EQ(ReadAll(row.text), row.fields) << "input: " << row.text;
}

TEST(CommaListTest, SplitSkipsDuplicatesAndJoinWritesUnquoted) {
  StringCollection list;
  EXPECT_EQ(SplitCommaList("c:,d:,C:,e:", &list), 3);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c:", "d:", "e:"}));
  EXPECT_EQ(SplitCommaList("e:,f:", &list), 1) << "counts only what it inserted";
  StringCollection withEmpty;
  EXPECT_EQ(SplitCommaList(",a,,\"b,c\"", &withEmpty), 3) << "the second empty field is a duplicate";
  EXPECT_EQ(Items(withEmpty), (std::vector<std::string>{"", "a", "b,c"}));
  EXPECT_STREQ(JoinCommaList(withEmpty).c_str(), ",a,b,c") << "items are written unquoted";
}

}  // namespace
