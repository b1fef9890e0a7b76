#!/usr/bin/env bash
# The information panel and the desktop objects in the running program
# under real X keys: Ctrl+L turns the right panel into the information
# panel, which shows the free space df reports (to the digits shown) and
# the first lines of the directory's dirinfo file, follows the left panel
# into another directory and into a .zip, whose totals it shows, and edits
# the dirinfo file on F4; Ctrl+L again gives the file list back.
# Alt+F6 on a file writes a launcher in the desktop directory whose Exec
# line opens that file, and a second one never overwrites the first.
# The cell grid is read through VK_SCREEN_DUMP.
# Usage: info-panel-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home/.vkl" "$work/desk" "$work/bin" "$work/dir/sub" "$work/right"
export HOME="$work/home" SHELL=/bin/bash XDG_DESKTOP_DIR="$work/desk"
printf '[General Options]\r\nColumns=100\r\nFullScreen=on\r\n' > "$work/home/.vkl/vk.ini"
printf 'Holiday photos, sorted by year\nsecond line\n' > "$work/dir/dirinfo"
printf 'Scratch space below\n' > "$work/dir/sub/dirinfo"
printf 'notes\n' > "$work/dir/notes.txt"
mkdir -p "$work/arch"
head -c 20000 /dev/zero > "$work/arch/zeros.bin"
(cd "$work/arch" && zip -q t.zip zeros.bin && rm zeros.bin)
# Stands in for the desktop's opener: records what it was asked to open.
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

run_line() { xdotool type --delay 20 "$1"; keys Return; }
find_name() {
  keys Home "alt+${1:0:1}"
  xdotool type --delay 30 "${1:1}"
  keys Escape
}
# The number before " bytes free" in bytes: its digits times its unit.
shown_free() {
  local text number unit
  text=$(screen | grep -ao '[0-9,]*[KMGT]\? bytes free' | head -n 1)
  number=${text%% *}
  number=${number//,/}
  unit=1
  case $number in
    *K) unit=1024 ;; *M) unit=$((1024 ** 2)) ;; *G) unit=$((1024 ** 3)) ;; *T) unit=$((1024 ** 4)) ;;
  esac
  number=${number%[KMGT]}
  [ -n "$number" ] && echo "$number $unit"
}
# The panel's figure and df's agree to the panel's last digit; other
# programs writing to the same disk in between are allowed 64 MiB.
free_matches_df() {
  local figures number unit avail difference
  figures=$(shown_free) || return 1
  read -r number unit <<< "$figures"
  avail=$(df -B1 --output=avail "$1" | tail -n 1 | tr -d ' ')
  difference=$((avail - number * unit))
  difference=${difference#-}
  [ "$difference" -lt $((unit + 64 * 1024 * 1024)) ]
}

start_vk -l "$work/dir" -r "$work/right"
keys ctrl+l
check "Ctrl+L shows the information panel" 'shows "bytes free" && shows "total bytes" && shows "total physical memory"'
check "the free space is what df reports" 'free_matches_df "$work/dir"'
check "the files of the directory are counted" 'shows "2 files use"'
check "the first line of dirinfo is shown" 'shows " Dir Info " && shows "Holiday photos, sorted by year"'
check "the mount point or label of the file system is shown" 'shows "Mount Point : \|Label       : "'
run_line "cd sub"
check "the panel follows the left panel into a subdirectory" 'shows "Scratch space below" && ! shows "Holiday photos"'
run_line "cd .."
check "and back" 'shows "Holiday photos, sorted by year"'
keys Tab F4
check "F4 on the information panel edits the dirinfo file" 'shows "Edit: $work/dir/dirinfo"'
keys Escape
check "the editor is left" 'shows "Holiday photos, sorted by year" && shows "bytes free"'
keys Tab
run_line "cd $work/arch/t.zip"
check "inside an archive the panel shows its totals" 'shows "20000 total uncompressed" && shows "total compressed"'
check "the compression and the archive's name and type" 'shows "% total compression" && shows "Archive : t.zip" && shows "Type    : ZIP"'
run_line "cd $work/dir"
keys ctrl+l
check "Ctrl+L again gives the file list back" '! shows "bytes free"'

find_name notes.txt
keys alt+F6
check "Alt+F6 asks for the object's title" 'shows "Make an object for notes.txt"'
keys Return
launcher="$work/desk/notes.txt.desktop"
check "the launcher is written to the desktop directory" '[ -f "$launcher" ]'
check "it is a desktop entry" '[ "$(head -n 2 "$launcher")" = "$(printf "#!/usr/bin/env xdg-open\n[Desktop Entry]")" ]'
check "its Exec line opens the file" 'grep -qx "Exec=xdg-open $work/dir/notes.txt" "$launcher"'
exec_line=$(sed -n 's/^Exec=//p' "$launcher")
(PATH="$work/bin:$PATH" eval "$exec_line")
check "running the Exec line opens notes.txt" '[ "$(cat "$work/opened")" = "$work/dir/notes.txt" ]'
cp "$launcher" "$work/first.desktop"
keys alt+F6
check "a second Alt+F6 asks again" 'shows "Make an object for notes.txt"'
keys Return
check "the second launcher takes a free name" '[ -f "$work/desk/notes.txt (2).desktop" ]'
check "the first launcher is left as it was" 'cmp -s "$launcher" "$work/first.desktop"'
quit_vk || failed=1
exit $failed
