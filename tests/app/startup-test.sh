#!/usr/bin/env bash
# Start-up and shutdown of the real vk: command-line mistakes end with status
# 1 before any window; a named configuration is followed; -x leaves the "cd"
# line for a shell wrapper after F10.
# Usage: startup-test.sh VK_BINARY   (needs a DISPLAY)
set -u
. "$(dirname "$0")/window-test-lib.sh"

out=$("$vk" -q 2>&1); status=$?
check "an unknown option prints the usage and ends with 1" '[ $status -eq 1 ] && [[ "$out" == Usage:* ]]'
out=$("$vk" -v 2>&1); status=$?
check "-v without a file says so" '[ $status -eq 1 ] && [ "$out" = "No file specified" ]'

printf '[General Options]\r\nAutoSave=on\r\nTabWidth=5\r\n' > "$work/alt.ini"
cd "$work"
start_vk "$work/alt.ini" -x "$work/cd.txt"
check "F10 and y quit" 'quit_vk'
wait $pid
check "the exit-directory file holds the cd line" 'grep -q "^cd \"$work\"" "$work/cd.txt"'
check "auto-save wrote the named configuration" 'grep -q "^TabWidth=5" "$work/alt.ini" && grep -q "^\[Archiver:ZIP\]" "$work/alt.ini"'

# Starts vk with HOME=$1, both panels on $work.
start_in_home() { HOME="$1" start_vk -l "$work" -r "$work"; }

# A vk.ini of random bytes: one box for all its bad lines, then the program.
mkdir -p "$work/broken/.vkl"
head -c 1000000 /dev/urandom > "$work/broken/.vkl/vk.ini"
start_in_home "$work/broken"
check "a corrupt vk.ini gives one box with the count of the rest" 'shows "(and [0-9]* more)"'
xdotool key Return; sleep 0.5
check "after that box the panels are there" 'shows "UP-DIR" && ! screen | grep -aq "Bad directive"'
check "F10 leaves" 'quit_vk'

# An association that is no expression is reported; [Environment] values are
# expanded; Save Setup on an account without a per-user directory makes it.
mkdir -p "$work/acct/.vkl"
printf '[Associations]\r\n(*.c: cc !.!\r\n[Environment]\nVK_SEEN=$HOME/sub\n' > "$work/acct/.vkl/vk.ini"
start_in_home "$work/acct"
check "a bad association pattern is reported" 'shows "Syntax error in association (\*.c:cc !.!"'
xdotool key Return; sleep 0.3
xdotool type --delay 40 'echo $VK_SEEN > seen.txt'
xdotool key Return
for _ in $(seq 25); do [ -s "$work/seen.txt" ] && break; sleep 0.2; done
check "[Environment] values are expanded" '[ "$(cat "$work/seen.txt")" = "$work/acct/sub" ]'
quit_vk
mkdir -p "$work/fresh"
start_in_home "$work/fresh"
xdotool key shift+F9; sleep 0.5
check "Save Setup on a fresh account writes vk.ini without a box" '[ -s "$work/fresh/.vkl/vk.ini" ] && ! screen | grep -aq "configuration file"'
quit_vk

# A start directory that is gone is reported and its nearest parent shown; a
# relative one stays right after the process moved elsewhere.
mkdir "$work/rel" && touch "$work/rel/inrel.txt" && cd "$work"
start_vk "$work/alt.ini" -l "$work/gone/deeper" -r rel
check "a missing -l directory is reported" 'shows "No such file"'
xdotool key Return type 'cd /'; xdotool key --delay 200 Return Tab ctrl+r
check "a relative -r directory stays after the process moved" 'shows "$work/rel>" && shows inrel.txt'
kill $pid; wait $pid
exit $failed
