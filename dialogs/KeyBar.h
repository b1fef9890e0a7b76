#pragma once
// A bar of ten function-key labels on the bottom line, each a digit and a
// word ("7Search"), in slots of columns / 10 cells: the panels' bar, the
// viewer's and the editor's. Application thread.
#include <cstdint>

constexpr int LabelsPerKeyBar = 10;

/// Draws labels[0..9] across the bottom line, the digits in the Command
/// Line colour and the words in the Menu Bar colour.
void DrawKeyBar(const char* const* labels);

/// The key code (F1..F10) of a click on the bar: key number
/// (column + 1) / (columns / 10), kept within 1..10.
uint32_t KeyBarKeyForClick(int column, int columns);
