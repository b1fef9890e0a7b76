#pragma once
#include <cstdint>

/// The character stored for `ch` by the text and cell-array writes: control
/// characters 1..31 become their code page 437 pictures and 127..159 become
/// U+2302, so nothing on screen is an invisible control code.
uint32_t DisplayGlyph(uint32_t ch);

/// The character stored by the repeated-cell fill, which maps only 1..31.
uint32_t DisplayGlyphForFill(uint32_t ch);
