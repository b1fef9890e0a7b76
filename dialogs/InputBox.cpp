#include "dialogs/InputBox.h"

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/Look.h"
#include "foundation/Westring.h"

namespace {
constexpr int kThirdDown = -3;
}  // namespace

bool InputBox(const Westring& heading, Westring* text, int fieldWidth, int maxLength, int history) {
  const int screenRoom = g_console->Columns() - 8;
  int width = fieldWidth > heading.Length() ? fieldWidth : heading.Length();
  if (width > screenRoom) width = screenRoom;
  if (fieldWidth > width) fieldWidth = width;
  Westring typed = *text;
  Dialog dialog(-1, kThirdDown, width + 4, 4, Colour(ColourClass::Messages));
  dialog.AddStaticText(1, 0, false, heading.Left(width).ToUtf8().c_str());
  dialog.AddStringField(1, 1, true, &typed, fieldWidth, maxLength, history);
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  *text = typed;
  return true;
}
