#pragma once
// The panel filter dialog: edits the expression that decides which files a
// panel shows. Application thread.
class Westring;

/// Edits *filter in a dialog titled "Filter for <sideName> panel" (sideName
/// is "left" or "right"). Enter accepts only an expression without syntax
/// errors (checked on the name "test"); a bad one is reported and the dialog
/// stays. Returns true with *filter replaced by the accepted text, or false
/// on Esc with *filter unchanged.
bool RunFilterDialog(const wchar_t* sideName, Westring* filter);
