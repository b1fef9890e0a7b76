#include "dialogs/MessageBox.h"

#include <algorithm>
#include <vector>

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/Look.h"
#include "foundation/Westring.h"

namespace {

constexpr int kMaxLines = 10;
constexpr int kScreenMargin = 8;  // the text keeps this many columns clear of the screen
constexpr int kPadding = 4;       // interior cells beyond the widest line, frame included
constexpr int kRowsBeyondText = 4;  // frame, second line and button row
constexpr int kStyleMask = 0x0F;

constexpr int kCancel = DialogResult::Cancel;

// The buttons of each style. The marked letters are the hot keys the style
// lists: highlighted in the label and answering Alt+letter; the plain
// letter answers as well, being the button's code.
struct TStyle {
  int minimumWidth;
  TButtonSpec buttons[7];
};

const TStyle kStyles[] = {
    {8, {{'y', "_OK"}, {0, nullptr}}},
    {20, {{'y', "_OK"}, {kCancel, "Cancel"}, {0, nullptr}}},
    {50,
     {{'y', "_OK"}, {kCancel, "Cancel"}, {'s', "_Skip"}, {'a', "_All"}, {'e', "Non_e"}, {0, nullptr}}},
    {33, {{'r', "_Retry"}, {'s', "_Skip"}, {kCancel, "Cancel"}, {0, nullptr}}},
    {61,
     {{'y', "_OK"},
      {kCancel, "Cancel"},
      {'s', "_Skip"},
      {'a', "_All"},
      {'e', "Non_e"},
      {'d', "All Ol_der"},
      {0, nullptr}}},
};
constexpr int kStyleCount = sizeof kStyles / sizeof kStyles[0];

}  // namespace

int MessageBox(const Westring& text, const Westring& second, int style) {
  const TStyle& look = kStyles[std::min(style & kStyleMask, kStyleCount - 1)];
  const int textWidth = std::max(1, g_console->Columns() - kScreenMargin);
  const std::vector<Westring> lines = BreakIntoLines(text, textWidth, kMaxLines);
  const int count = static_cast<int>(lines.size());
  // A long second line (a path, usually) keeps its end, where the name is.
  const Westring fitted = second.Length() > textWidth ? second.Right(textWidth) : second;

  int width = std::max(look.minimumWidth, fitted.Length());
  for (int i = 0; i < count; ++i) width = std::max(width, lines[i].Length());
  width += kPadding;
  if (width % 2) ++width;

  const uint8_t attr =
      Colour(style & MessageStyle::Messages ? ColourClass::Messages : ColourClass::Errors);
  Dialog dialog(-1, -3, width, count + kRowsBeyondText, attr);
  for (int i = 0; i < count; ++i) dialog.WriteCentred(i, lines[i].c_str());
  dialog.WriteCentred(count, fitted.c_str());
  dialog.AddButtonRow(-1, count + 1, look.buttons);
  if (style & MessageStyle::YesKey) {
    dialog.AddExitKey('y');
    dialog.AddExitKey('Y');
  }

  const int result = dialog.Run();
  if (result == DialogResult::Ok || result == 'Y') return 'y';
  if (result < 0) return ' ';
  return result;
}
