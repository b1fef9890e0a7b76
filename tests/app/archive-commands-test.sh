#!/usr/bin/env bash
# Archive commands in the running program under real X keys, with the real
# archivers: F5 out of a .zip extracts a member byte for byte, F5 into it
# adds a file, F8 deletes a member, F4, typing and F2 put an edited member
# back, "!f" names an extracted member, F6 moves one out; Shift+F7 on two
# tagged files makes a .tar.gz and refuses a .gz; F8 in a .gz is refused;
# the same extract and add for a .7z and a .tar. Names hold blanks, quotes,
# "$", "!" and UTF-8.
# A failing archiver keeps the sources of a move. The cell grid is read
# through VK_SCREEN_DUMP.
# Usage: archive-commands-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/tree/dir" "$work/arch" "$work/out"
export HOME="$work/home" SHELL=/bin/bash
odd="odd \$ name!'s ü.txt"
new="new \"q\" \$HOME!.txt"
printf 'odd member\n' > "$work/tree/$odd"
printf 'keep me\n' > "$work/tree/keep.txt"
printf 'inner\n' > "$work/tree/dir/inner.txt"
head -c 70000 /dev/urandom > "$work/tree/binary.bin"
(cd "$work/tree" && zip -qr "$work/arch/m.zip" . && 7zz a -bd "$work/arch/m.7z" . > /dev/null &&
  tar cf "$work/arch/m.tar" binary.bin dir keep.txt "$odd")
printf 'added\n' > "$work/out/$new"
printf 'one\n' > "$work/out/a1.txt"
printf 'two\n' > "$work/out/a2.txt"

title() { row 0 | sed 's/╗.*//'; }
# Types a command line and runs it in the active panel.
run_line() { xdotool type --delay 20 "$1"; keys Return; }
# Puts the cursor of the active panel on a name by quick search.
find_name() {
  keys Home "alt+${1:0:1}"
  xdotool type --delay 30 "${1:1}"
  keys Escape
}

start_vk -l "$work/arch" -r "$work/out"
for archive in m.zip m.7z m.tar; do
  run_line "cd $work/arch/$archive"
  check "$archive: the panel shows the archive" '[[ "$(title)" == *"/arch/$archive"* ]]'
  keys End
  keys F5
  check "$archive: F5 asks where to extract" 'shows "Extract \"$odd\" to"'
  keys Return
  check "$archive: the member arrives byte for byte" 'cmp -s "$work/out/$odd" "$work/tree/$odd"'
  rm -f "$work/out/$odd"
  find_name binary
  keys F5 Return
  check "$archive: a binary member arrives byte for byte" 'cmp -s "$work/out/binary.bin" "$work/tree/binary.bin"'
  rm -f "$work/out/binary.bin"
  keys Tab
  find_name new
  keys F5
  check "$archive: F5 into the archive asks to compress" 'shows "Compress \"$new\" to"'
  keys Return
  case $archive in
    m.zip) check "zip: unzip -l lists the added file" 'unzip -l "$work/arch/m.zip" | grep -qF "$new"' ;;
    m.7z) check "7z: 7zz l lists the added file" '7zz l "$work/arch/m.7z" | grep -qF "$new"' ;;
    m.tar) check "tar: tar tf lists the added file" 'tar tf "$work/arch/m.tar" | grep -qxF "$new"' ;;
  esac
  check "$archive: the panel shows the added member" 'screen | grep -aqF "new \"q\""'
  keys Tab
  run_line "cd $work/arch"
done

run_line "cd $work/arch/m.zip"
find_name keep
keys F8
check "F8 asks before deleting a member" 'shows "Do you wish to delete"'
keys Return
check "F8 removes the member" '! unzip -l "$work/arch/m.zip" | grep -q keep.txt && unzip -l "$work/arch/m.zip" | grep -qF "$odd"'
keys End F4
check "F4 edits the extracted member" '[[ "$(row 0)" == "Edit: "* ]] && shows "odd member"'
xdotool type --delay 40 'EDITED '
keys F2 F10
check "the edited member is back in the archive" '[[ "$(unzip -p "$work/arch/m.zip" "$odd")" == "EDITED odd member" ]]'
check "its temporary directory is gone" '! ls -d /tmp/VK#$pid.* 2> /dev/null | grep -q .'
run_line "cp !f $work/out/by-macro.txt"
check "!f on a member names its extracted file" '[[ "$(cat "$work/out/by-macro.txt")" == "EDITED odd member" ]]'
find_name binary
keys F6
check "F6 asks where to extract and move" 'shows "Extract and Move \"binary.bin\" to"'
keys Return
check "F6 extracts the member, then deletes it from the archive" \
  'cmp -s "$work/out/binary.bin" "$work/tree/binary.bin" && ! unzip -l "$work/arch/m.zip" | grep -q binary.bin'

keys Tab
run_line "cd $work/out"
find_name a1
keys Insert Insert shift+F7
check "Shift+F7 opens the compress dialog" 'shows "Compress Files" && shows "Archive Name:"'
xdotool type --delay 20 "$work/made.tar.gz"
keys alt+t Return
check "the .tar.gz holds the two tagged files" '[[ "$(tar tzf "$work/made.tar.gz" | sort | tr "\n" " ")" == "a1.txt a2.txt " ]]'
find_name a1
keys Insert Insert shift+F7
xdotool type --delay 20 "$work/two.gz"
keys alt+g Return
check "a gzip file refuses two tagged files" 'shows "GZIP archives cannot contain multiple files"'
keys Return
check "and nothing is written" '[[ ! -e "$work/two.gz" ]]'
gzip -c "$work/out/a1.txt" > "$work/arch/one.gz"
keys Tab
run_line "cd $work/arch/one.gz"
keys End F8
check "F8 in a gzip file names the format that cannot delete" 'shows "Deleting from GZIP not supported"'
keys Return
check "and the gzip file is kept" '[[ "$(gzip -dc "$work/arch/one.gz")" == "one" ]]'
quit_vk || failed=1

# An archiver that fails: a move into the archive keeps its sources, and
# the user hears of the failure.
printf '[Archiver:ZIP]\r\nCompress=false\r\n' > "$work/fail.ini"
start_vk "$work/fail.ini" -l "$work/arch" -r "$work/out"
run_line "cd $work/arch/m.zip"
keys Tab
find_name a2
keys F6 Return
check "a failing archiver is reported with its status" 'shows "An error occurred updating" && shows "(1)"'
keys Return
check "the sources of the failed move are kept" '[[ -f "$work/out/a2.txt" ]] && ! unzip -l "$work/arch/m.zip" | grep -q a2.txt'
quit_vk || failed=1
exit $failed
