#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/CodePage.h"
#include "foundation/Estring.h"
#include "foundation/Utf8.h"
#include "foundation/Westring.h"

namespace {

std::vector<uint32_t> CodePoints(const Westring& text) {
  std::vector<uint32_t> points;
  for (int i = 0; i < text.Length(); ++i) points.push_back(static_cast<uint32_t>(text[i]));
  return points;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char byte : bytes) {
    snprintf(buffer, sizeof buffer, "%02X ", byte);
    out += buffer;
  }
  return out;
}

TEST(Utf8Test, DecodingTakesInvalidLeadBytesAsLatin1) {
  struct Row {
    std::string bytes;
    std::vector<uint32_t> points;
    bool valid;
  } rows[] = {
      {"\xE9x", {0xE9, 'x'}, false},
      {"\xC0\x80", {0xFFFFFFFF}, false},  // an overlong NUL
      {"\xF0\x9F\x98\x80", {0x1F600}, true},
      {"\xE2\x82\x41", {0xE2, 0x82, 'A'}, false},
      {"\xF8\x88\x80\x80\x80", {0xF8, 0x88, 0x80, 0x80, 0x80}, false},
      {"\xC3\xA9\xE9", {0xE9, 0xE9}, false},
  };
  for (const Row& row : rows) {
    Westring decoded(L"old content");
    bool valid = DecodeUtf8(row.bytes.data(), static_cast<int>(row.bytes.size()), &decoded);
    EXPECT_EQ(CodePoints(decoded), row.points) << "input: " << Hex(row.bytes);
    EXPECT_EQ(valid, row.valid) << "input: " << Hex(row.bytes);
  }
  Westring counted;
  EXPECT_FALSE(counted.AssignUtf8("abc\xC3\xA9", 4)) << "a lead byte cut off by the count";
  EXPECT_EQ(CodePoints(counted), (std::vector<uint32_t>{'a', 'b', 'c', 0xC3}));
}

TEST(Utf8Test, EncodingUsesOneToFourBytesAndRoundTrips) {
  struct Row {
    uint32_t point;
    std::string bytes;
  } rows[] = {
      {0x7F, "\x7F"},          {0x80, "\xC2\x80"},         {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"}, {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const Row& row : rows) {
    char out[4];
    int used = EncodeUtf8Char(row.point, out);
    EXPECT_EQ(std::string(out, static_cast<size_t>(used)), row.bytes)
        << "input: " << std::hex << row.point;
    wchar_t text[] = {static_cast<wchar_t>(row.point), L'z', 0};
    Estring encoded;
    EncodeUtf8(text, &encoded);
    EXPECT_EQ(std::string(encoded.c_str()), row.bytes + "z") << "input: " << std::hex << row.point;
    bool valid = false;
    EXPECT_EQ(Westring::FromUtf8(encoded.c_str(), &valid), Westring(text));
    EXPECT_TRUE(valid) << "input: " << std::hex << row.point;
  }
  EXPECT_EQ(Westring(100, static_cast<wchar_t>(0x1F600)).ToUtf8().Length(), 400)
      << "four bytes each past the inline buffer";
}

TEST(CodePageTest, ConversionsBothWays) {
  struct Row {
    int codePage;
    const char* iconvName;
    std::string bytes;
    const wchar_t* text;
  } rows[] = {
      {866, "CP866", "\x8F\xE0\xA8\xA2\xA5\xE2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
      {20866, "KOI8-R", "\xC1\xE1", L"\u0430\u0410"},
      {850, "CP850", "\x82\x9B\xB0", L"\u00E9\u00F8\u2591"},
      {1252, "CP1252", "\x80\xE9", L"\u20AC\u00E9"},
  };
  for (const Row& row : rows) {
    EXPECT_STREQ(CodePageIconvName(row.codePage).c_str(), row.iconvName)
        << "input: " << row.codePage;
    bool allMapped = false;
    EXPECT_EQ(Westring::FromCodePage(row.bytes.c_str(), row.codePage, &allMapped), row.text)
        << "input: " << row.codePage;
    EXPECT_TRUE(allMapped) << "input: " << row.codePage;
    EXPECT_EQ(std::string(Westring(row.text).ToCodePage(row.codePage).c_str()), row.bytes)
        << "input: " << row.codePage;
  }
  // The euro sign is not in CP850: what precedes it converts.
  EXPECT_EQ(std::string(Westring(L"ab\u20ACc").ToCodePage(850).c_str()).substr(0, 2), "ab");
}

TEST(CodePageTest, UnmappableBytesAndUnknownCodePages) {
  // glibc's CP850 maps all 256 bytes, so the holes of CP1252 stand in for an
  // unmappable byte: each becomes the house sign.
  bool allMapped = true;
  Westring wide = Westring::FromCodePage("a\x81" "b\x8D\x8D" "c", 1252, &allMapped);
  EXPECT_EQ(CodePoints(wide), (std::vector<uint32_t>{'a', 0x2302, 'b', 0x2302, 0x2302, 'c'}));
  EXPECT_FALSE(allMapped);
  Westring counted;
  EXPECT_TRUE(CodePageToWide("ab\x81", 2, 1252, &counted)) << "the count stops before the hole";
  EXPECT_EQ(counted, L"ab");

  EXPECT_FALSE(IsCodePageAvailable(99999));
  allMapped = true;
  EXPECT_TRUE(Westring::FromCodePage("abc", 99999, &allMapped).IsEmpty());
  EXPECT_FALSE(allMapped);
  EXPECT_TRUE(Westring(L"abc").ToCodePage(99999).IsEmpty());
}

}  // namespace
