# What the window scripts share: checks that retry, starting vk and waiting
# for its first screen, reading the cell grid through the screen dump, keys.
# Sourced with the script's arguments, the first being the vk binary; it
# makes $work, a scratch directory removed at exit together with the vk last
# started, and sets $pid and $window for the vk it starts.
failed=0
vk=$(realpath "$1")
work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
export VK_SCREEN_DUMP="$work/screen.txt"

# A check is tried again for up to ten seconds: a loaded machine delivers
# keys late, and a start-up with a large file takes its time.
check() {
  for _ in $(seq 100); do
    if eval "$2" > /dev/null 2>&1; then echo "ok: $1"; return; fi
    sleep 0.1
  done
  eval "$2"
  echo "FAILED: $1"
  failed=1
}

# Starts vk with the given arguments and waits until it reads keys: the
# first-screen time is written once the first screen is drawn.
start_vk() {
  rm -f "$work/first.txt"
  VK_FIRST_SCREEN="$work/first.txt" "$vk" "$@" &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
  xdotool windowfocus --sync "$window"
  for _ in $(seq 200); do [ -s "$work/first.txt" ] && break; sleep 0.05; done
}

# True once the vk last started has ended.
ended() { ! kill -0 $pid 2>/dev/null; }

# F10 and y; false (and the process killed) when vk does not end.
quit_vk() {
  xdotool key --delay 150 F10 y
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill $pid; return 1; fi
}

# Asks for the grid and waits for it: the key reader writes it at once when no keys wait.
dump() {
  rm -f "$work/screen.txt"
  kill -USR1 $pid
  for _ in $(seq 400); do [ -s "$work/screen.txt" ] && break; sleep 0.01; done
}
# The text rows and the "cursor C R" line, without the colours between them.
screen() { dump; sed '/^--$/,/^cursor /{/^cursor /!d}' "$work/screen.txt"; }
row() { screen | sed -n "$(($1 + 1))p"; }
# Row N's colours: two hex digits a cell, the cell's attribute.
attrs() { dump; sed '1,/^--$/d; /^cursor /d' "$work/screen.txt" | sed -n "$(($1 + 1))p"; }
shows() { screen | grep -aq "$1"; }
keys() { xdotool key --delay 60 "$@"; sleep 0.1; }
