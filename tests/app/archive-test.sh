#!/usr/bin/env bash
# Archives in the running program under real X keys: Enter on a .zip, a .7z,
# a .tar.gz and an .arj shows the top-level members with directories as
# directories, Enter on a directory inside shows its members, ".." leaves
# the archive with the cursor back on it; cd on the command line goes
# through an archive. The cell grid is read through VK_SCREEN_DUMP.
# Usage: archive-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/tree/top dir/sub" "$work/tree/empty dir" "$work/arch"
export HOME="$work/home"
printf 'hi\n' > "$work/tree/top dir/inner.txt"
printf 'deep\n' > "$work/tree/top dir/sub/deep.txt"
printf 'a\n' > "$work/tree/a.txt"
(cd "$work/tree" && zip -qr "$work/arch/a.zip" . && tar czf "$work/arch/a.tar.gz" . &&
  7zz a -bd "$work/arch/a.7z" . > /dev/null && arj a -r "$work/arch/a.arj" > /dev/null)

start_vk -l "$work/arch" -r "$work/arch"
# The left panel's names in screen order, and its title.
names() { screen | sed -n '2,8p' | sed 's/^║//; s/│.*$//; s/ *$//' | grep -av '^$' | tr '\n' '|'; }
title() { row 0 | sed 's/╗.*//'; }

# The panel lists .., a.7z, a.arj, a.tar.gz, a.zip.
index=1
for archive in a.7z a.arj a.tar.gz a.zip; do
  xdotool type --delay 20 "cd $work/arch"
  keys Return Home
  for _ in $(seq $index); do keys Down; done
  keys Return
  check "Enter on $archive shows its top level" '[[ "$(title)" == *"/arch/$archive"* ]]'
  case $archive in
    a.arj) check "$archive: the directories its paths imply, then the files" '[[ "$(names)" == "..|top dir|a.txt|" ]]' ;;
    *) check "$archive: its directories as directories, then the files" '[[ "$(names)" == "..|empty dir|top dir|a.txt|" ]] && screen | grep -aq "top dir *│►SUBDIR◄"' ;;
  esac
  keys End Up Return
  check "$archive: Enter on a directory inside lists it" '[[ "$(names)" == "..|sub|inner.txt|" ]]'
  keys Home Return Home Return
  check "$archive: .. twice leaves it, the cursor on it" '[[ "$(title)" != *"/arch/a."* ]] && screen | sed -n "$((index + 2))p" | grep -aq "$archive"'
  index=$((index + 1))
done

xdotool type --delay 30 "cd $work/arch/a.zip/top dir/sub"
keys Return
check "cd goes through an archive" '[[ "$(title)" == *"a.zip/top dir/sub"* && "$(names)" == "..|deep.txt|" ]]'
keys F7
check "making a directory inside an archive is refused" 'shows "Not available inside an archive"'
keys Return
quit_vk || failed=1
exit $failed
