#!/usr/bin/env bash
# The editor in the running program under real X keys: vk -e on a CR LF
# file (typing at the start and in the middle, a line marked with
# Shift+Down, copied, pasted twice, one undo, F2, F10) checked byte for
# byte on disk; F7 finding a word, F8 replacing every match after "All";
# quitting a changed text offering Save, Discard and Edit; a new file;
# Alt+F4 from the viewer; F4 from a panel and $edit on the command line.
# The cell grid is read through VK_SCREEN_DUMP.
# Usage: editor-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/dir"
export HOME="$work/home"

printf 'first line\r\nsecond line\r\nthird\r\n' > "$work/crlf.txt"
start_vk -e "$work/crlf.txt"
check "vk -e shows the status line and the text" '[[ "$(row 0)" == "Edit: "*crlf.txt*"Line 1     Col 1"*UTF-8* && "$(row 1)" == "first line"* ]]'
check "the key bar is the editor's" '[[ "$(row 24)" == 1Help*2Save*3SaveAs*4Cut*5Copy*6Paste*7Search*8Rplace*10Quit* ]]'
xdotool type --delay 40 'AB'
keys Down Right
xdotool type --delay 40 'X'
check "typing at the start and in the middle" '[[ "$(row 1)" == "ABfirst line"* && "$(row 2)" == "secXond line"* && "$(row 0)" == *"*"*"Line 2"* ]]'
keys Home shift+Down ctrl+c ctrl+v ctrl+v
check "the marked line is pasted twice" '[[ "$(row 3)" == "secXond line"* && "$(row 4)" == "secXond line"* && "$(row 5)" == "third"* ]]'
keys alt+BackSpace
check "one undo takes one paste back" '[[ "$(row 4)" == "third"* ]]'
keys F2
check "F2 saves: the modified mark goes" '[[ "$(row 0)" != *"*"* ]]'
keys F10
check "F10 after saving ends vk -e" ended
check "the file holds the text with its CR LF line ends" \
  '[[ "$(od -An -c "$work/crlf.txt" | tr -s " \n" " ")" == "$(printf "ABfirst line\r\nsecXond line\r\nsecXond line\r\nthird\r\n" | od -An -c | tr -s " \n" " ")" ]]'

printf 'one apple\nan orange\nthe needle here\na banana\n' > "$work/words.txt"
start_vk -e "$work/words.txt"
keys F7
check "F7 opens the search dialog" 'shows "Search for:"'
xdotool type --delay 40 'needle'
keys Return
check "the word is found: the cursor is on it" '[[ "$(row 0)" == *"Line 3     Col 5 "* ]]'
keys ctrl+Prior F8
check "F8 opens the replace dialog" 'shows "Replace with:"'
xdotool type --delay 40 'a'
keys Tab
xdotool type --delay 40 'A'
keys Return
check "each hit asks" 'shows "String Found"'
keys a
check "All replaces every further match without asking" 'shows "7 replacements"'
keys Return
check "the text shows the replacements" '[[ "$(row 1)" == "one Apple"* && "$(row 4)" == "A bAnAnA"* ]]'
keys F10
check "quitting a changed text asks" 'shows "There are unsaved changes" && shows "Save" && shows "Discard" && shows "Edit"'
keys e
check "Edit goes back to the text" '! shows "There are unsaved changes" && [[ "$(row 0)" == "Edit: "* ]]'
keys Escape d
check "Discard ends vk -e" ended
check "and the file is as it was" '[[ "$(cat "$work/words.txt")" == "$(printf "one apple\nan orange\nthe needle here\na banana")" ]]'

start_vk -e "$work/new.txt"
check "a missing file is offered to be created" 'shows "File does not exist, Create?"'
keys Return
check "the new file starts empty and modified" '[[ "$(row 0)" == "Edit: "*new.txt*"*"*"Line 1 "* ]]'
xdotool type --delay 40 'fresh'
keys F2 F10
check "F2 writes it, F10 ends vk -e" ended
check "the new file holds the text" '[[ "$(cat "$work/new.txt")" == fresh ]]'

seq -f 'line %g' 100 > "$work/lines.txt"
start_vk -v "$work/lines.txt"
keys Down Down alt+F4
check "Alt+F4 in the viewer edits at the viewer's top line" '[[ "$(row 0)" == "Edit: "*lines.txt*"Line 3 "* && "$(row 1)" == "line 3"* ]]'
keys Escape
check "leaving the editor ends vk -v" ended

printf 'in the panel\n' > "$work/dir/p.txt"
start_vk -l "$work/dir" -r "$work/dir"
keys Down F4
check "F4 in a panel edits the file under the cursor" '[[ "$(row 0)" == "Edit: "*p.txt* && "$(row 1)" == "in the panel"* ]]'
keys End
xdotool type --delay 40 '!'
keys F2 Escape
check "the panels come back after the edit" '[[ "$(row 24)" == 1Help*2Menu*3View* ]] && ! shows "Edit: "'
check "the edit was saved" '[[ "$(cat "$work/dir/p.txt")" == "in the panel!" ]]'
xdotool type --delay 40 '$edit p.txt'
keys Return
check "\$edit on the command line edits the file" '[[ "$(row 0)" == "Edit: "*p.txt* && "$(row 1)" == "in the panel!"* ]]'
keys F10
check "and F10 comes back" '[[ "$(row 24)" == 1Help*2Menu*3View* ]]'
quit_vk || failed=1
exit $failed
