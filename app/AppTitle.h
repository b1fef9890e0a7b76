#pragma once
// The window title of the program. Application thread.
#include "foundation/Westring.h"

/// The title for a text: "Varnak: " and the text; null gives "Varnak V2.40-dev"
/// and the empty text (kept for shutdown) gives an empty title.
Westring AppTitleFor(const wchar_t* text);

/// Sets the console window's title to AppTitleFor(text).
void SetAppTitle(const wchar_t* text);
