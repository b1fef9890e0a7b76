#!/usr/bin/env bash
# Starts the real vk on $DISPLAY, takes a screenshot of its window and checks
# pixels: the window is 80 x 25 cells, the title row's cells (attribute 0x1F)
# have the palette's blue background and white glyph pixels.
# Usage: screenshot-test.sh VK_BINARY
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$here/scripts/screenshot.sh" "$1" "$shot" || fail "no window appeared"
read -r width height < <(identify -format '%w %h\n' "$shot")
echo "window ${width}x${height}"
[ $((width % 80)) -eq 0 ] || fail "width $width is not 80 cells"
cellw=$((width / 80))

# The pixels of one column, top to bottom, as #RRGGBB.
column() { convert "$shot" -crop "1x${height}+$1+0" +repage txt:- | awk 'NR>1 {print $3}'; }
# Cell 0 of the title row is a blank in white on blue: its blue run is one cell high.
cellh=$(column 1 | awk '$1 == "#00007F" {n++; next} {exit} END {print n+0}')
echo "cell ${cellw}x${cellh}"
[ "$cellh" -gt 0 ] || fail "the top-left cell is not blue (palette 0x7FFF)"
[ "$height" -eq $((25 * cellh)) ] || fail "height $height is not 25 cells of $cellh"
[ "$cellh" -gt "$cellw" ] || fail "cells are wider than high"

# Cell 1 of the title row holds a letter: it must show white glyph pixels on blue.
cell=$(convert "$shot" -crop "${cellw}x${cellh}+${cellw}+0" +repage txt:- | awk 'NR>1 {print $3}')
grep -qx '#FFFFFF' <<<"$cell" || fail "no white glyph pixels in the title cell"
grep -qx '#00007F' <<<"$cell" || fail "no blue background in the title cell"
echo "1 passed, 0 failed"
