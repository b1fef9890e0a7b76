#!/usr/bin/env bash
# Full-screen programs that expect an xterm, run from the command line in the
# real window: tmux starts and splits its window with the status line in the
# bottom row, htop draws its meters and process list and quits on q, and
# vttest's first cursor-movement screen matches the screen an xterm shows.
# Usage: terminal-programs-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
for program in tmux htop vttest; do
  command -v "$program" > /dev/null || { echo "FAILED: $program is not installed"; exit 1; }
done
mkdir -p "$work/home/.vkl" "$work/dir" "$work/tmux"
printf '[General Options]\r\nColumns=80\r\nLines=25\r\n' > "$work/home/.vkl/vk.ini"
export HOME="$work/home" SHELL=/bin/sh TMUX_TMPDIR="$work/tmux" ENV=/dev/null PS1='$ '
unset TMUX
tmux_server() { tmux -L vk-test -f /dev/null "$@"; }
trap 'tmux_server kill-server 2>/dev/null; kill $pid 2>/dev/null; rm -rf "$work"' EXIT

cd "$work/dir"
start_vk -l "$work/dir" -r "$work/dir"
check "the panels are drawn" '[[ "$(row 24)" == *1Help*10Quit* ]]'
run_typed() { xdotool type --delay 30 "$1"; keys Return; }

# tmux: its status line is the terminal's last row, a split draws a border.
run_typed 'tmux -L vk-test -f /dev/null new-session'
check "tmux draws its status line in the bottom row" '[[ "$(row 24)" == "[0] 0:"* ]]'
keys ctrl+b quotedbl
check "the split draws a border across the window" 'screen | grep -aqE "^(─|q){80}$"'
check "tmux has two panes" '[ "$(tmux_server list-panes | wc -l)" -eq 2 ]'
xdotool type --delay 30 'echo lower-pane'; keys Return
check "the new pane below runs a shell" 'screen | sed -n "13,24p" | grep -aqx "lower-pane *"'
check "the status line stays in the bottom row" '[[ "$(row 24)" == "[0] 0:"* ]]'
tmux_server kill-server
check "vk gets its panels back when tmux ends" '[[ "$(row 24)" == *1Help*10Quit* ]]'

# htop: the meters above, the column header and a process list below.
run_typed 'htop'
check "htop draws its meters" 'screen | grep -aq "Tasks:" && screen | grep -aq "Mem\["'
check "htop draws the process list header" 'screen | grep -aqE "PID +USER"'
check "htop lists processes" 'screen | grep -aq "htop"'
check "htop's key bar is in the bottom row" '[[ "$(row 24)" == *F1Help*F10Quit* ]]'
keys q
check "htop quits on q" '[[ "$(row 24)" == *1Help*10Quit* ]]'

# vttest, menu 1: the expected screen is written out from what an xterm
# draws: a border of * with + inside it, and a frame of E around the text.
expected_vttest_screen() {
  local stars pluses blank row inner
  stars=$(printf '%80s' '' | tr ' ' '*')
  pluses=$(printf '%78s' '' | tr ' ' '+')
  blank=$(printf '%76s' '')
  local text=(
    ""
    " The screen should be cleared,  and have an unbroken bor- "
    " der of *'s and +'s around the edge,   and exactly in the "
    " middle  there should be a frame of E's around this  text "
    " with  one (1) free position around it.    Push <RETURN>  "
    "")
  echo "$stars"
  echo "*$pluses*"
  for row in $(seq 3 22); do
    if [ "$row" -eq 9 ] || [ "$row" -eq 16 ]; then
      inner="        $(printf '%60s' '' | tr ' ' E)        "
    elif [ "$row" -gt 9 ] && [ "$row" -lt 16 ]; then
      inner=$(printf '        E%-58sE        ' "${text[row - 10]}")
    else
      inner=$blank
    fi
    echo "*+$inner+*"
  done
  echo "*$pluses*"
  echo "$stars"
}
expected_vttest_screen > "$work/vttest-expected.txt"
run_typed 'vttest'
check "vttest shows its menu" 'shows "Enter choice number"'
xdotool type --delay 30 '1'; keys Return
vttest_screen_matches() {
  screen | head -n 24 > "$work/vttest-got.txt"
  diff "$work/vttest-expected.txt" "$work/vttest-got.txt"
}
check "vttest's first cursor-movement screen is the xterm screen" 'vttest_screen_matches'
# The further screens, the 132-column ones drawn on 80 columns (xterm too
# ignores the switch by default), up to the control bytes inside sequences.
# Return until a screen shows the text, each screen given a second to come.
return_until_shown() {
  for _ in $(seq "$2"); do
    keys Return
    for _ in $(seq 10); do shows "$1" && return; sleep 0.1; done
  done
}
return_until_shown "inside ESC sequences" 8
check "control bytes inside sequences give four identical lines" \
  '[ "$(screen | sed -n "4,7p" | sed "s/ *$//" | sort -u)" = "A B C D E F G H I" ]'
return_until_shown "Enter choice number" 30
xdotool type --delay 30 '0'; keys Return
check "vk gets its panels back when vttest ends" '[[ "$(row 24)" == *1Help*10Quit* ]]'

quit_vk || failed=1
exit $failed
