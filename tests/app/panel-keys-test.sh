#!/usr/bin/env bash
# Panel keys of the real vk under X: quick search with Alt held down and its
# cursor, the grey keypad's selection keys with Ctrl and Shift, Esc on an
# empty command line, and Ctrl+Right on the command line.
# Usage: panel-keys-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8  # ${line%%...} counts characters
vk=$(realpath "$1")
failed=0
check() {
  for _ in 1 2 3 4 5 6; do
    if eval "$2" > /dev/null 2>&1; then echo "ok: $1"; return; fi
    sleep 0.5
  done
  eval "$2"
  echo "FAILED: $1"
  failed=1
}

work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home/.vkl" "$work/left/adir" "$work/right"
for name in alpha alpine beta bravo.c; do printf 'xx' > "$work/left/$name"; done
printf '[General Options]\r\nEscPanelSwitch=on\r\nTagDirs=off\r\n' > "$work/home/.vkl/vk.ini"
export HOME="$work/home" VK_SCREEN_DUMP="$work/screen.txt"

"$vk" -l "$work/left" -r "$work/right" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.5

screen() {
  rm -f "$work/screen.txt"
  kill -USR1 $pid
  for _ in $(seq 40); do [ -s "$work/screen.txt" ] && break; sleep 0.05; done
  cat "$work/screen.txt"
}
# Texts the screen (or one row) lacks; a missing dump proves nothing.
lacks_in_row() { local dump; dump=$(screen) && [ -n "$dump" ] && ! sed -n "$1p" <<< "$dump" | grep -aq "$2"; }
lacks() { local dump; dump=$(screen) && [ -n "$dump" ] && ! grep -aq "$1" <<< "$dump"; }
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
# The cursor stands right after the search text, on the row that shows it.
cursor_after() {
  local dump row line col
  dump=$(screen)
  row=$(grep -an "$1" <<< "$dump" | head -n 1 | cut -d: -f1)
  [ -n "$row" ] || return 1
  line=$(sed -n "${row}p" <<< "$dump")
  col=${line%%"$1"*}
  [ "$(tail -n 1 <<< "$dump")" = "cursor $((${#col} + ${#1})) $((row - 1))" ]
}

keys alt+b alt+r
check "Alt held down goes on searching" 'screen | grep -aq "Search: br"'
check "the text cursor stands after the search text" 'cursor_after "Search: br"'
keys Escape

keys ctrl+KP_Add
check "Ctrl+Grey + selects every file (TagDirs off: no directory)" 'screen | grep -aq "8 bytes in 4 selected files"'
keys ctrl+KP_Subtract
check "Ctrl+Grey - unselects everything" 'lacks "selected file"'
keys shift+ctrl+KP_Add
check "Shift+Ctrl+Grey + asks with TagDirs inverted" 'screen | grep -aq "Select the files/directories"'
keys Return
check "and then tags the directory too" 'screen | grep -aq "in 5 selected files"'
keys KP_Multiply
check "Grey * inverts the files, the directory stays tagged" 'screen | grep -aq " in 1 selected file "'

keys Escape
check "Esc on an empty command line switches the panels off" 'lacks_in_row 2 "║"'
keys Escape
check "and on again" 'screen | sed -n 2p | grep -aq "║"'

xdotool type --delay 60 "one two"
keys Home ctrl+Right X
check "Ctrl+Right on the command line stops after the word (BriefWordRight)" 'screen | grep -aq ">oneX two"'
exit $failed
