#!/usr/bin/env bash
# Starts the real vk on $DISPLAY, takes a screenshot of its window and checks
# pixels: the window is 80 x 25 cells and the top row holds the left panel's
# frame, light cyan lines on blue (the Panel colour 0x1B).
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
[ $((height % 25)) -eq 0 ] || fail "height $height is not 25 cells"
cellw=$((width / 80)) cellh=$((height / 25))
echo "cell ${cellw}x${cellh}"
[ "$cellh" -gt "$cellw" ] || fail "cells are wider than high"

# Cell 1 of the top row is a piece of the frame: light cyan pixels on blue.
cell=$(convert "$shot" -crop "${cellw}x${cellh}+${cellw}+0" +repage txt:- | awk 'NR>1 {print $3}')
grep -qx '#00FFFF' <<<"$cell" || fail "no light cyan frame pixels in the top row"
grep -qx '#00007F' <<<"$cell" || fail "no blue background in the top row"
echo "1 passed, 0 failed"
