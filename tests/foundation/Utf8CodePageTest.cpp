#include <gtest/gtest.h>

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
      {"abc", {'a', 'b', 'c'}, true},
      {"\xC3\xA9", {0xE9}, true},
      {"\xE9x", {0xE9, 'x'}, false},
      {"\xC0\x80", {0xFFFFFFFF}, false},
      {"\xE0\x80\x80", {0xFFFFFFFF}, false},
      {"\xE2\x82\xAC", {0x20AC}, true},
      {"\xF0\x9F\x98\x80", {0x1F600}, true},
      {"\xDF\xBF", {0x7FF}, true},
      {"\xE2\x82", {0xE2, 0x82}, false},
      {"\xE2\x82\x41", {0xE2, 0x82, 'A'}, false},
      {"\x80", {0x80}, false},
      {"\xF8\x88\x80\x80\x80", {0xF8, 0x88, 0x80, 0x80, 0x80}, false},
      {"\xFF", {0xFF}, false},
      {"\xC3\xA9\xE9", {0xE9, 0xE9}, false},
  };
  for (const Row& row : rows) {
    Westring decoded(L"old content");
    bool valid = DecodeUtf8(row.bytes.data(), static_cast<int>(row.bytes.size()), &decoded);
    EXPECT_EQ(CodePoints(decoded), row.points) << Hex(row.bytes);
    EXPECT_EQ(valid, row.valid) << Hex(row.bytes);
  }
}

TEST(Utf8Test, DecodingEntryPoints) {
  bool valid = true;
  Westring w = Westring::FromUtf8("caf\xC3\xA9", &valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(w, L"caf\u00E9");
  w = Westring::FromUtf8("caf\xE9", &valid);
  EXPECT_FALSE(valid);
  EXPECT_EQ(w, L"caf\u00E9");
  w = Westring::FromUtf8(nullptr, &valid);
  EXPECT_TRUE(valid);
  EXPECT_TRUE(w.IsEmpty());

  Westring counted;
  EXPECT_FALSE(counted.AssignUtf8("abc\xC3\xA9", 4)) << "a lead byte cut off by the count";
  EXPECT_EQ(CodePoints(counted), (std::vector<uint32_t>{'a', 'b', 'c', 0xC3}));

  // Decoding grows the buffer by the keeping rule, unlike a copy of wide text.
  EXPECT_EQ(Westring("abcdefghijklmnopqrstu").Capacity(), 27);
  EXPECT_EQ(Westring(L"abcdefghijklmnopqrstu").Capacity(), 22);
}

TEST(Utf8Test, EncodingUsesOneToFourBytes) {
  struct Row {
    uint32_t point;
    std::string bytes;
  } rows[] = {
      {0x41, "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0xE9, "\xC3\xA9"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x20AC, "\xE2\x82\xAC"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const Row& row : rows) {
    char out[4];
    int used = EncodeUtf8Char(row.point, out);
    EXPECT_EQ(std::string(out, static_cast<size_t>(used)), row.bytes) << std::hex << row.point;

    wchar_t text[] = {static_cast<wchar_t>(row.point), L'z', 0};
    Estring encoded;
    EncodeUtf8(text, &encoded);
    EXPECT_EQ(std::string(encoded.c_str()), row.bytes + "z") << std::hex << row.point;
  }
}

TEST(Utf8Test, EncodingMakesRoomForAQuarterMore) {
  EXPECT_EQ(Westring(40, L'a').ToUtf8().Capacity(), 51) << "40 + 40/4, plus the terminator";
  Estring empty;
  EncodeUtf8(nullptr, &empty);
  EXPECT_TRUE(empty.IsEmpty());
  Estring many = Westring(100, static_cast<wchar_t>(0x1F600)).ToUtf8();
  EXPECT_EQ(many.Length(), 400);
  EXPECT_EQ(std::string(many.c_str() + 396), "\xF0\x9F\x98\x80");
}

TEST(Utf8Test, RoundTripsKeepEveryCharacter) {
  const wchar_t* texts[] = {
      L"",
      L"plain ascii",
      L"\u00E9t\u00E9 \u00FF",
      L"\u041F\u0440\u0438\u0432\u0435\u0442",
      L"\u20AC \uFFFD \U0001F600 \U0010FFFF",
      L"mixed \u00E9\u20AC\U00010400 end",
  };
  for (const wchar_t* text : texts) {
    Westring original(text);
    bool valid = false;
    Westring back = Westring::FromUtf8(original.ToUtf8().c_str(), &valid);
    EXPECT_EQ(back, original) << original.ToUtf8().c_str();
    EXPECT_TRUE(valid) << original.ToUtf8().c_str();
  }
}

TEST(CodePageTest, IconvNames) {
  struct Row {
    int codePage;
    const char* name;
  } rows[] = {
      {866, "CP866"},      {20866, "KOI8-R"}, {878, "KOI8-R"},
      {819, "ISO-8859-1"}, {850, "CP850"},    {1252, "CP1252"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(std::string(CodePageIconvName(row.codePage).c_str()), row.name) << row.codePage;
  EXPECT_TRUE(IsCodePageAvailable(866));
  EXPECT_TRUE(IsCodePageAvailable(20866));
  EXPECT_FALSE(IsCodePageAvailable(99999));
}

TEST(CodePageTest, BytesToWide) {
  struct Row {
    int codePage;
    const char* bytes;
    std::vector<uint32_t> points;
  } rows[] = {
      {866, "\x80\xAF\xE0", {0x410, 0x43F, 0x440}},
      {20866, "\xC1\xE1", {0x430, 0x410}},
      {819, "\xE9\xFF", {0xE9, 0xFF}},
      {850, "\x82\x9B\xB0", {0xE9, 0xF8, 0x2591}},
      {1252, "\x80\xE9", {0x20AC, 0xE9}},
  };
  for (const Row& row : rows) {
    bool allMapped = false;
    Westring wide = Westring::FromCodePage(row.bytes, row.codePage, &allMapped);
    EXPECT_EQ(CodePoints(wide), row.points) << row.codePage;
    EXPECT_TRUE(allMapped) << row.codePage;
  }
}

TEST(CodePageTest, UnmappableBytesBecomeTheHouseSign) {
  // glibc's CP850 maps all 256 bytes, so the holes of CP1252 stand in for an
  // unmappable byte.
  bool allMapped = true;
  Westring wide = Westring::FromCodePage(
      "a\x81"
      "b\x8D\x8D"
      "c",
      1252, &allMapped);
  EXPECT_EQ(CodePoints(wide), (std::vector<uint32_t>{'a', 0x2302, 'b', 0x2302, 0x2302, 'c'}));
  EXPECT_FALSE(allMapped);

  allMapped = true;
  wide = Westring::FromCodePage("\x81", 1252, &allMapped);
  EXPECT_EQ(CodePoints(wide), (std::vector<uint32_t>{0x2302}));
  EXPECT_FALSE(allMapped);

  Westring counted;
  EXPECT_TRUE(CodePageToWide("ab\x81", 2, 1252, &counted)) << "the count stops before the hole";
  EXPECT_EQ(counted, L"ab");
}

TEST(CodePageTest, UnknownCodePageGivesEmptyResults) {
  bool allMapped = true;
  Westring wide = Westring::FromCodePage("abc", 99999, &allMapped);
  EXPECT_TRUE(wide.IsEmpty());
  EXPECT_FALSE(allMapped);
  EXPECT_TRUE(Westring(L"abc").ToCodePage(99999).IsEmpty());
}

TEST(CodePageTest, WideToCodePageAndBack) {
  struct Row {
    int codePage;
    const wchar_t* text;
    std::string bytes;
  } rows[] = {
      {866, L"\u041F\u0440\u0438\u0432\u0435\u0442", "\x8F\xE0\xA8\xA2\xA5\xE2"},
      {850, L"\u00E9t\u00E9", "\x82t\x82"},
      {819, L"\u00FF\u00E9", "\xFF\xE9"},
      {20866, L"\u0430\u0410", "\xC1\xE1"},
      {850, L"", ""},
  };
  for (const Row& row : rows) {
    Estring bytes = Westring(row.text).ToCodePage(row.codePage);
    EXPECT_EQ(std::string(bytes.c_str()), row.bytes) << row.codePage;
    bool allMapped = false;
    EXPECT_EQ(Westring::FromCodePage(bytes.c_str(), row.codePage, &allMapped), row.text);
    EXPECT_TRUE(allMapped);
  }
  Westring longText(40, static_cast<wchar_t>(0x416));
  Estring longBytes = longText.ToCodePage(866);
  EXPECT_EQ(longBytes.Length(), 40);
  EXPECT_EQ(Westring::FromCodePage(longBytes.c_str(), 866), longText);

  // The euro sign is not in CP850: what precedes it converts.
  Estring cut = Westring(L"ab\u20ACc").ToCodePage(850);
  EXPECT_EQ(std::string(cut.c_str()).substr(0, 2), "ab");
}

TEST(CodePageTest, ProcessWideCodePages) {
  EXPECT_EQ(CurrentCodePage(), 850);
  EXPECT_EQ(TextCodePage(), 819);
  SetCurrentCodePage(866);
  EXPECT_EQ(Westring::FromCurrentCodePage("\x80"), L"\u0410");
  EXPECT_EQ(std::string(Westring(L"\u0410").ToCurrentCodePage().c_str()), "\x80");
  SetCurrentCodePage(0);
  EXPECT_EQ(CurrentCodePage(), 850) << "0 means 850";
  EXPECT_EQ(Westring::FromCurrentCodePage("\x82"), L"\u00E9");
  SetTextCodePage(1252);
  EXPECT_EQ(TextCodePage(), 1252);
  SetTextCodePage(0);
  EXPECT_EQ(TextCodePage(), 819) << "0 means 819";
}

}  // namespace
