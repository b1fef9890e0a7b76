#pragma once
// The function-key bar on the bottom line: ten labels, a digit and a word
// each, whose set follows the held modifiers. Application thread.
#include <cstdint>

/// The label set of a modifier state (Shift 1, Ctrl 4, Alt 8; other bits
/// ignored): Alt x 1 + Ctrl x 2 + Shift x 4, so 0..7.
int FunctionKeyLabelSet(uint16_t modifierState);

/// The label of key 1..10 in a set 0..7, such as "6RenMov".
const char* FunctionKeyLabel(int labelSet, int keyNumber);

/// Draws the labels of the modifier state across the bottom line, in slots
/// of columns / 10 cells, and remembers the set drawn.
void DrawFunctionKeyBar(uint16_t modifierState);

/// Whether the bar shows something other than the labels of this state:
/// another set, nothing yet, or a screen repainted since (InvalidateFunctionKeyBar).
bool FunctionKeyBarNeedsRedraw(uint16_t modifierState);

/// Forgets what was drawn, so the next check asks for a redraw; for a
/// cleared or resized screen.
void InvalidateFunctionKeyBar();

