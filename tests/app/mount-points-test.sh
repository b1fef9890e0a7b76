#!/usr/bin/env bash
# The "Drive" chooser in the running program under real X keys: Alt+F1
# lists the mounted file systems with their size and free columns, "/"
# among them; choosing it moves the left panel there; Alt+F2 serves the
# right panel and Esc leaves it alone. The cell grid is read through
# VK_SCREEN_DUMP.
# Usage: mount-points-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/left" "$work/right"
export HOME="$work/home"

title() { row 0 | sed 's/╗.*//'; }
# The list row (0 the first) whose mount-point column is exactly "/".
root_row() {
  screen | awk '/Mount Point/ { list = 1; n = 0; next }
    list && /║/ { line = $0; gsub("║", " ", line); split(line, field, " "); if (field[2] == "/") { print n; exit } ++n }'
}

start_vk -l "$work/left" -r "$work/right"
keys alt+F1
check "Alt+F1 lists the mount points with their columns" 'shows "Mount Points" && shows "Device" && shows "File System" && shows "Free"'
check "the root file system is in the list" '[[ -n "$(root_row)" ]]'
n=$(root_row)
keys Home
for _ in $(seq "${n:-0}"); do keys Down; done
keys Return
check "choosing it moves the left panel to /" '[[ "$(title)" == *" / "* ]]'
keys alt+F2 Escape
check "Esc leaves the right panel where it was" 'row 0 | grep -q "/right"'
quit_vk || failed=1
exit $failed
