#pragma once
// The input histories of dialog text fields: twelve process-wide lists,
// oldest entry first, numbered 0 to 11 (each field names its list).
// Application thread.
#include <functional>

#include "foundation/StringCollections.h"

constexpr int InputHistoryCount = 12;

/// List `number`, or null outside 0..11.
WestringStore* InputHistory(int number);

/// Removes entries equal to text (ignoring case) and appends text; unless
/// doNotSave, the saver installed by the history file hears of it.
void AddToHistory(const Westring& text, int number, bool doNotSave = false);

/// Called for every entry added with saving on; the history file installs it.
void SetInputHistorySaver(std::function<void(int number, const Westring& text)> saver);
