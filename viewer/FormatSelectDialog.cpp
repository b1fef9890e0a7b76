#include "viewer/FormatSelectDialog.h"

#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "foundation/CodePage.h"
#include "viewer/TextEncoding.h"

namespace {

constexpr int kThirdDown = -3;
constexpr int kWidth = 60, kHeight = 9;
constexpr int kLabelColumn = 1, kRadioColumn = 14, kRightColumn = 34, kCodePageFieldColumn = 45;
constexpr int kCodePageDigits = 5;
constexpr int kByteOrderMarkRow = 2, kBigEndianRow = 3;
// Rows 0 to 3 hold the choices and row 4 stays blank.
constexpr int kFirstExtraRow = 5;

// The radio buttons from the top; the shared value of each is its position.
constexpr int kChoiceCodePage = 0, kChoiceUtf8 = 1, kChoiceUtf16 = 2, kChoiceUtf32 = 3;
constexpr const char* kChoiceLabels[] = {"Code Page", "UTF-8", "UTF-16", "UTF-32"};

// Element by element: the four choices, the code-page field, the two boxes.
constexpr char kHotKeys[] = "c863pbe";

int ChoiceOf(int encoding) {
  switch (encoding) {
    case EncodingUtf32Le:
    case EncodingUtf32Be:
      return kChoiceUtf32;
    case EncodingUtf16Le:
    case EncodingUtf16Be:
      return kChoiceUtf16;
    case EncodingCodePage:
      return kChoiceCodePage;
    case EncodingUtf8:
    case EncodingDetect:
      return kChoiceUtf8;
  }
  return kChoiceUtf8;
}

}  // namespace

CFormatSelectDlg::CFormatSelectDlg(int encoding, int codePage, bool byteOrderMark, int extraRows)
    : Dialog(-1, kThirdDown, kWidth, kHeight + (extraRows > 0 ? extraRows : 0),
             Colour(ColourClass::Messages)),
      m_choice(ChoiceOf(encoding)),
      m_initialChoice(m_choice),
      m_shownChoice(m_choice),
      m_codePage(codePage != 0 ? codePage : TextCodePage()),
      m_byteOrderMark(byteOrderMark ? 1 : 0),
      m_initialByteOrderMark(m_byteOrderMark),
      m_bigEndian(IsBigEndianEncoding(encoding) ? 1 : 0) {
  SetHotKeyList(kHotKeys, sizeof kHotKeys - 1);
  SetHelpTopic(HelpTopic::CodePages);
  DrawTitle(Westring(" Select File Encoding "));
  WriteText(kLabelColumn, 0, "File Format:", NormalColour());
  for (int choice = kChoiceCodePage; choice <= kChoiceUtf32; ++choice)
    AddRadioButton(kRadioColumn, choice, choice == kChoiceCodePage, &m_choice, choice,
                   kChoiceLabels[choice]);
  const wchar_t codePageKey[] = {static_cast<wchar_t>(kHotKeys[4]), 0};
  WriteHotKeyText(kRightColumn, 0, L"Code Page:", codePageKey, NormalColour());
  AddIntegerField(kCodePageFieldColumn, 0, true, &m_codePage, kCodePageDigits);
  m_byteOrderMarkIndex =
      AddCheckBox(kRightColumn, kByteOrderMarkRow, true, &m_byteOrderMark, "Byte Order Mark", true);
  AddCheckBox(kRightColumn, kBigEndianRow, true, &m_bigEndian, "Big-Endian", true);
  SetDefaultButton(AddOkCancel(-1, -1));
}

int CFormatSelectDlg::FirstExtraRow() const { return kFirstExtraRow; }

bool CFormatSelectDlg::Choose() {
  if (Run() != DialogResult::Ok) return false;
  CommitAll();
  return true;
}

int CFormatSelectDlg::Encoding() const {
  switch (m_choice) {
    case kChoiceCodePage:
      return EncodingCodePage;
    case kChoiceUtf8:
      return EncodingUtf8;
    case kChoiceUtf16:
      return m_bigEndian ? EncodingUtf16Be : EncodingUtf16Le;
    case kChoiceUtf32:
      return m_bigEndian ? EncodingUtf32Be : EncodingUtf32Le;
  }
  return EncodingUtf8;
}

void CFormatSelectDlg::FocusChanged() {
  if (m_choice == m_shownChoice) return;
  m_shownChoice = m_choice;
  // The mark goes with the wide encodings; back at the start the file's own
  // setting returns.
  if (m_choice == m_initialChoice)
    m_byteOrderMark = m_initialByteOrderMark;
  else if (m_choice == kChoiceUtf16 || m_choice == kChoiceUtf32)
    m_byteOrderMark = 1;
  else
    return;
  Draw(m_byteOrderMarkIndex);
}
