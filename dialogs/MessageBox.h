#pragma once
// MessageBox: the one call through which every part reports an error or asks
// a question. Application thread.
class Westring;

namespace MessageStyle {
constexpr int Ok = 0;                  // "_OK"
constexpr int OkCancel = 1;            // "_OK", "Cancel"
constexpr int OkCancelSkipAll = 2;     // "_OK", "Cancel", "Skip", "All", "None"
constexpr int RetrySkipCancel = 3;     // "Retry", "Skip", "Cancel"
constexpr int OkCancelSkipAllOlder = 4;  // as 2 plus "All Older"
constexpr int Messages = 0x10;         // drawn in the Messages colour instead of Errors
constexpr int YesKey = 0x20;           // "y" or "Y" answers as OK does
}  // namespace MessageStyle

/// Shows text (broken into at most 10 lines) and an optional second line
/// (a file name, say) and returns the code of the button chosen: 'y' for OK
/// or Enter, 27 for Cancel or Esc, 's', 'a', 'e', 'd', 'r' for the others; a
/// negative result comes back as ' '.
int MessageBox(const Westring& text, const Westring& second, int style);
