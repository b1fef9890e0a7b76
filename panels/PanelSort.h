#pragma once
// The ten sort orders of a panel. Every order keeps the sort classes first
// (".." then directories, hidden files, other files), also when reversed.
#include "config/Settings.h"
#include "panels/Entry.h"

/// Negative, zero or positive as a sorts before, with or after b in order.
int CompareEntries(const entry& a, const entry& b, SortOrder order);
/// Sorts count entries in place in the order CompareEntries gives, with each
/// name folded once rather than in every comparison; Unsorted and its
/// reverse leave them as read. Not stable.
void SortEntries(entry** items, int count, SortOrder order);
/// Whether an order is one of the reversed ones.
bool IsReversed(SortOrder order);
/// The same order in the other direction.
SortOrder Reversed(SortOrder order);
/// The forward order (0..4) of any order.
SortOrder ForwardOrder(SortOrder order);
/// Sorts by exact name (wcscmp), the order tags are looked up in after a re-read.
void SortByExactName(entry** items, int count);
