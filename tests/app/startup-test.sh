#!/usr/bin/env bash
# Start-up and shutdown of the real vk: command-line mistakes end with status
# 1 before any window; a named configuration is followed; -x leaves the "cd"
# line for a shell wrapper after F10.
# Usage: startup-test.sh VK_BINARY   (needs a DISPLAY)
set -u
vk=$(realpath "$1")
failed=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi; }

out=$("$vk" -q 2>&1); status=$?
check "an unknown option prints the usage and ends with 1" '[ $status -eq 1 ] && [[ "$out" == Usage:* ]]'
out=$("$vk" -v 2>&1); status=$?
check "-v without a file says so" '[ $status -eq 1 ] && [ "$out" = "No file specified" ]'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[General Options]\r\nAutoSave=on\r\nTabWidth=5\r\n' > "$work/alt.ini"
cd "$work"
VK_FIRST_SCREEN="$work/first.txt" "$vk" "$work/alt.ini" -x "$work/cd.txt" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
# Keys are read once the first screen is drawn and its time written.
for _ in $(seq 200); do [ -s "$work/first.txt" ] && break; sleep 0.05; done
xdotool windowfocus --sync "$window" key --delay 200 F10 y
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
kill -0 $pid 2>/dev/null && { kill $pid; echo "FAILED: vk did not quit on F10 and y"; failed=1; }
wait $pid
check "the exit-directory file holds the cd line" 'grep -q "^cd \"$work\"" "$work/cd.txt"'
check "auto-save wrote the named configuration" 'grep -q "^TabWidth=5" "$work/alt.ini" && grep -q "^\[Archiver:ZIP\]" "$work/alt.ini"'
exit $failed
