// Syntax definitions read from text, and lines coloured with them: each cell
// is shown as the letter of its colour class, so a line's colours read as a
// second line of text.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "editor/SyntaxColourer.h"
#include "tests/TempDirectory.h"

namespace {

constexpr uint8_t kText = 0x17;  // grey on blue
const char kClasses[] =
    "[Colour Classes]\n"
    "Keyword: bri whi\nComment: gre\nString: yel\nNumber: cya\nSymbol: red\nState: mag\n";
// The letters the cells are shown as: '.' for the text colour.
const std::map<uint8_t, char> kLetters = {{kText, '.'}, {0x1F, 'k'}, {0x12, 'c'}, {0x16, 's'},
                                          {0x13, 'n'}, {0x14, 'o'}, {0x15, 'p'}, {0x1B, 'N'}};

struct SyntaxTest : testing::Test {
  TTempDirectory dir{"vk-syntax"};
  CSyntaxDefinition definition;
  std::vector<TConfigMessage> messages;
  CContextStack state;

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  }
  int Load(const std::string& text, const char* fileName = "test.c") {
    return definition.Load(Westring::FromUtf8(Write("syntax.ini", text).c_str()), Westring(fileName), kText,
                           &messages);
  }
  // The colours of one line, as letters, carrying the state on.
  std::string Colours(const std::wstring& line, int tabWidth = 4) {
    std::vector<TCell> cells;
    ColourSyntaxLine(&definition, &state, line.c_str(), static_cast<int>(line.size()), tabWidth, kText, &cells);
    std::string letters;
    for (const TCell& cell : cells) {
      auto found = kLetters.find(cell.attr);
      letters += found != kLetters.end() ? found->second : '?';
    }
    return letters;
  }
};

}  // namespace

TEST_F(SyntaxTest, WordsNumbersStringsAndComments) {
  ASSERT_EQ(Load(std::string(kClasses) +
                 "[C: *.c|*.h]\n"
                 "words: Keyword: int return\n"
                 "words/i: Keyword: SELECT\n"
                 "symbols: Symbol: =;\n"
                 "number: String\nnumber: Number\n"  // the later rule gives the colour
                 "escape:\\\\\n"
                 "string: String: \":\"\n"
                 "blockcomment: Comment: /*:*/\n"
                 "linecomment: Comment: //\n"),
            0);
  EXPECT_TRUE(messages.empty());
  ASSERT_TRUE(definition.HasSyntax());
  EXPECT_EQ(Colours(L"int x=0x1F; select"), "kkk..onnnno.kkkkkk");
  EXPECT_EQ(Colours(L"x10 10ms intx"), "....nnnn.....") << "x10 and intx are words, 10ms a number";
  EXPECT_EQ(Colours(L"s=\"a\\\"b\";//x"), ".ossssssoccc") << "an escaped quote stays inside";
  EXPECT_EQ(Colours(L"\"open"), "sssss");
  EXPECT_EQ(Colours(L"int"), "kkk") << "a string ends with its line";
  EXPECT_EQ(Colours(L"1 /* a"), "n.cccc");
  EXPECT_EQ(Colours(L"int"), "ccc");
  EXPECT_EQ(Colours(L"\"x\""), "ccc") << "a comment holds no string";
  EXPECT_EQ(Colours(L"*/ int"), "cc.kkk");
  EXPECT_EQ(Colours(L"\tx\ay", 4), ".......") << "a tab up to the next stop";
  std::vector<TCell> cells;
  ColourSyntaxLine(&definition, &state, L"a\ab", 3, 4, kText, &cells);
  EXPECT_EQ(cells[1].ch, U' ');
}

TEST_F(SyntaxTest, StatesNestAndResumeFromAKeptState) {
  ASSERT_EQ(Load(std::string(kClasses) +
                 "[Pre: *.c]\n"
                 "state: State: pre: #: ;\n"
                 "words(pre): Keyword: define\n"
                 "wordchars(pre): abcdefghijklmnopqrstuvwxyz_\n"
                 "statechange(pre): Symbol: (: push\n"
                 "statechange(pre): Symbol: ): pop\n"
                 "words: Keyword: int\n"),
            0);
  EXPECT_EQ(Colours(L"int #define int_x"), "kkk.pkkkkkkpppppp") << "the state's own words and word characters";
  EXPECT_EQ(Colours(L"((a) int"), "oopopppp") << "still inside: ')' closes only the inner push";
  CContextStack kept = state;
  EXPECT_EQ(Colours(L"); int"), "op.kkk");
  CSyntaxStateStore store;
  store.Remember(100, kept);
  CContextStack resumed;
  EXPECT_EQ(store.Recall(150, &resumed), 100);
  EXPECT_EQ(resumed, kept);
  state = resumed;
  EXPECT_EQ(Colours(L"); int"), "op.kkk") << "the same colours from the kept state";
  EXPECT_EQ(store.Recall(50, &resumed), 0);
  EXPECT_EQ(resumed, CContextStack()) << "before every kept state: the start of the file";
}

TEST_F(SyntaxTest, SectionsIncludesAndMalformedLines) {
  Write("more.ini", "words: Keyword: extra\n");
  const std::string text = std::string(kClasses) +
                           "[Make: Makefile|*.mk]\n"
                           "words: Keyword: all\n"
                           "[C: *.c]\n"
                           "words: Keyword: int \\\n  char\n"
                           "!include more.ini\n"
                           "blockcomment: Comment: /*\n"
                           "string: String: ab:c\n"
                           "[broken\n"
                           "words: Keyword: never\n"
                           "[C2: *.c]\n" +
                           "words: Keyword: " + std::string(1100, 'x') + "\n";
  ASSERT_EQ(Load(text, "/some/dir/main.c"), 0);
  EXPECT_EQ(Colours(L"all int char extra never"), "....kkk.kkkk.kkkkk......");
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(std::string(messages[0].second.ToUtf8().c_str()), dir / "syntax.ini:14");
  EXPECT_NE(messages[1].text.FindSub(L"single"), -1);
  EXPECT_NE(messages[2].text.FindSub(L"\"]\""), -1);
  EXPECT_NE(messages[3].text.FindSub(L"1024"), -1);
  CSyntaxDefinition make;
  ASSERT_EQ(make.Load(Westring::FromUtf8((dir / "syntax.ini").c_str()), L"Makefile", kText, nullptr), 0);
  EXPECT_TRUE(make.HasSyntax());
  EXPECT_EQ(make.Context(0).WordAttr(L"all", 0), 0x1F);
  EXPECT_EQ(make.Context(0).WordAttr(L"int", 0), 0) << "the C words belong to C files";
  CSyntaxDefinition none;
  EXPECT_EQ(none.Load(Westring::FromUtf8((dir / "missing.ini").c_str()), L"a.c", kText, nullptr), ENOENT);
  EXPECT_FALSE(none.HasSyntax());
}

TEST_F(SyntaxTest, ShippedDefinitionsLoadCleanlyForEachKindOfFile) {
  const Westring shipped = Westring::FromUtf8(VK_SOURCE_DIR "/data/syntax.ini");
  for (const char* name : {"main.c", "x.hpp", "run.sh", "tool.py", "Makefile", "CMakeLists.txt", "vk.ini",
                           "README.md", "index.html", "icon.svg", "package.json", "fix.diff"}) {
    CSyntaxDefinition shippedDefinition;
    std::vector<TConfigMessage> shippedMessages;
    ASSERT_EQ(shippedDefinition.Load(shipped, Westring(name), kText, &shippedMessages), 0);
    EXPECT_TRUE(shippedDefinition.HasSyntax()) << name;
    EXPECT_TRUE(shippedMessages.empty()) << name << ": " << shippedMessages[0].text.ToUtf8().c_str() << " "
                                         << shippedMessages[0].second.ToUtf8().c_str();
  }
  // C: a keyword, a comment and a string each stand out from plain names.
  ASSERT_EQ(definition.Load(shipped, L"main.c", kText, nullptr), 0);
  std::vector<TCell> cells;
  const std::wstring line = L"return name; // \"x\"";
  ColourSyntaxLine(&definition, &state, line.c_str(), static_cast<int>(line.size()), 8, kText, &cells);
  EXPECT_NE(cells[0].attr, cells[7].attr) << "return against name";
  EXPECT_NE(cells[13].attr, cells[7].attr) << "the comment";
}
