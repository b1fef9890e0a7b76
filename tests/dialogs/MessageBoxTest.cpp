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
  std::u32string Row(int r) const { return rows[top + 1 + r].substr(left + 1, Width() - 2); }
  uint8_t Attr(int col, int row) const { return attrs[row][col]; }
};

TShownBox ShowBox(const Westring& text, const Westring& second, int style,
                  std::initializer_list<uint32_t> keys) {
  TShownBox shown;
  Con().SetIdleHandler([&shown] {
    if (!shown.rows.empty()) return;
    for (int r = 0; r < Con().Lines(); ++r) {
      shown.rows.push_back(ScreenText(0, r, Con().Columns()));
      shown.attrs.emplace_back();
      for (int c = 0; c < Con().Columns(); ++c) shown.attrs.back().push_back(AttrAt(c, r));
    }
  });
  PostKeys(keys);
  shown.result = MessageBox(text, second, style);
  Con().SetIdleHandler(nullptr);
  for (int r = 0; r < static_cast<int>(shown.rows.size()); ++r) {
    const size_t col = shown.rows[r].find(U'╔');
    if (shown.top < 0 && col != std::u32string::npos) {
      shown.top = r;
      shown.left = static_cast<int>(col);
      shown.right = static_cast<int>(shown.rows[r].find(U'╗', col));
    } else if (shown.top >= 0 && shown.bottom < 0 && shown.rows[r][shown.left] == U'╚') {
      shown.bottom = r;
    }
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

using MessageBoxTest = ScreenTest;

}  // namespace

TEST_F(MessageBoxTest, EachStyleAnswersWithTheLettersOfItsButtons) {
  namespace S = MessageStyle;
  struct TCase {
    int style;
    uint32_t key;
    int result;
  } const cases[] = {
      {S::Ok, Key::Enter, 'y'},           {S::Ok, Key::Esc, 27},
      {S::OkCancelSkipAll, 's', 's'},     {S::OkCancelSkipAll, Key::AltE, 'e'},
      {S::OkCancelSkipAll, Key::AltS, 's'}, {S::RetrySkipCancel, Key::Enter, 'r'},
      {S::RetrySkipCancel, 'S', 's'},     {S::OkCancelSkipAllOlder, Key::AltD, 'd'},
      {S::OkCancelSkipAllOlder, Key::Enter, 'y'},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ShowBox("Question", "", c.style, {c.key}).result, c.result)
        << "input: style " << c.style << ", key " << c.key;
  TShownBox cancel = ShowBox("Go on?", "", S::OkCancel, {Key::Right, Key::Enter});
  EXPECT_EQ(cancel.result, 27) << "the buttons are one group: Right moves to Cancel";

  // The hot letter of None is its e, not its N.
  TShownBox many = ShowBox("Overwrite?", "a.txt", S::OkCancelSkipAll, {Key::Esc});
  const uint8_t boxAttr = many.Attr(many.left + 1, many.top + 1);
  const int none = static_cast<int>(many.rows[many.top + 3].find(U"[ None ]"));
  EXPECT_EQ(many.Attr(none + 5, many.top + 3), HotKeyAttr(boxAttr));
  EXPECT_EQ(many.Attr(none + 2, many.top + 3), boxAttr);
}

TEST_F(MessageBoxTest, TheBoxIsSizedByItsTextOrItsStylesMinimum) {
  TShownBox small = ShowBox("Hi", "", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(small.Width(), 8 + 4);
  EXPECT_EQ(small.Height(), 1 + 4);
  EXPECT_EQ(small.Attr(small.left, small.top), Colour(ColourClass::Errors));

  TShownBox message = ShowBox("Hi", "", MessageStyle::Ok | MessageStyle::Messages, {Key::Esc});
  EXPECT_EQ(message.Attr(message.left + 3, message.top + 1), Colour(ColourClass::Messages));

  // 21 characters against a minimum of 20: 25 is odd, so 26.
  TShownBox odd = ShowBox("twenty-one characters", "", MessageStyle::OkCancel, {Key::Esc});
  EXPECT_EQ(odd.Width(), 26);

  // The second line decides the width when it is the longest.
  TShownBox named =
      ShowBox("Cannot open", "/usr/local/share/varnak/file.txt", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(named.Width(), 32 + 4);
  EXPECT_EQ(named.Row(1), U" /usr/local/share/varnak/file.txt ");
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
  EXPECT_EQ(wrapped.Width(), 69 + 4 + 1);
  EXPECT_EQ(wrapped.Row(1), Centred(seven, 72));
  EXPECT_EQ(wrapped.Row(2),
            Centred(U"abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi abcdefghi", 72));

  // A word longer than the line breaks hard at the limit.
  const Westring word(limit + 10, L'x');
  TShownBox hard = ShowBox(word, "", MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(hard.Width(), limit + 4);
  EXPECT_EQ(hard.Row(1), Centred(std::u32string(10, U'x'), limit + 2));

  // At most ten lines are shown, the rest is dropped.
  Westring many;
  for (int i = 0; i < 15; ++i) many += i ? L" " + Westring(limit, L'a' + i) : Westring(limit, L'a');
  EXPECT_EQ(ShowBox(many, "", MessageStyle::Ok, {Key::Esc}).Height(), 10 + 4);

  // A second line longer than the limit is cut to it, keeping its end.
  const Westring path = Westring(L"/") + Westring(limit + 5, L'p') + L"/name.txt";
  TShownBox cut = ShowBox("Cannot open", path, MessageStyle::Ok, {Key::Esc});
  EXPECT_EQ(cut.Width(), limit + 4);
  EXPECT_EQ(cut.Row(1), U" " + Wide(path.Right(limit)) + U" ");
}
