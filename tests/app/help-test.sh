#!/usr/bin/env bash
# Help on F1 in the running program under real X keys: the panel screen's
# topic in the help window with its frame texts where they belong, the
# scroll marker, F1 inside help going to the index, Esc putting the screen
# back, a dialog's own topic with the dialog still there after Esc, and
# Shift+F1 handing the manual's index page to the first browser found.
# Usage: help-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/left" "$work/right"
export HOME="$work/home"
: > "$work/left/a.txt"

# The help window's top and bottom frame rows and their left edge.
frame_top() { screen | grep -a -m1 ' Help '; }
frame_bottom() { screen | grep -a -m1 ' Esc to Exit '; }
# The column (0 the first) where text starts in line, counted in characters.
column_of() { local before=${1%%"$2"*}; echo ${#before}; }
labels_placed() {
  local top bottom left
  top=$(frame_top) bottom=$(frame_bottom)
  left=$(column_of "$top" "╔")
  [[ $(column_of "$top" " Help ") -eq $((left + 3)) && $(column_of "$bottom" " Esc to Exit ") -eq $((left + 58)) ]]
}
# The cell under the top right corner of the help window.
marker() { local line; line=$(screen | grep -a -A1 -m1 ' Help ' | tail -n 1); echo "${line:$(($1 + 73)):1}"; }

start_vk -l "$work/left" -r "$work/right"
before=$(screen)
keys F1
check "F1 on the panel screen shows the panel topic" 'shows "The panel screen" && shows " Varnak 2.40-dev "'
check "the frame labels sit at columns 3 and 58" labels_placed
left=$(column_of "$(frame_top)" "╔")
check "nothing hidden above: the plain frame" '[[ "$(marker "$left")" == "║" ]]'
keys Next
check "after PgDn the marker shows lines above" '[[ "$(marker "$left")" == "▲" ]]'
keys Home
check "Home goes back to the first line" '[[ "$(marker "$left")" == "║" ]] && shows "The panel screen"'
xdotool mousemove --window "$window" 300 200 click 5; sleep 0.2
check "the wheel scrolls the text" '[[ "$(marker "$left")" == "▲" ]]'
keys Home
keys F1
check "F1 inside help shows the index" 'shows "Varnak help" && ! shows "The panel screen"'
keys End
check "End shows the last page: the index ends with its list of topics" 'shows "The Options menu"'
keys Escape
check "Esc restores the screen beneath" '[[ "$(screen)" == "$before" ]]'

keys Down F5
check "F5 opens the copy dialog" 'shows "Copy \"a.txt\" to"'
keys F1
check "F1 in the copy dialog shows its own topic" 'shows "Copying, moving and linking files"'
keys Escape
check "Esc returns to the copy dialog" 'shows "Copy \"a.txt\" to" && ! shows " Esc to Exit "'
keys Escape
keys F3
check "F3 opens the internal viewer" 'shows "View: "'
keys F1
check "F1 in the viewer shows the viewer topic" 'shows "The internal viewer"'
keys Escape F10 F4
check "F4 opens the internal editor" 'row 0 | grep -aq "a.txt"'
keys F1
check "F1 in the editor shows the editor topic" 'shows "The internal editor"'
keys Escape Escape
keys alt+F7
check "Alt+F7 opens File Find" 'shows " File Find "'
keys F1
check "F1 there shows the File Find topic" 'shows "Finding files"'
keys Escape Escape
keys ctrl+o F1
check "F1 with the panels off shows the terminal topic" 'shows "Running commands and the user screen"'
keys Escape ctrl+o
keys F9
check "the menu bar opens" 'shows "Left" && shows "Options"'
keys F1
check "F1 in the Left menu shows the menu topic" 'shows "The Left and Right menus"'
keys Escape Escape
quit_vk || failed=1

# A browser of our own records the page it is asked to open.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$1" > "%s"\n' "$work/opened" > "$work/bin/x-www-browser"
chmod +x "$work/bin/x-www-browser"
PATH="$work/bin:$PATH" start_vk -l "$work/left" -r "$work/right"
keys shift+F1
check "Shift+F1 opens the manual's index page in the browser" '[[ "$(cat "$work/opened")" == file://*/manual/index.html ]]'
page=$(cat "$work/opened" 2>/dev/null)
check "the page exists and links the topics" 'grep -q "copy.html" "${page#file://}"'
quit_vk || failed=1
# Only vk runs without a PATH to search; the test's own tools keep theirs.
printf '#!/bin/sh\nPATH=%s exec %s "$@"\n' "$work/nowhere" "$vk" > "$work/vk-without-path"
chmod +x "$work/vk-without-path"
vk="$work/vk-without-path" start_vk -l "$work/left" -r "$work/right"
keys shift+F1
check "with no browser the user is told" 'shows "No web browser found for the manual"'
keys Return
quit_vk || failed=1
exit $failed
