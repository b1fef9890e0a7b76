#!/usr/bin/env bash
# The window resized from outside (xdotool, as a window manager would): the
# screen becomes as many whole cells as fit, both panels and the key bar are
# laid out across it, a command sees the new width, a running command is told
# of a change, the standard screen comes back, a burst of resizes ends in one
# consistent screen, and Save Setup keeps the size.
# Usage: resize-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8  # ${#line} counts characters
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home/.vkl" "$work/left" "$work/right"
touch "$work/left/a.txt" "$work/right/b.txt"
printf '[General Options]\r\nLines=25\r\nColumns=80\r\n' > "$work/home/.vkl/vk.ini"
export HOME="$work/home"

cd "$work/left"
start_vk -l "$work/left" -r "$work/right"

eval "$(xdotool getwindowgeometry --shell "$window")"
cell_width=$((WIDTH / 80)) cell_height=$((HEIGHT / 25))
# Resizes the window to COLUMNS x LINES cells plus a few pixels that make no whole cell.
resize_to() { xdotool windowsize "$window" $(($1 * cell_width + cell_width / 2)) $(($2 * cell_height + 2)); }

# The dump has LINES rows of exactly COLUMNS characters.
dump_is() {
  local rows=0 line
  while IFS= read -r line; do
    [[ "$line" == cursor* ]] && continue
    [ ${#line} -eq "$1" ] || { echo "  row $rows has ${#line} characters"; return 1; }
    rows=$((rows + 1))
  done < <(screen)
  [ $rows -eq "$2" ] || { echo "  $rows rows"; false; }
}
# Both panels framed across the full width: row 1 begins and ends with a
# double frame line and holds the two panels' four side frames.
panels_framed() {
  local line frames
  line=$(row 1)
  frames=${line//[^║]/}
  [ "${line:0:1}" = "║" ] && [ "${line: -1}" = "║" ] && [ ${#frames} -eq 4 ] &&
    [ "${line:$(($1 / 2 - 1)):2}" = "║║" ] || { echo "  row 1: $line"; false; }
}
key_bar_on() { [[ "$(row "$1")" == *1Help*2Menu*3View*10Quit* ]]; }
standard_screen() { dump_is "$1" "$2" && panels_framed "$1" && key_bar_on $(($2 - 1)); }

check "the window starts at 80 x 25 cells" 'standard_screen 80 25'

resize_to 132 35
check "a window of 132 x 35 cells gives a dump of 35 rows of 132 characters" 'dump_is 132 35'
check "both panels are framed across the full width" 'panels_framed 132'
check "the key bar is on the last row" 'key_bar_on 34'
check "the window keeps whole cells" '[ "$(xdotool getwindowgeometry --shell "$window" | grep WIDTH)" = "WIDTH=$((132 * cell_width))" ]'

xdotool type --delay 40 'tput cols > cols.txt'
keys Return
check "a shell command sees 132 columns" '[ "$(cat "$work/left/cols.txt")" = 132 ]'
check "the panels come back after the command" 'standard_screen 132 35'

# A command that is still running when the window changes learns the new size.
xdotool type --delay 40 'sleep 2; tput cols > late.txt; tput lines >> late.txt'
keys Return
sleep 0.5
resize_to 100 30
check "a running command is told the new size" '[ "$(tr "\n" " " < "$work/left/late.txt")" = "100 30 " ]'
check "and the panels follow when it ends" 'standard_screen 100 30'

resize_to 80 25
check "back at 80 x 25 the standard layout returns" 'standard_screen 80 25'

# A drag: ten sizes one after the other, without waiting.
for i in 1 2 3 4 5 6 7 8 9 10; do
  resize_to $((80 + 5 * i)) $((25 + i))
done
check "a burst of ten resizes ends in one consistent screen" 'standard_screen 130 35'
xdotool type --delay 40 'xyz'
check "the screen reads keys after the burst" 'row 33 | grep -aq "xyz"'
keys BackSpace BackSpace BackSpace

keys shift+F9
check "Save Setup keeps the window's size" 'grep -aq "^Lines=35" "$work/home/.vkl/vk.ini" && grep -aq "^Columns=130" "$work/home/.vkl/vk.ini"'

quit_vk || { echo "FAILED: vk did not end"; failed=1; }
exit $failed
