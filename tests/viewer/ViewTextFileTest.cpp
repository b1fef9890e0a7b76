#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "foundation/CodePage.h"
#include "tests/TempDirectory.h"
#include "viewer/ViewTextFile.h"

namespace {

// Text in the given encoding, without a byte-order mark.
std::string Encode(const std::wstring& text, int encoding, int codePage = 1251) {
  std::string out;
  for (wchar_t ch : text) {
    const uint32_t c = static_cast<uint32_t>(ch);
    switch (encoding) {
      case EncodingUtf32Le:
        for (int k = 0; k < 4; ++k) out += static_cast<char>(c >> (8 * k));
        break;
      case EncodingUtf32Be:
        for (int k = 3; k >= 0; --k) out += static_cast<char>(c >> (8 * k));
        break;
      case EncodingUtf16Le:
        out += static_cast<char>(c);
        out += static_cast<char>(c >> 8);
        break;
      case EncodingUtf16Be:
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c);
        break;
      case EncodingCodePage: {
        const wchar_t one[2] = {ch, 0};
        out += ch == 0 ? std::string(1, '\0') : std::string(WideToCodePage(one, codePage).c_str());
        break;
      }
      default: {
        const wchar_t one[2] = {ch, 0};
        out += ch == 0 ? std::string(1, '\0') : std::string(Westring(one).ToUtf8().c_str());
      }
    }
  }
  return out;
}

class ViewTextFileTest : public ::testing::Test {
 protected:
  // Writes bytes to the test's file and opens it.
  void Open(const std::string& bytes, int encoding = EncodingDetect, int codePage = 0) {
    std::ofstream(m_path, std::ios::binary | std::ios::trunc) << bytes;
    ASSERT_EQ(m_file.Open(Westring::FromUtf8(m_path.c_str()), encoding, codePage), 0);
    m_size = static_cast<int64_t>(bytes.size());
  }
  std::vector<int> Forward() {
    std::vector<int> chars;
    for (int c; (c = m_file.NextChar()) >= 0;) chars.push_back(c);
    EXPECT_EQ(m_file.Position(), m_size);
    return chars;
  }
  std::vector<int> Backward() {
    m_file.SetPosition(m_size);
    std::vector<int> chars;
    for (int c; (c = m_file.PrevChar()) >= 0;) chars.insert(chars.begin(), c);
    EXPECT_EQ(m_file.Position(), m_file.DataStart());
    return chars;
  }
  std::vector<std::wstring> Lines() {
    std::vector<std::wstring> lines;
    m_file.SetPosition(0);
    TViewLine line;
    while (m_file.ReadLine(ViewTextFile::MaxLineChars, &line) && lines.size() < 100)
      lines.emplace_back(line.text, line.length);
    return lines;
  }

  TTempDirectory m_directory{"vk-viewtext"};
  std::string m_path = m_directory / "text";
  ViewTextFile m_file;
  int64_t m_size = 0;
};

}  // namespace

TEST(TextEncodingTest, NamesLeaveOutTheByteOrder) {
  EXPECT_EQ(EncodingDisplayName(EncodingUtf32Be, 0), L"UTF-32");
  EXPECT_EQ(EncodingDisplayName(EncodingUtf16Le, 0), L"UTF-16");
  EXPECT_EQ(EncodingDisplayName(EncodingUtf8, 0), L"UTF-8");
  EXPECT_EQ(EncodingDisplayName(EncodingCodePage, 1251), L"CP1251");
  EXPECT_EQ(EncodingDisplayName(EncodingCodePage, 0), Westring(Estring::Format("CP%d", TextCodePage()).c_str()));
  EXPECT_EQ(EncodingUnitSize(EncodingUtf32Le), 4);
  EXPECT_TRUE(IsBigEndianEncoding(EncodingUtf16Be));
  EXPECT_FALSE(IsBigEndianEncoding(EncodingUtf16Le));
}

TEST_F(ViewTextFileTest, DetectionFollowsMarksThenContent) {
  struct TCase {
    std::string bytes;
    int encoding;
    int bomSize;
  };
  const std::string a16 = Encode(L"a", EncodingUtf16Le);
  const TCase cases[] = {
      {std::string("\xFF\xFE\0\0", 4) + Encode(L"a", EncodingUtf32Le), EncodingUtf32Le, 4},
      {std::string("\0\0\xFE\xFF", 4) + Encode(L"a", EncodingUtf32Be), EncodingUtf32Be, 4},
      {"\xFF\xFE" + a16 + a16, EncodingUtf16Le, 2},
      {"\xFE\xFF" + Encode(L"aa", EncodingUtf16Be), EncodingUtf16Be, 2},
      {"\xEF\xBB\xBF" "abc", EncodingUtf8, 3},
      {"plain ASCII\n", EncodingUtf8, 0},
      {"caf\xC3\xA9\n", EncodingUtf8, 0},
      {"caf\xE9 au lait\n", EncodingCodePage, 0},
      {Encode(L"a b\n", EncodingUtf32Le), EncodingUtf32Le, 0},
      {Encode(L"a b\n", EncodingUtf32Be), EncodingUtf32Be, 0},
      {Encode(L"a b\n", EncodingUtf16Le), EncodingUtf16Le, 0},
      {Encode(L"a b\n", EncodingUtf16Be), EncodingUtf16Be, 0},
      // UTF-16 needs both a space and a line feed unit.
      {Encode(L"ab\n", EncodingUtf16Le), EncodingCodePage, 0},
      {Encode(L"a bc", EncodingUtf16Le), EncodingCodePage, 0},
      {"", EncodingUtf8, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    Open(c.bytes);
    EXPECT_EQ(m_file.Encoding(), c.encoding);
    EXPECT_EQ(m_file.ByteOrderMarkSize(), c.bomSize);
    EXPECT_EQ(m_file.HasByteOrderMark(), c.bomSize > 0);
    EXPECT_EQ(m_file.BigEndian(), c.encoding == EncodingUtf32Be || c.encoding == EncodingUtf16Be);
    if (c.encoding == EncodingCodePage) {
      EXPECT_EQ(m_file.EffectiveCodePage(), TextCodePage());
    }
    // The mark is never text, and the position never goes before it.
    EXPECT_EQ(m_file.Position(), c.bomSize);
    m_file.SetPosition(0);
    EXPECT_EQ(m_file.Position(), c.bomSize);
    EXPECT_EQ(m_file.PrevChar(), -1);
    if (c.bomSize > 0) {
      EXPECT_EQ(m_file.NextChar(), 'a');
    }
  }
  EXPECT_EQ(m_file.Open(Westring::FromUtf8((m_directory / "missing").c_str())), ENOENT);
}

TEST_F(ViewTextFileTest, BrokenTextGivesTheRuleValuesBothWays) {
  // A stray continuation byte, F8..FF, a whole euro sign, a lead cut off by the end.
  Open("A\x80\xFF\xE2\x82\xAC\xC3", EncodingUtf8);
  EXPECT_EQ(Forward(), (std::vector<int>{'A', 0, 0x7F, 0x20AC}));
  EXPECT_EQ(m_file.InvalidUtf8Count(), 2u);
  EXPECT_EQ(Backward(), (std::vector<int>{'A', 0, 0x7F, 0x20AC, 0x43}));
  m_file.SetKeepNul(false);
  m_file.SetPosition(1);
  EXPECT_EQ(m_file.NextChar(), ' ');

  // A lone surrogate stays one character; the odd last byte is none.
  Open(std::string("a\0\0\xD8X", 5), EncodingUtf16Le);
  EXPECT_EQ(Forward(), (std::vector<int>{'a', 0xD800}));
  EXPECT_EQ(Backward(), (std::vector<int>{'a', 0xD800}));
  Open(std::string("\0a\xD8\0", 4), EncodingUtf16Be);
  EXPECT_EQ(Forward(), (std::vector<int>{'a', 0xD800}));
  Open(std::string("\0\0\0a\xFF\xFF\xFF\xFF\0", 9), EncodingUtf32Be);
  EXPECT_EQ(Forward(), (std::vector<int>{'a', 0xFFFD}));
  EXPECT_EQ(Backward(), (std::vector<int>{'a', 0xFFFD}));

  // Code page: NUL reads as '.' in lines, as a space when not kept. The
  // flag is the viewer's and outlives each open.
  m_file.SetKeepNul(true);
  Open(std::string("\0x\xC0", 3), EncodingCodePage, 1251);
  EXPECT_EQ(Forward(), (std::vector<int>{0, 'x', 0xC0}));
  EXPECT_EQ(Lines(), (std::vector<std::wstring>{L".x\x0410"}));
  m_file.SetKeepNul(false);
  EXPECT_EQ(Lines(), (std::vector<std::wstring>{L" x\x0410"}));
}

TEST_F(ViewTextFileTest, EachTerminatorEndsOneLineAndLineStartAgrees) {
  const std::wstring text = L"a\r\nb\n\rc\rd\ne\r\rf\n\n\r\n\rg";
  const std::vector<std::wstring> expected = {L"a", L"b", L"c", L"d", L"e", L"", L"f", L"", L"", L"g"};
  for (int encoding : {EncodingUtf8, EncodingUtf16Le, EncodingUtf32Be, EncodingCodePage}) {
    SCOPED_TRACE(encoding);
    Open(Encode(text, encoding), encoding);
    EXPECT_EQ(Lines(), expected);
    // Every byte of a line, terminator included, belongs to the line's start.
    int64_t start = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
      const int64_t next = m_file.NextLineStart(start);
      ASSERT_GT(next, start);
      for (int64_t offset = start; offset < next; offset += m_file.UnitSize())
        ASSERT_EQ(m_file.LineStart(offset), start) << "line " << i << " offset " << offset;
      start = next;
    }
    EXPECT_EQ(start, m_size);
    EXPECT_EQ(m_file.LineStart(m_size), m_size - m_file.UnitSize());
  }
  EXPECT_EQ(m_file.HexLineStart(5), 0);
  EXPECT_EQ(m_file.HexLineStart(40), 24);
  EXPECT_EQ(m_file.HexNextLineStart(m_size - 3), m_size);
  EXPECT_EQ(m_file.HexNextLineStart(0), 16);
}

// Lines taken from the cache a run at a time agree with the same text
// stepped a character at a time, where characters and terminators straddle
// block edges.
TEST_F(ViewTextFileTest, LinesAcrossBlockEdgesAgreeWithCharacterSteps) {
  std::string bytes;
  for (int i = 0; bytes.size() < 3 * ReadAheadFile::BlockSize; ++i)
    bytes += std::string(i % 97, 'a') + (i % 3 ? "\xC3\xA9" : "\xE6\xBC\xA2") + (i % 5 ? "\n" : "\r\n");
  for (int encoding : {EncodingUtf8, EncodingCodePage}) {
    SCOPED_TRACE(encoding);
    Open(bytes, encoding, 1252);
    std::vector<std::wstring> stepped(1);
    for (int c; (c = m_file.NextChar()) >= 0;) {
      if (c == '\n') stepped.emplace_back();
      if (c == '\n' || c == '\r') continue;
      stepped.back() += encoding == EncodingCodePage ? m_file.CodePageChar(c) : static_cast<wchar_t>(c);
    }
    stepped.pop_back();
    m_file.SetPosition(0);
    std::vector<std::wstring> read;
    TViewLine line;
    while (m_file.ReadLine(ViewTextFile::MaxLineChars, &line)) read.emplace_back(line.text, line.length);
    EXPECT_EQ(read, stepped);
  }
}

TEST_F(ViewTextFileTest, LongLinesComeInPiecesOfAMegabyte) {
  const int64_t piece = ViewTextFile::LongLinePiece;
  Open(std::string(2 * piece + 100, 'x') + "\nend", EncodingUtf8);
  TViewLine line;
  std::vector<int> lengths;
  while (m_file.ReadLine(ViewTextFile::MaxLineChars, &line)) lengths.push_back(line.length);
  EXPECT_EQ(lengths, (std::vector<int>{int(piece), int(piece), 100, 3}));
  EXPECT_EQ(m_file.LineStart(piece + 5), piece);
  EXPECT_EQ(m_file.LineStart(2 * piece + 99), 2 * piece);  // from the remembered landmark
  EXPECT_EQ(m_file.LineStart(2 * piece + 100), 2 * piece);
  EXPECT_EQ(m_file.LineStart(piece), piece);
  EXPECT_EQ(m_file.LineStart(piece - 1), 0);
  EXPECT_EQ(m_file.LineStart(m_size - 1), m_size - 3);
  EXPECT_EQ(m_file.NextLineStart(0), piece);
}

TEST_F(ViewTextFileTest, SearchFindsTheSameTextInEachEncoding) {
  const std::wstring text = L"Привет, мир! hello World; world_x worldly world.";
  auto at = [&](size_t index, int encoding) {
    return static_cast<int64_t>(Encode(text.substr(0, index), encoding).size());
  };
  for (int encoding : {EncodingUtf8, EncodingUtf16Le, EncodingUtf16Be, EncodingCodePage}) {
    SCOPED_TRACE(encoding);
    Open(Encode(text, encoding), encoding, 1251);
    const int64_t end = m_size;
    EXPECT_EQ(m_file.Search(L"world", 0, true, false, false), at(text.find(L"world"), encoding));
    EXPECT_EQ(m_file.MatchEnd(), at(text.find(L"world") + 5, encoding));
    EXPECT_EQ(m_file.Search(L"WORLD", 0, false, false, false), at(text.find(L"World"), encoding));
    EXPECT_EQ(m_file.Search(L"world", 0, true, true, false), at(text.rfind(L"world"), encoding));
    EXPECT_EQ(m_file.Search(L"world", end, true, false, true), at(text.rfind(L"world"), encoding));
    // Resumed one character before the match, reverse finds the one before.
    const int64_t before = at(text.rfind(L"world") - 1, encoding);
    EXPECT_EQ(m_file.Search(L"world", before, true, false, true), at(text.find(L"worldly"), encoding));
    EXPECT_EQ(m_file.Search(L"World", before, false, true, true), at(text.find(L"World"), encoding));
    EXPECT_EQ(m_file.Search(L"МИР", 0, false, false, false), at(text.find(L"мир"), encoding));
    EXPECT_EQ(m_file.Search(L"МИР", end, false, false, true), at(text.find(L"мир"), encoding));
    EXPECT_EQ(m_file.Search(L"МИР", 0, true, false, false), -1);
    EXPECT_EQ(m_file.Search(L"planet", 0, false, false, false), -1);
    EXPECT_EQ(m_file.Search(L"world", at(text.rfind(L"world") + 1, encoding), true, false, false), -1);
    EXPECT_EQ(m_file.Position(), m_file.DataStart());
  }
}

TEST_F(ViewTextFileTest, MatchesAcrossBlockAndChunkEdges) {
  std::string bytes(70000, 'a');
  bytes.replace(16384 - 3, 6, "needle");
  bytes.replace(65536 - 2, 6, "needle");
  for (int encoding : {EncodingUtf8, EncodingCodePage}) {
    Open(bytes, encoding);
    for (bool caseSensitive : {true, false}) {
      const Westring pattern = caseSensitive ? L"needle" : L"NeEdLe";
      EXPECT_EQ(m_file.Search(pattern, 0, caseSensitive, false, false), 16381);
      EXPECT_EQ(m_file.Search(pattern, 16382, caseSensitive, false, false), 65534);
      EXPECT_EQ(m_file.Search(pattern, m_size, caseSensitive, false, true), 65534);
      EXPECT_EQ(m_file.Search(pattern, 65533, caseSensitive, false, true), 16381);
      EXPECT_EQ(m_file.Search(pattern, 16385, caseSensitive, false, true), -1);
    }
  }
  // Stopped by the poll: each path answers SearchCancelled.
  Open(bytes, EncodingUtf8);
  auto stop = [] { return true; };
  EXPECT_EQ(m_file.Search(L"needle", 0, true, false, false, stop), ViewTextFile::SearchCancelled);
  EXPECT_EQ(m_file.Search(L"none", m_size, false, false, true, stop), ViewTextFile::SearchCancelled);
  int polls = 0;
  EXPECT_EQ(m_file.Search(L"none", 0, false, false, false, [&] { return ++polls > 100; }), -1);
}

// Random text over a few letters, so that partial matches abound, spanning
// several search chunks: every search agrees with a plain scan.
TEST_F(ViewTextFileTest, ByteSearchAgreesWithAPlainScan) {
  std::mt19937 random(7);
  std::string text(300000, ' ');
  for (char& c : text) c = "abAB \n"[random() % 6];
  Open(text, EncodingUtf8);
  std::string folded = text;
  for (char& c : folded) c = static_cast<char>(tolower(c));
  for (int round = 0; round < 300; ++round) {
    const size_t length = 1 + random() % 9;
    std::string pattern;
    for (size_t i = 0; i < length; ++i) pattern += "abAB"[random() % 4];
    const bool caseSensitive = round % 2 == 0, reverse = round % 3 == 0;
    const std::string& haystack = caseSensitive ? text : folded;
    std::string needle = pattern;
    if (!caseSensitive)
      for (char& c : needle) c = static_cast<char>(tolower(c));
    const size_t start = random() % text.size();
    size_t want = reverse ? haystack.rfind(needle, start + 1 >= length ? start + 1 - length : std::string::npos)
                          : haystack.find(needle, start);
    if (reverse && start + 1 < length) want = std::string::npos;
    const int64_t got = m_file.Search(Westring::FromUtf8(pattern.c_str()), static_cast<int64_t>(start),
                                      caseSensitive, false, reverse);
    EXPECT_EQ(got, want == std::string::npos ? -1 : static_cast<int64_t>(want))
        << pattern << " from " << start << (reverse ? " backwards" : "") << (caseSensitive ? "" : " any case");
  }
}

TEST_F(ViewTextFileTest, FileShrinkingWhileOpenEndsEverythingCleanly) {
  std::string bytes;
  while (bytes.size() < 200000) bytes += "line of text\n";
  Open(bytes, EncodingUtf8);
  TViewLine line;
  ASSERT_TRUE(m_file.ReadLine(100, &line));
  ASSERT_EQ(truncate(m_path.c_str(), 10), 0);
  m_file.SetPosition(100000);
  for (int i = 0; i < 1000000 && m_file.ReadLine(100, &line); ++i) {
  }
  EXPECT_FALSE(m_file.ReadLine(100, &line));
  EXPECT_GE(m_file.LineStart(150000), 0);
  EXPECT_EQ(m_file.Search(L"text", 50000, true, false, false), -1);
  m_file.SetPosition(190000);
  for (int i = 0; i < 1000000 && m_file.PrevChar() >= 0; ++i) {
  }
  EXPECT_LE(m_file.Position(), 190000);
}
