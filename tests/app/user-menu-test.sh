#!/usr/bin/env bash
# The user menu and directory compare in the running program under real X
# keys: F2 in a directory holding a menu file shows its entries, a letter
# runs one (its file appears with the expected contents, once per tagged
# file where the command asks), a submenu opens beside the menu and its
# entry runs; Ctrl+K with "Compare Contents" tags exactly the files that
# differ, in both panels, as the status lines' counts show; nothing
# differing brings the message. Edit User Menu starts from the example;
# an association added with Edit Associations runs on Enter. The cell
# grid is read through VK_SCREEN_DUMP.
# Usage: user-menu-test.sh VK_BINARY   (needs a DISPLAY)
set -u
export LC_ALL=C.UTF-8
. "$(dirname "$0")/window-test-lib.sh"
mkdir -p "$work/home" "$work/menu/sub" "$work/left" "$work/right"
export HOME="$work/home" SHELL=/bin/bash
cat > "$work/menu/vk.mnu" <<'MENU'
W: Write the cursor's name
	echo "picked !" > out.txt
E: Echo each tagged name
	echo !t >> each.txt
N: Nested things
{
D: Deep entry
	printf deep > deep.txt
}
MENU
: > "$work/menu/a1"
: > "$work/menu/a2"
for name in same one two only-left; do printf '%s\n' "$name" > "$work/left/$name"; done
for name in same only-right; do printf '%s\n' "$name" > "$work/right/$name"; done
printf 'ONE\n' > "$work/right/one"   # same size, other bytes
printf 'two, longer\n' > "$work/right/two"
touch -d '2001-02-03 04:05' "$work/left/"* "$work/right/"*

start_vk -l "$work/menu/sub" -r "$work/right"
keys F2
check "F2 finds the menu file of the parent directory" 'shows "User  Menu" && shows "W Write the cursor" && shows "N Nested things"'
keys w
check "the entry's command ran in the panel's directory, its macro expanded" '[[ "$(cat "$work/menu/sub/out.txt" 2> /dev/null)" == "picked .." ]]'
xdotool type --delay 30 "cd $work/menu"
keys Return Home Down Down
keys Insert Insert F2 e
check "!t runs once per tagged file" '[[ "$(cat "$work/menu/each.txt" 2> /dev/null | tr "\n" " ")" == "a1 a2 " ]]'
keys F2 n
check "a submenu opens beside the menu" 'shows "Nested things" && shows "D Deep entry"'
keys d
check "the submenu's entry runs" '[[ "$(cat "$work/menu/deep.txt" 2> /dev/null)" == "deep" ]]'
keys F2 Escape
check "Esc closes the menu" '! shows "User  Menu"'

xdotool type --delay 30 "cd $work/left"
keys Return ctrl+k
check "Ctrl+K opens the compare dialog" 'shows "Directory Compare" && shows "Compare Contents"'
keys alt+i alt+z alt+c Return
check "the left panel tags the two differing files and the unmatched one" 'shows "in 3 selected files"'
check "the right panel tags the two differing files and the unmatched one" '[[ $(screen | grep -ao "in 3 selected files" | wc -l) == 2 ]]'
rm "$work/left/one" "$work/left/two" "$work/left/only-left" "$work/right/one" "$work/right/two" "$work/right/only-right"
keys ctrl+r Tab ctrl+r Tab ctrl+k Return
check "equal directories bring the message" 'shows "No files meet the specified conditions"'
keys Return
keys F9 Return Right Right u
check "Edit User Menu opens the user's menu file, begun from the example" \
  '[[ "$(row 0)" == "Edit: "*vk.mnu* ]] && cmp -s "$work/home/.vkl/vk.mnu" "$(dirname "$0")/../../data/menu.mnu"'
keys Escape

# Edit Associations: vk.ini at its [Associations]; a line added there
# counts as soon as the editor closes.
: > "$work/left/x.zzz"
keys F9 Return Right Right a
check "Edit Associations opens vk.ini in the editor" '[[ "$(row 0)" == "Edit: "*vk.ini* ]]'
keys End Return
xdotool type --delay 30 '*.zzz: touch ran-assoc'
keys F2 Escape
check "the association was saved" 'grep -q "^\*\.zzz: touch ran-assoc" "$work/home/.vkl/vk.ini"'
keys ctrl+r Home alt+x
xdotool type --delay 60 '.zzz'
keys Return
check "Enter on a matching file runs the new association" '[[ -e "$work/left/ran-assoc" ]]'
quit_vk || failed=1
exit $failed
