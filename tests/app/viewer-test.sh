#!/usr/bin/env bash
# The viewer in the running program under real X keys: vk -v on a file of
# 200,000 lines (the first line, End, hex, search), a UTF-16 file with a
# byte-order mark, a directory and a FIFO given to vk -v, F3 from a panel
# with Alt+Down to the next file and Esc back to the panels. The cell grid is read through VK_SCREEN_DUMP.
# Usage: viewer-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/dir"
export HOME="$work/home"
seq -f 'row %g of the big file' 200000 > "$work/big.txt"
printf '\xff\xfeh\x00i\x00 \x00\x3b\x04\x0a\x00' > "$work/dir/b16.txt"
printf 'plain text\n' > "$work/dir/c.txt"

start_vk -v "$work/big.txt"
check "vk -v shows the first line" '[[ "$(row 1)" == "row 1 of the big file"* ]]'
check "the status line names the file and its encoding" '[[ "$(row 0)" == "View: "*big.txt*UTF-8*0.*% ]]'
check "the key bar is the viewer's, wrapping on by default" '[[ "$(row 24)" == 1Help*2UnWrap*4Hex*7Search*10Quit* ]]'
keys End
check "End shows the last line at the bottom" '[[ "$(row 23)" == "row 200000 of the big file"* && "$(row 0)" == *100.00%* ]]'
keys Home F4
check "F4 shows the first bytes in hex" '[[ "$(row 1)" == "00000000 72 6F 77 20 │ 31 20 6F 66 │"* && "$(row 24)" == *4ASCII* ]]'
keys F4 F7
check "F7 opens the search dialog" 'shows "Search for:"'
xdotool type --delay 40 'row 123456 '
keys Return
check "the match is on screen, four lines below the top" '[[ "$(row 5)" == "row 123456 of the big file"* ]]'
keys Escape
check "Esc ends vk -v" ended

start_vk -v "$work/dir/b16.txt"
check "a UTF-16 file with a byte-order mark shows its text" '[[ "$(row 1)" == "hi л"* && "$(row 0)" == *UTF-16* ]]'
keys F10
check "F10 ends the viewer too" ended

start_vk -v "$work/dir"
check "a directory given to vk -v is reported" 'shows "Is a directory"'
keys Return
check "and vk ends" ended
mkfifo "$work/fifo"
start_vk -v "$work/fifo"
check "a FIFO is not opened (that would wait for a writer)" 'shows "Not a regular file"'
keys Return
check "and vk ends" ended

start_vk -l "$work/dir" -r "$work/dir"
keys Down F3
check "F3 in a panel views the file under the cursor" '[[ "$(row 0)" == "View: "*b16.txt* ]]'
keys alt+Down
check "Alt+Down goes on with the next file" '[[ "$(row 0)" == "View: "*c.txt* && "$(row 1)" == "plain text"* ]]'
keys alt+Down
check "after the last file: No more files" 'shows "No more files"'
keys Return
check "the panels come back, the cursor on the file viewed last" '[[ "$(row 24)" == 1Help*2Menu*3View* ]] && ! shows "View: "'
keys F3
check "F3 views it again" '[[ "$(row 0)" == "View: "*c.txt* ]]'
keys Escape
check "Esc returns to the panels" '[[ "$(row 24)" == 1Help*2Menu*3View* ]] && ! shows "View: "'
xdotool type --delay 40 '$view b16.txt'
keys Return
check "\$view on the command line views the file" '[[ "$(row 0)" == "View: "*b16.txt* ]]'
keys Escape
check "and Esc comes back" '[[ "$(row 24)" == 1Help*2Menu*3View* ]]'
quit_vk || failed=1
exit $failed
