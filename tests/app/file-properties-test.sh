#!/usr/bin/env bash
# File attributes, case, date and information in the running program under
# real X keys: Ctrl+A clears the group-write bit of a tagged file, Ctrl+C
# makes "MixedCase.TXT" lower case, File Date/Time from the Files menu sets
# 2001-02-03 04:05, Ctrl+I shows the inode number stat prints. Checked with
# stat; the cell grid is read through VK_SCREEN_DUMP.
# Usage: file-properties-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/files"
export HOME="$work/home"
printf 'x\n' > "$work/files/attr.txt"
chmod 0664 "$work/files/attr.txt"
printf 'y\n' > "$work/files/MixedCase.TXT"
printf 'z\n' > "$work/files/dated.txt"

# Puts the cursor of the active panel on a name by quick search.
find_name() {
  keys Home "alt+${1:0:1}"
  xdotool type --delay 30 "${1:1}"
  keys Escape
}
# Empties the focused number field and types a value, then moves on.
field() { keys BackSpace BackSpace BackSpace BackSpace; xdotool type --delay 30 "$1"; keys Tab; }

start_vk -l "$work/files" -r "$work/home"
find_name attr
keys Insert Up ctrl+a
check "Ctrl+A opens the attributes dialog for the tagged file" 'shows "File  Attributes" && shows "1 file "'
keys Tab w Return
check "the group-write bit is cleared" '[[ "$(stat -c %a "$work/files/attr.txt")" == 644 ]]'

find_name attr
keys Insert
find_name mixed
keys ctrl+c
check "Ctrl+C asks how to change the case" 'shows "Change case of" && shows "MixedCase.TXT"'
keys alt+l alt+w Return
check "the name is lower case" '[[ -f "$work/files/mixedcase.txt" && ! -e "$work/files/MixedCase.TXT" ]]'

find_name dated
keys F9 Return Right t
check "File Date/Time asks for the date" 'shows "Change date of" && shows "Mon" && shows "Year"'
field 2; field 3; field 2001; field 4; field 5; field 0
keys alt+a Return
check "the modification time is 2001-02-03 04:05" '[[ "$(date -r "$work/files/dated.txt" "+%F %H:%M:%S")" == "2001-02-03 04:05:00" ]]'

find_name dated
keys ctrl+i
inode=$(stat -c %i "$work/files/dated.txt")
check "Ctrl+I shows the inode number" 'shows "File Information" && screen | grep -a "Inode" | grep -q "$inode"'
keys Return
check "Enter closes the window" '! shows "File Information"'
quit_vk || failed=1
exit $failed
