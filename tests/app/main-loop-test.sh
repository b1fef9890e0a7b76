#!/usr/bin/env bash
# The whole program under real X keys: the menu bar and its five menus, the
# function-key bar following held modifiers, sorting with Ctrl+F3..F8, quick
# search with Alt held, the grey selection keys, Esc switching the panels, Tab,
# a typed command, F5, F6, F7, F8 and Shift+Ctrl+F5, the quit question and the
# exit-directory file. The cell grid, its text and its colours, is read through
# VK_SCREEN_DUMP; one screenshot is checked for size.
# Usage: main-loop-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8  # ${line:offset:length} counts characters
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/left" "$work/right/sub"
printf 'x' > "$work/left/b.c"
printf '%020d' 0 > "$work/left/a.txt"
printf '%0300d' 0 > "$work/left/c.bin"
touch -d '2011-01-01' "$work/left/a.txt"
touch -d '2021-01-01' "$work/left/b.c"
touch -d '2001-01-01' "$work/left/c.bin"
mkdir -p "$work/right/tree/deep" "$work/home/.vkl"
head -c 70000 /dev/urandom > "$work/right/tree/deep/big"
printf 'one\n' > "$work/right/tree/a b"
printf 'gone\n' > "$work/right/gone.txt"
ln -s "deep/big" "$work/right/tree/link"
printf '[General Options]\r\nColumns=100\r\nEscPanelSwitch=on\r\nTagDirs=off\r\nd3=%s\r\n' "$work/right/sub" > "$work/home/.vkl/vk.ini"
export HOME="$work/home"

cd "$work/left"
start_vk -l "$work/left" -r "$work/right" -x "$work/cd.txt"
# The names down the left panel's first column, in screen order.
left_names() { screen | sed -n '2,7p' | sed 's/^║//; s/│.*$//; s/ *$//' | grep -av '^$' | tr '\n' ' '; }

check "the first drawn screen's time since start is written once" 'grep -qxE "[0-9]+\.[0-9]{3}" "$work/first.txt" && [ "$(wc -l < "$work/first.txt")" -eq 1 ]'
check "the window title names the program" '[ "$(xdotool getwindowname "$window")" = "Varnak V2.40-dev" ]'
check "the function-key bar shows the plain labels" '[[ "$(row 24)" == *1Help*2Menu*3View*10Quit* ]]'

xdotool keydown ctrl; sleep 0.6
check "holding Ctrl shows the sort labels" '[[ "$(row 24)" == *3Name*4Exten*5Time*6Size*7Unsort*8Revers* ]]'
xdotool keyup ctrl; sleep 0.6
check "releasing Ctrl brings the plain labels back" '[[ "$(row 24)" == *2Menu* ]]'

# The cursor stands right after a text, on the row that shows it.
cursor_after() {
  local dump row line
  dump=$(screen)
  row=$(grep -anF "$1" <<< "$dump" | head -n 1 | cut -d: -f1)
  line=$(sed -n "${row:-1}p" <<< "$dump")
  line=${line%%"$1"*}
  [ -n "$row" ] && [ "$(tail -n 1 <<< "$dump")" = "cursor $((${#line} + ${#1})) $((row - 1))" ]
}
sorted_as() { local got; got=$(left_names); [ "$got" = ".. $1 " ] || { echo "  got: $got"; false; }; }
check "the panel starts in name order" 'sorted_as "a.txt b.c c.bin"'
# The cursor bar on ".." (row 1) is coloured apart from "a.txt" under it.
bar_stands_out() {
  local bar below
  bar=$(attrs 1) below=$(attrs 2)
  [ ${#bar} -eq $((2 * $(row 1 | tr -d '\n' | wc -m))) ] && [[ "$bar" =~ ^[0-9a-f]+$ ]] &&
    [ "${bar:2:2}" != "${below:2:2}" ] || { echo "  bar: ${bar:0:24} below: ${below:0:24}"; false; }
}
check "the colour lines show the cursor bar apart from the row below" 'bar_stands_out'
keys ctrl+F6
check "Ctrl+F6 sorts by size, largest first" 'sorted_as "c.bin a.txt b.c"'
keys ctrl+F8
check "Ctrl+F8 reverses it" 'sorted_as "b.c a.txt c.bin"'
keys ctrl+F8 ctrl+F5
check "Ctrl+F5 sorts by time, newest first" 'sorted_as "b.c a.txt c.bin"'
keys ctrl+F4
check "Ctrl+F4 sorts by extension" 'sorted_as "c.bin b.c a.txt"'
keys ctrl+F3
check "Ctrl+F3 sorts by name again" 'sorted_as "a.txt b.c c.bin"'

keys alt+c alt+period
check "quick search goes on while Alt is held" 'screen | grep -aq "Search: c\."'
check "the text cursor stands after the search text" 'cursor_after "Search: c."'
keys Escape
check "Esc closes the search and nothing else" 'row 1 | grep -aq "║" && ! screen | grep -aq "Search:"'
# Ctrl+Grey + and - select and unselect all, Grey * inverts (none -> all).
keys ctrl+KP_Add ctrl+KP_Subtract KP_Multiply
check "the grey keys select, unselect and invert" 'screen | grep -aq "321 bytes in 3 selected files"'
keys KP_Multiply shift+ctrl+KP_Add
check "Shift+Ctrl+Grey + selects a group with TagDirs inverted" 'screen | grep -aq "Select the files/directories"'
keys Escape Escape
check "Esc on an empty command line switches the panels off (EscPanelSwitch)" '! row 1 | grep -aq "║"'
keys Escape
check "and on again" 'row 1 | grep -aq "║"'

# Each menu dropped with F9, walked with Right; its box text goes to a file.
keys F9 Return
check "F9 opens the Left menu" '[[ "$(row 0)" == *Left*Files*Commands*Options*Right* ]] && screen | grep -aq "Brief       AlSh-F1"'
# Every menu's items, top to bottom ("-" a separator line), read from the
# dropped box: its title column and width give the box's interior.
left_items="Brief       AlSh-F1|Full        AlSh-F2|Wide        AlSh-F3|Brief-Wide  AlSh-F4|Unix detail AlSh-F5|Info        Ctrl-L|Tree|On/Off      Ctrl-F1|-|Name        Ctrl-F3|Extension   Ctrl-F4|Time        Ctrl-F5|Size        Ctrl-F6|Unsorted    Ctrl-F7|Reverse     Ctrl-F8|-|Re-Read     Ctrl-R|Filter|Drive       Alt-F1"
files_items="Manual       Shift-F1|User Menu          F2|View               F3|Edit               F4|Copy               F5|Rename or Move     F6|Make Directory     F7|Delete             F8|-|File Attributes    Ctrl-A|File Case          Ctrl-C|File Date/Time|File Information   Ctrl-I|-|Select Group       Grey +|Unselect Group     Grey -|Invert Sel'n       Grey *|Restore Sel'n  Alt-Grey +|-|Quit               F10"
commands_items='Tree                 Alt-F10|File Find            Alt-F7|History              Alt-F8|EGA Lines            Alt-F9|Directory History    Alt-\|Stored Paths         Alt-F5|-|Swap Panels          Ctrl-U|Panels On/Off        Ctrl-O|Compare Directories  Ctrl-K|Calculate Dir Size   Ctrl-Q|Open GUI File Window Ctrl-W|-|Edit Associations|Edit User Menu'
options_items="Configuration|Colours|Confirmations|-|Hidden Files    Ctrl-H|Path Prompt|Full Screen|Clock|Tag Directories|Thousand Separator|Retain Dir Count|-|Save Setup      Shft-F9"
right_items=${left_items/On\/Off      Ctrl-F1/On\/Off      Ctrl-F2}
right_items=${right_items/Drive       Alt-F1/Drive       Alt-F2}
menus=("$left_items" "$files_items" "$commands_items" "$options_items" "$right_items")
columns_of=(2 10 19 31 42)
widths_of=(21 27 30 25 21)
box_items() {  # column width count
  local index=0 text
  while IFS= read -r line; do
    index=$((index + 1))
    [ $index -lt 3 ] && continue
    [ $index -gt $(($3 + 2)) ] && break
    text=${line:$(($1 + 2)):$(($2 - 1))}
    text=${text%"${text##*[! ]}"}
    [[ "$text" == ─* ]] && text=-
    printf '%s|' "$text"
  done <<< "$(screen)"
}
for index in 0 1 2 3 4; do
  [ $index -gt 0 ] && keys Right
  IFS='|' read -ra wanted <<< "${menus[$index]}"
  got=$(box_items ${columns_of[$index]} ${widths_of[$index]} ${#wanted[@]})
  check "menu $index lists its ${#wanted[@]} items in order" '[ "$got" = "${menus[$index]}|" ] || { echo "  got: $got"; false; }'
done
keys Escape Escape
check "Escape twice closes the bar" '! screen | grep -aq "Save Setup"'

# A menu item is its key: Files > Quit asks the question; Escape stays.
keys F9 Right Return End Return
check "the Quit item asks" 'screen | grep -aq "Are you sure you want to exit Varnak ?"'
keys Escape
check "Escape on the question keeps running" 'kill -0 $pid 2>/dev/null'

# Alt+F3 runs the alternate viewer, "pager", with the name under the cursor.
keys Home Down
keys alt+F3
sleep 0.5
check "Alt+F3 shows the file in the pager" 'screen | grep -aq "00000000000000000000"'
keys q
keys Home

keys ctrl+u
check "Ctrl+U swaps the panels" '[[ "$(row 0)" == *"$work/right"*"$work/left"* ]]'
keys ctrl+u
keys ctrl+o
check "Ctrl+O shows the commands' screen instead of the panels" '! row 1 | grep -aq "║"'
keys ctrl+o
check "Ctrl+O again brings them back" 'row 1 | grep -aq "║"'

keys F9 o k
check "the Options menu's Clock item shows the clock" '[[ "$(row 0)" =~ [0-9][:\ ][0-9][0-9][ap]\ *$ ]]'
keys ctrl+b
check "Ctrl+B shows the scroll-back without the clock over its frame" '[[ "$(row 0)" =~ ^╔═+╗$ ]]'
keys Escape
check "closing it brings the panels and the clock back" '[[ "$(row 0)" == *"$work/left"* && "$(row 0)" =~ [0-9][:\ ][0-9][0-9][ap]\ *$ ]]'
# The window takes a moment to change size: the width is read until it is the one wanted.
width_becomes() {
  local w
  for _ in $(seq 15); do
    w=$(row 1 | tr -d '\n' | wc -m)
    [ "$w" -eq "$1" ] && return 0
    sleep 0.2
  done
  echo "  width $w"
  false
}
# The Columns setting of 100 gave the window its width at start-up.
keys shift+alt+F9
check "Shift+Alt+F9 turns a width other than 80 and 132 into 80" 'width_becomes 80'
keys shift+alt+F9
check "80 into 132" 'width_becomes 132'
keys shift+alt+F9
check "and 132 into the Columns setting, 100" 'width_becomes 100'

# Clicks: the bar's first tenth is F1, the top line opens the menu there.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 4 $((HEIGHT - 4)) click 1; sleep 0.4
check "a click on the bar's first label acts as F1" 'screen | grep -aq " Esc to Exit "'
keys Escape
columns=$(row 1 | tr -d '\n' | wc -m)
xdotool mousemove --window "$window" $((35 * WIDTH / columns)) 4 click 1; sleep 0.4
check "a click on the top line drops the menu under it (Options at column 35)" 'screen | grep -aq "Save Setup      Shft-F9"'
keys Escape Escape

keys Tab
check "Tab makes the right panel active (its directory on the prompt)" '[[ "$(row 23)" == "$work/right>"* ]]'
xdotool type --delay 40 'one two'
keys Home ctrl+Right X
check "Ctrl+Right on the command line stops after the word (BriefWordRight)" '[[ "$(row 23)" == *">oneX two"* ]]'
keys Escape
xdotool type --delay 40 'echo made > from-vk.txt'
keys Return
sleep 0.5
check "a typed command runs in the active panel's directory" '[ "$(cat "$work/right/from-vk.txt" 2>/dev/null)" = made ]'
check "the panels come back with the new file" 'screen | grep -aq "from-vk.txt"'
import -window "$window" "$work/shot.png" 2>/dev/null
check "a screenshot of the window is 640 pixels or wider" '[ "$(identify -format %w "$work/shot.png" 2>/dev/null || echo 0)" -ge 640 ]'

keys ctrl+3
check "Ctrl+3 goes to stored path 3" '[[ "$(row 23)" == "$work/right/sub>"* ]]'
xdotool type --delay 40 'cd ..'
keys Return
check "cd .. on the command line goes back up" '[[ "$(row 23)" == "$work/right>"* ]]'

# F5 copies the tree under the cursor to the other panel; F6 moves a file there.
keys alt+t alt+r Escape F5
check "F5 asks where to copy the entry" 'screen | grep -aq "Copy \"tree\" to"'
keys Return
check "F5 copied the tree, byte for byte" 'diff -r "$work/right/tree" "$work/left/tree" && [ -L "$work/left/tree/link" ]'
keys alt+f alt+r Escape F6 Return
check "F6 moved the file to the other panel" '[ -f "$work/left/from-vk.txt" ] && [ ! -e "$work/right/from-vk.txt" ]'

# F7 makes a directory and puts the cursor on it; Shift+Ctrl+F5 links the
# file under the cursor into the other panel's directory.
keys F7
xdotool type --delay 40 'made-f7'
keys Return
check "F7 made the directory, the cursor on it (the status line)" '[ -d "$work/right/made-f7" ] && [[ "$(row 21)" == *"║║made-f7 "* ]]'
printf 'linked' > "$work/right/link-me"
keys ctrl+r alt+l alt+i shift+ctrl+F5
check "Shift+Ctrl+F5 asks where the link goes" 'screen | grep -aq "Make symbolic link to \"link-me\" as"'
keys Return
check "Shift+Ctrl+F5 made a working link in the other panel's directory" '[ "$(readlink "$work/left/link-me")" = "$work/right/link-me" ] && [ "$(cat "$work/left/link-me")" = linked ]'

# F8 deletes a file after one question, a non-empty directory after the typed "YES".
keys alt+g alt+o Escape F8
check "F8 asks before deleting the file" 'screen | grep -aq "Do you wish to delete"'
keys Return
check "F8 deleted the file" '[ ! -e "$work/right/gone.txt" ] && [ -d "$work/right/tree" ]'
keys alt+t alt+r Escape F8 Return
check "a non-empty directory asks for the word" 'screen | grep -aq "Delete tree?" && screen | grep -aq "Type \"YES\""'
xdotool type --delay 40 'YES'
keys Return
check "the tree went, the copy in the other panel stayed" '[ ! -e "$work/right/tree" ] && [ -f "$work/left/tree/deep/big" ] && ! screen | grep -aq "Delete tree?"'

keys F10 y
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
wait $pid; status=$?
check "F10 and y quit with status 0" '[ $status -eq 0 ]'
check "the exit-directory file names the active panel's directory" 'grep -q "^cd \"$work/right\"" "$work/cd.txt"'
check "the command went to the history file" 'grep -q "^echo made > from-vk.txt" "$work/home/.vkl/vk.hst"'
exit $failed
