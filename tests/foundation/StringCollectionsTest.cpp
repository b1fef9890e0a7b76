#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/StringCollections.h"

namespace {

std::string Utf8Of(const Estring& text) { return text.c_str(); }
std::string Utf8Of(const Westring& text) { return text.ToUtf8().c_str(); }

template <class Collection>
std::vector<std::string> Texts(const Collection& collection) {
  std::vector<std::string> texts;
  for (const auto* item : collection) texts.push_back(Utf8Of(*item));
  return texts;
}

TEST(StringCollectionTest, SortsIgnoringCaseAndRefusesTheSameTextInAnotherCase) {
  StringCollection c;
  for (const char* text : {"beta", "Alpha", "gamma", "BETA", "", "alpha2"}) c.InsertCopy(text);
  EXPECT_EQ(Texts(c), (std::vector<std::string>{"", "Alpha", "alpha2", "beta", "gamma"}));
  auto* lower = new Estring("ALPHA");
  EXPECT_EQ(c.Insert(lower), -1) << "refused, so the caller still owns it";
  delete lower;
  EXPECT_EQ(Utf8Of(*c.At(1)), "Alpha") << "the first spelling stays";
}

// The wide collections share one contract; each row is one insert and its result.
template <class Collection>
void CheckWideCollection(const char* name) {
  struct Row {
    const wchar_t* text;
    int added;
  } rows[] = {{L"readme.txt", 1}, {L"README.TXT", 0}, {L"Makefile", 1}, {L"readme.txt ", 1}};
  Collection c;
  for (const Row& row : rows)
    EXPECT_EQ(c.InsertCopy(Westring(row.text)), row.added)
        << name << " input: " << Utf8Of(Westring(row.text));
  EXPECT_EQ(Texts(c), (std::vector<std::string>{"Makefile", "readme.txt", "readme.txt "})) << name;
  EXPECT_EQ(c.FindAtOrAfter(Westring(L"m")), c.At(0)) << name;
}

TEST(WideCollectionsTest, InsertCopyIgnoresCase) {
  CheckWideCollection<WestringCollection>("WestringCollection");
  CheckWideCollection<FnStringCollection>("FnStringCollection");
}

}  // namespace
