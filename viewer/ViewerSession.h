#pragma once
// What the viewer and the editor keep from one opening to the next during a
// run of the program, shared so that a search set up in one repeats in the
// other: the search and where the code-page cycle stands.
#include "viewer/ViewerDialogs.h"

struct TViewerSession {
  TViewerSearch search;
  int codePageCursor = 0;  // the next entry of TranslateCP that Alt-T takes
  int lastCodePage = 0;    // the code page Alt-T or Alt-C chose last; 0 the default
};

TViewerSession& ViewerSession();

/// The next code page of the TranslateCP cycle (0 the default), the cycle
/// moved on; "Invalid code page" shown for a number the system does not know.
int TakeNextTranslateCodePage();
