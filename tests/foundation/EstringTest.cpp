#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>

#include "foundation/Estring.h"

namespace {

std::string Str(const Estring& text) { return text.c_str(); }

// The storage is shared with Westring, whose tests walk the growth rules further.
TEST(EstringTest, StorageFollowsTheGrowthRules) {
  EXPECT_EQ(Estring("abcdefghijklmnopqrst").Capacity(), 21);
  EXPECT_EQ(Estring("abcdefghijklmnopqrstu").Capacity(), 22);
  Estring s("abcdefghijklmnopqrst");
  s += 'u';
  EXPECT_EQ(s.Capacity(), 27) << "needs 21: 21 + 21/4 + 1";
  EXPECT_EQ(Str(s), "abcdefghijklmnopqrstu");
}

TEST(EstringTest, NullNegativeAndZeroInputs) {
  const char* none = nullptr;
  Estring s("keep");
  s += none;
  s += '\0';
  EXPECT_EQ(Str(s), "keep");
  EXPECT_TRUE(Estring(-3, 'x').IsEmpty());
}

TEST(EstringTest, OperatorsIgnoreCaseAndEqualsDoesNot) {
  Estring key("Viewer");
  EXPECT_TRUE(key == "VIEWER");
  EXPECT_FALSE(key.Equals("viewer"));
  EXPECT_TRUE(key < "viewers");
  EXPECT_TRUE(Estring("a") < Estring("B")) << "'a' sorts before 'B' when case is ignored";
}

TEST(EstringTest, TheSmallestNumberHasNoPositiveCounterpart) {
  EXPECT_EQ(Str(Estring::FromInt64(INT64_MIN, 10)), "-9223372036854775808");
}

TEST(EstringTest, FormatCutsAt1023Bytes) {
  EXPECT_EQ(Str(Estring::Format("%s=%d", "x", 5)), "x=5");
  Estring formatted = Estring::Format("<%s>", std::string(2000, 'w').c_str());
  EXPECT_EQ(formatted.Length(), 1023);
  EXPECT_EQ(formatted[1022], 'w');
  EXPECT_EQ(Estring::Format("%s!", std::string(1022, 'e').c_str()).Length(), 1023)
      << "1023 bytes fit whole";
}

TEST(EstringTest, ErrorTextHasNoTrailingSpace) {
  EXPECT_EQ(Str(Estring::ErrorText(ENOENT)), "No such file or directory");
  Estring unknown = Estring::ErrorText(99999);
  ASSERT_FALSE(unknown.IsEmpty());
  EXPECT_FALSE(isspace(static_cast<unsigned char>(unknown[unknown.Length() - 1])));
}

}  // namespace
