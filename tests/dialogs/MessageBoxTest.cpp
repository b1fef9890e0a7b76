// Message boxes driven through the event queue: the answer keys are queued
// before the box runs, and the console's idle routine, which the key reader
// calls before it waits, takes a picture of the box while it is up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/Win.h"
#include "foundation/Westring.h"
#include "tests/dialogs/DialogTestUtil.h"

using namespace dialogtest;

namespace {

// The screen as it was while the box waited for its first key, and the
// box's outer rectangle found from its frame corners.
struct TShownBox {
  int result = -1;
  std::vector<std::u32string> rows;
  std::vector<std::vector<uint8_t>> attrs;
  int left = -1, top = -1, right = -1, bottom = -1;

  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  // Interior row r (0 = the first row inside the frame), trimmed of the frame.
  std::u32string Row(int r) const {
    return rows[static_cast<size_t>(top + 1 + r)].substr(static_cast<size_t>(left + 1),
                                                         static_cast<size_t>(Width() - 2));
  }
  uint8_t Attr(int col, int row) const {
    return attrs[static_cast<size_t>(row)][static_cast<size_t>(col)];
  }
  // Screen column of the first occurrence of text on interior row r, or -1.
  int Find(int r, const std::u32string& text) const {
    const size_t at = rows[static_cast<size_t>(top + 1 + r)].find(text);
    return at == std::u32string::npos ? -1 : static_cast<int>(at);
  }
};

TShownBox ShowBox(const Westring& text, const Westring& second, int style,
                  std::initializer_list<uint32_t> keys) {
  TShownBox shown;
  bool taken = false;
  Con().SetIdleHandler([&shown, &taken] {
    if (taken) return;
    taken = true;
    for (int r = 0; r < Con().Lines(); ++r) {
      shown.rows.push_back(ScreenText(0, r, Con().Columns()));
      std::vector<uint8_t> attrs;
      for (int c = 0; c < Con().Columns(); ++c) attrs.push_back(AttrAt(c, r));
      shown.attrs.push_back(attrs);
    }
  });
  PostKeys(keys);
  shown.result = MessageBox(text, second, style);
  Con().SetIdleHandler(nullptr);
  for (size_t r = 0; r < shown.rows.size() && shown.top < 0; ++r) {
    const size_t col = shown.rows[r].find(U'╔');
    if (col == std::u32string::npos) continue;
    shown.top = static_cast<int>(r);
    shown.left = static_cast<int>(col);
    shown.right = static_cast<int>(shown.rows[r].find(U'╗', col));
  }
  for (size_t r = static_cast<size_t>(shown.top + 1); shown.top >= 0 && r < shown.rows.size(); ++r)
    if (shown.rows[r][static_cast<size_t>(shown.left)] == U'╚') {
      shown.bottom = static_cast<int>(r);
      break;
    }
  return shown;
}

std::u32string Centred(const std::u32string& text, int width) {
  const size_t left = static_cast<size_t>((width - static_cast<int>(text.size())) / 2);
  std::u32string row(left, U' ');
  row += text;
  row.resize(static_cast<size_t>(width), U' ');
  return row;
}

std::u32string Wide(const Westring& text) {
  std::u32string out;
  for (const wchar_t* p = text.c_str(); *p; ++p) out += static_cast<char32_t>(*p);
  return out;
}

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { ResetScreen(); }
};

}  // namespace

TEST_F(MessageBoxTest, EachStyleAnswersWithTheLettersOfItsButtons) {
  namespace S = MessageStyle;
  struct TCase {
    int style;
    uint32_t key;
    int result;
  } const cases[] = {
      {S::Ok, Key::Enter, 'y'},
      {S::Ok, Key::AltO, 'y'},
      {S::Ok, Key::Esc, 27},
      {S::OkCancel, 'y', 'y'},
      {S::OkCancelSkipAll, 's', 's'},
      {S::OkCancelSkipAll, 'a', 'a'},
      {S::OkCancelSkipAll, Key::AltE, 'e'},
      {S::OkCancelSkipAll, Key::AltS, 's'},
      {S::RetrySkipCancel, 'r', 'r'},
      {S::RetrySkipCancel, Key::Enter, 'r'},
      {S::RetrySkipCancel, 's', 's'},
      {S::RetrySkipCancel, Key::Esc, 27},  {S::RetrySkipCancel, 'S', 's'},  // lower-cased
      {S::OkCancelSkipAllOlder, 'd', 'd'},
      {S::OkCancelSkipAllOlder, Key::AltD, 'd'},
      {S::OkCancelSkipAllOlder, Key::Enter, 'y'},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ShowBox("Question", "", c.style, {c.key}).result, c.result)
        << "input: style " << c.style << ", key " << c.key;
  TShownBox cancel = ShowBox("Go on?", "", S::OkCancel, {Key::Right, Key::Enter});
  EXPECT_EQ(cancel.result, 27) << "the buttons are one group: Right moves to Cancel";
}

TEST_F(MessageBoxTest, ButtonRowsAreCentredAndShowTheirHotLetters) {
  namespace S = MessageStyle;
  struct TCase {
    int style;
    std::u32string row;
  } const cases[] = {
      {S::Ok, U"[ OK ]"},
      {S::OkCancel, U"[ OK ]  [ Cancel ]"},
      {S::OkCancelSkipAll, U"[ OK ]  [ Cancel ]  [ Skip ]  [ All ]  [ None ]"},
      {S::RetrySkipCancel, U"[ Retry ]  [ Skip ]  [ Cancel ]"},
      {S::OkCancelSkipAllOlder, U"[ OK ]  [ Cancel ]  [ Skip ]  [ All ]  [ None ]  [ All Older ]"},
  };
  for (const TCase& c : cases) {
    TShownBox box = ShowBox("Done", "a.txt", c.style, {Key::Esc});
    EXPECT_EQ(box.Row(2), Centred(c.row, box.Width() - 2)) << "input: style " << c.style;
  }
  // The hot letters stand out on the unfocused buttons: S of Skip, e of None.
  TShownBox many = ShowBox("Overwrite?", "a.txt", S::OkCancelSkipAll, {Key::Esc});
  const uint8_t boxAttr = many.Attr(many.left + 1, many.top + 1);
  const int skip = many.Find(2, U"[ Skip ]"), none = many.Find(2, U"[ None ]");
  ASSERT_GE(skip, 0);
  ASSERT_GE(none, 0);
  EXPECT_EQ(many.Attr(skip + 2, many.top + 3), HotKeyAttr(boxAttr));
  EXPECT_EQ(many.Attr(skip + 3, many.top + 3), boxAttr);
  EXPECT_EQ(many.Attr(none + 5, many.top + 3), HotKeyAttr(boxAttr));
  EXPECT_EQ(many.Attr(none + 2, many.top + 3), boxAttr);
}

TEST_F(MessageBoxTest, TheBoxIsSizedByItsTextOrItsStylesMinimum) {
  const int columns = Con().Columns(), lines = Con().Lines();
  TShownBox small = ShowBox("Hi", "", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(small.Width(), 8 + 4);
  EXPECT_EQ(small.Height(), 1 + 4);
  EXPECT_EQ(small.left, (columns - 12) / 2);
  EXPECT_EQ(small.top, (lines - 5) / 3);
  EXPECT_EQ(small.Attr(small.left, small.top), Colour(ColourClass::Errors));
  EXPECT_EQ(small.Row(0), Centred(U"Hi", 10));
  EXPECT_EQ(small.Row(1), Centred(U"", 10)) << "the empty second line keeps its row";

  TShownBox message = ShowBox("Hi", "", MessageStyle::Ok | MessageStyle::Messages, {Key::Esc});
  EXPECT_EQ(message.Attr(message.left + 3, message.top + 1), Colour(ColourClass::Messages));

  // 21 characters against a minimum of 20: 25 is odd, so 26.
  TShownBox odd = ShowBox("twenty-one characters", "", MessageStyle::OkCancel, {Key::Esc});
  EXPECT_EQ(odd.Width(), 26);
  EXPECT_EQ(odd.Row(0), Centred(U"twenty-one characters", 24));

  // The second line decides the width when it is the longest.
  TShownBox named =
      ShowBox("Cannot open", "/usr/local/share/varnak/file.txt", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(named.Width(), 32 + 4);
  EXPECT_EQ(named.Row(0), Centred(U"Cannot open", 34));
  EXPECT_EQ(named.Row(1), U" /usr/local/share/varnak/file.txt ");
  EXPECT_EQ(named.Row(2), Centred(U"[ OK ]", 34));
}

TEST_F(MessageBoxTest, LongTextBreaksAtSpacesUpToTenLines) {
  const int limit = Con().Columns() - 8;
  // Words of 9 letters and a blank: 7 words (69 cells) fit a line of 72, the
  // eighth does not, so every line breaks after its seventh word.
  Westring words;
  for (int i = 0; i < 20; ++i) words += i ? L" abcdefghi" : L"abcdefghi";
  TShownBox wrapped = ShowBox(words, "", MessageStyle::Ok, {Key::Esc});
  std::u32string seven = U"abcdefghi";
  for (int i = 1; i < 7; ++i) seven += U" abcdefghi";
  EXPECT_EQ(wrapped.Height(), 3 + 4);
  EXPECT_EQ(wrapped.Width(), 69 + 4 + 1);
  EXPECT_EQ(wrapped.Row(0), Centred(seven, 72));
  EXPECT_EQ(wrapped.Row(1), Centred(seven, 72));
  EXPECT_EQ(wrapped.Row(2),
            Centred(U"abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi", 72));

  // A word longer than the line breaks hard at the limit.
  const Westring word(limit + 10, L'x');
  TShownBox hard = ShowBox(word, "", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(hard.Height(), 2 + 4);
  EXPECT_EQ(hard.Width(), limit + 4);
  EXPECT_EQ(hard.Row(0),
            std::u32string(1, U' ') + std::u32string(static_cast<size_t>(limit), U'x') + U" ");
  EXPECT_EQ(hard.Row(1), Centred(std::u32string(10, U'x'), limit + 2));

  // At most ten lines are shown, the rest is dropped.
  Westring many;
  for (int i = 0; i < 15; ++i) many += i ? L" " + Westring(limit, L'a' + i) : Westring(limit, L'a');
  TShownBox tall = ShowBox(many, "", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(tall.Height(), 10 + 4);
  EXPECT_EQ(tall.Row(9), U" " + std::u32string(static_cast<size_t>(limit), U'j') + U" ");
  EXPECT_EQ(tall.Row(10), Centred(U"", limit + 2));

  // A second line longer than the limit is cut to it, keeping its end.
  const Westring path = Westring(L"/") + Westring(limit + 5, L'p') + L"/name.txt";
  TShownBox cut = ShowBox("Cannot open", path, MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(cut.Width(), limit + 4);
  EXPECT_EQ(cut.Row(1), U" " + Wide(path.Right(limit)) + U" ");
}
