#!/usr/bin/env bash
# The directory tree in the running program under real X keys: Alt+F10 shows
# the tree of a scratch directory structure kept in a tree data file of its
# own (TreeDir), a typed name finds a node and Enter moves the panel there;
# F10 in the copy dialog fills the destination from the tree; "cd" of a name
# the directory lacks finds it through the tree; Ctrl+Q shows the total of a
# directory holding three files of known size. The cell grid is read through
# VK_SCREEN_DUMP.
# Usage: tree-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
t="$work/t"
mkdir -p "$work/home/.vkl" "$work/treedata" "$work/out" "$t/alpha/one" "$t/beta" "$t/gamma/deep" "$t/sizes/inner"
head -c 100 /dev/zero > "$t/sizes/a"
head -c 200 /dev/zero > "$t/sizes/b"
head -c 300 /dev/zero > "$t/sizes/inner/c"
printf '[General Options]\r\nTreeDir=%s\r\n' "$work/treedata" > "$work/home/.vkl/vk.ini"
export HOME="$work/home" SHELL=/bin/bash

# The tree data file: the file system's volume in four bytes (the device
# number, little-endian here), then a depth character and a name per line.
volume=$(stat -c %d "$work")
printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((volume & 255)) $((volume >> 8 & 255)) $((volume >> 16 & 255)) $((volume >> 24 & 255)))" > "$work/treedata/vk2tree.dat"
{
  printf '0/\n'
  depth=1
  IFS=/ read -ra parts <<< "${t#/}"
  for part in "${parts[@]}"; do printf '%s%s\n' "$depth" "$part"; depth=$((depth + 1)); done
  printf '%salpha\n%sone\n%sbeta\n%sgamma\n%sdeep\n%ssizes\n%sinner\n' $depth $((depth + 1)) $depth $depth $((depth + 1)) $depth $((depth + 1))
} >> "$work/treedata/vk2tree.dat"

run_line() { xdotool type --delay 20 "$1"; keys Return; }
find_name() {
  keys Home "alt+${1:0:1}"
  xdotool type --delay 30 "${1:1}"
  keys Escape
}
title_is() { [[ "$(row 0)" == *" $1 "* ]] || { echo "  row 0: $(row 0)"; false; }; }

start_vk -l "$t" -r "$work/out"
keys alt+F10
check "Alt+F10 opens the tree window" 'shows " Directory Tree " && shows "Ctrl-Enter for next match" && shows "Search:"'
check "the tree shows the structure from the data file" 'shows "alpha" && shows "gamma" && shows "deep" && shows "sizes"'
xdotool type --delay 40 "gam"
check "typed letters search the tree" 'shows "Search: gam"'
keys Return
check "Enter moves the panel to the chosen directory" 'title_is "$t/gamma"'

# F5 on "deep": F10 takes the destination from the tree.
find_name deep
keys F5
check "the copy dialog opens" 'shows "Copy \"deep\" to"'
keys F10
check "F10 opens the tree from the dialog" 'shows " Directory Tree "'
xdotool type --delay 40 "bet"
keys Return
check "the chosen directory fills the destination" 'shows "$t/beta" && ! shows " Directory Tree "'
keys Return
check "the copy goes where the tree chose" '[ -d "$t/beta/deep" ]'
check "the new directory reaches the tree data file" '[ "$(grep -ac "deep" "$work/treedata/vk2tree.dat")" -eq 2 ]'

# "cd inner" in $t finds sizes/inner through the tree.
run_line "cd $t"
run_line "cd inner"
check "cd of a name the directory lacks goes where the tree knows it" 'title_is "$t/sizes/inner"'

run_line "cd $t"
find_name sizes
keys ctrl+q
check "Ctrl+Q shows the directory's total in the size column" 'screen | grep -a "sizes" | grep -aq "[^0-9]600[^0-9]"'
quit_vk || failed=1
exit $failed
