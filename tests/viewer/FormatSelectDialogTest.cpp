// "Select File Encoding" driven by its hot keys and arrows: what each choice
// gives, and how the Byte Order Mark box follows the choice.
#include <gtest/gtest.h>

#include "foundation/CodePage.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "viewer/FormatSelectDialog.h"
#include "viewer/TextEncoding.h"

using namespace dialogtest;
using FormatSelectDialogTest = ScreenTest;

TEST_F(FormatSelectDialogTest, EachChoiceGivesItsEncodingAndTheMarkFollowsWideChoices) {
  const int text = TextCodePage();
  const struct {
    int encoding, codePage;
    bool mark;
    std::initializer_list<uint32_t> keys;
    int wantEncoding, wantCodePage;
    bool wantMark;
  } cases[] = {
      {EncodingUtf32Be, 1251, true, {}, EncodingUtf32Be, 1251, true},
      {EncodingUtf8, 0, false, {Key::Alt6, Key::AltE}, EncodingUtf16Be, text, true},
      // Big-Endian starts set for 3 and goes with the choice.
      {EncodingUtf16Be, 0, false, {Key::Alt3, Key::AltE}, EncodingUtf32Le, text, true},
      {EncodingUtf8,
       0,
       false,
       {Key::AltC, Key::AltP, L'8', L'6', L'6'},
       EncodingCodePage,
       866,
       false},
      // Back at the first choice the box shows the file's own mark again;
      // another narrow choice keeps the box as it is.
      {EncodingUtf8, 0, false, {Key::Down, Key::Up}, EncodingUtf8, text, false},
      {EncodingUtf16Le, 0, false, {Key::Alt3, Key::Alt6}, EncodingUtf16Le, text, false},
      {EncodingCodePage, 0, false, {Key::Alt6, Key::Alt8}, EncodingUtf8, text, true},
  };
  for (const auto& c : cases) {
    CFormatSelectDlg dialog(c.encoding, c.codePage, c.mark);
    PostKeys(c.keys);
    PostKey(Key::Enter);
    const int row = static_cast<int>(&c - cases);
    ASSERT_TRUE(dialog.Choose()) << "case " << row;
    EXPECT_EQ(dialog.Encoding(), c.wantEncoding) << "case " << row;
    EXPECT_EQ(dialog.CodePage(), c.wantCodePage) << "case " << row;
    EXPECT_EQ(dialog.ByteOrderMark(), c.wantMark) << "case " << row;
  }
  CFormatSelectDlg dialog(EncodingUtf8, 0, false);
  PostKeys({Key::Alt6, Key::Esc});
  EXPECT_FALSE(dialog.Choose());
}

TEST_F(FormatSelectDialogTest, TheCallersRowsComeAfterTheChoicesInTabOrder) {
  CFormatSelectDlg saveAs(EncodingUtf8, 0, false, 3);
  Westring name;
  saveAs.AddStringField(1, saveAs.FirstExtraRow(), true, &name, 20, 100);
  PostKeys({Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab});
  PostText(L"out.txt");
  PostKey(Key::Enter);
  EXPECT_TRUE(saveAs.Choose());
  EXPECT_EQ(name, Westring(L"out.txt"));
  EXPECT_EQ(saveAs.Height(), 7 + 3) << "nine rows with the frame, and the caller's";
}
