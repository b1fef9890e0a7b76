#!/usr/bin/env bash
# File find in the running program under real X keys: Alt+F7 with "*.txt"
# and a text lists exactly the files that hold it (one in a nested
# directory, one with a UTF-8 name), F3 opens the viewer at the match,
# Ctrl+R replaces the text in every found file and nothing else, F5 copies
# the tagged results, GoTo
# puts the panel's cursor on a found file; a long search shows where it
# is and stops on Esc. The cell grid is read through
# VK_SCREEN_DUMP.
# Usage: find-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/tree/sub/deep" "$work/other" "$work/expected"
export HOME="$work/home" SHELL=/bin/bash
utf8_name="ünï.txt"
{ for i in $(seq -w 1 200); do echo "filler $i"; done; echo "alpha marker42 omega"; } > "$work/tree/a.txt"
printf 'x marker42 y\r\nmarker42\r\n' > "$work/tree/sub/deep/b.txt"
printf '\xef\xbb\xbfmarker42 at the start, \xc3\xbc\n' > "$work/tree/$utf8_name"
printf 'nothing here\n' > "$work/tree/c.txt"
printf 'marker42 but not a .txt\n' > "$work/tree/d.log"
cp -a "$work/tree" "$work/original"
for f in a.txt sub/deep/b.txt "$utf8_name"; do
  mkdir -p "$(dirname "$work/expected/$f")"
  sed 's/marker42/REPLACED-7/g' "$work/tree/$f" > "$work/expected/$f"
done

# The dialog's rows (the screen from row 2 to 4 rows above the bottom).
dialog_text() { screen | sed -n '3,21p'; }
listed() { dialog_text | grep -aqF "$1"; }
# The attribute of the first cell of the first row that shows text.
attr_of() {
  dump
  python3 - "$work/screen.txt" "$1" <<'PY'
import sys
rows, colours = [], []
lines = open(sys.argv[1], encoding="utf-8").read().split("\n")
sep = lines.index("--")
rows, colours = lines[:sep], lines[sep + 1:]
for r, text in enumerate(rows):
    c = text.find(sys.argv[2])
    if c >= 0:
        print(colours[r][2 * c:2 * c + 2])
        break
PY
}

start_vk -l "$work/tree" -r "$work/other"
keys alt+F7
check "Alt+F7 opens the dialog" 'shows " File Find " && shows "File(s) to find:" && shows "Containing:"'
xdotool type --delay 30 '*.txt'
keys Tab
xdotool type --delay 30 'marker42'
# The search starts at the panel's directory, not at the root.
keys alt+r Return
check "the search completes with three matches" 'shows "Search Complete:" && shows "3 matches use"'
check "the file at the top is found" 'listed "/tree/a.txt"'
check "the file in a nested directory is found" 'listed "/tree/sub/deep/b.txt"'
check "the file with a UTF-8 name is found" 'listed "/tree/$utf8_name"'
check "files without the text or with another name are not" '! listed "c.txt" && ! listed "d.log"'

keys ctrl+F3 Home
check "Ctrl+F3 sorts by name" '[[ "$(dialog_text | grep -an "/tree/" | head -n 1)" == *"/tree/a.txt"* ]]'
keys F3
check "F3 shows the match in the viewer" 'shows "alpha marker42 omega" && ! shows "filler 100"'
keys Escape
check "Esc from the viewer returns to the results" 'shows "3 matches use"'

keys ctrl+r
check "Ctrl+R asks for the replacement" 'shows "Replace with:"'
xdotool type --delay 30 'REPLACED-7'
keys Return
check "the replace asks before it starts" 'shows "Are you sure you want to replace" && shows "in 3 files"'
keys Return
check "the replace reports its counts" 'shows "Replaced 4 occurances in 3 files"'
keys Return
for f in a.txt sub/deep/b.txt "$utf8_name"; do
  check "the replace changed exactly the text in $f" 'cmp "$work/tree/$f" "$work/expected/$f"'
done
check "the other files are untouched" 'cmp "$work/tree/c.txt" "$work/original/c.txt" && cmp "$work/tree/d.log" "$work/original/d.log"'
check "no temporary file is left" '[ -z "$(find "$work/tree" -name "*.vk@@@.tmp")" ]'

keys Home Insert Insert F5
check "F5 copies the tagged results" 'shows "Copy 2 files to"'
keys Return
check "both tagged files arrive in the other panel's directory" 'cmp "$work/other/a.txt" "$work/tree/a.txt" && cmp "$work/other/b.txt" "$work/tree/sub/deep/b.txt"'
check "the untagged result is not copied" '[ ! -e "$work/other/$utf8_name" ]'

keys Home Down g
check "GoTo changes the panel to the file's directory" '[[ "$(row 0)" == *"/sub/deep"* ]] && ! shows " File Find "'
check "the panel's cursor is on the file" '[ "$(attr_of b.txt)" = 30 ]'
# A long search shows the directory it reads, and Esc stops it at once.
xdotool type --delay 20 "cd /usr"
keys Return
keys alt+F7
check "the dialog opens again with the last texts" 'shows " File Find " && dialog_text | grep -aq "File(s) to find: \*\.txt"'
keys alt+t
xdotool type --delay 30 'zq-no-such-text-anywhere'
keys Return
check "the status shows the directory being searched" 'dialog_text | grep -aq "Searching: /usr"'
keys Escape
check "Esc stops the search" 'shows "Search Stopped:"'
keys Escape
check "Esc closes the dialog when no search runs" '! shows " File Find "'
quit_vk || failed=1
exit $failed
