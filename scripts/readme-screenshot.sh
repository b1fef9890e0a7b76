#!/usr/bin/env bash
# Makes docs/screenshot.png for the README: vk on a small sample directory
# pair under a private Xvfb, with the Files menu dropped down.
# Usage: scripts/readme-screenshot.sh [VK_BINARY]   (default build/vk)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
vk=$(realpath "${1:-$root/build/vk}")
if [ -z "${VK_SCREENSHOT_DISPLAY:-}" ]; then
  exec env VK_SCREENSHOT_DISPLAY=1 "$root/tests/with-xvfb.sh" "$0" "$vk"
fi
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/project/src" "$work/project/docs" "$work/downloads"
for name in README.md Makefile src/main.cpp src/panel.cpp docs/guide.txt; do
  head -c $((RANDOM % 9000 + 100)) /dev/zero > "$work/project/$name"
done
for name in notes.txt photo.jpg backup.tar.gz setup.sh; do
  head -c $((RANDOM % 90000 + 1000)) /dev/zero > "$work/downloads/$name"
done
chmod +x "$work/downloads/setup.sh"
cd "$work/project"
HOME="$work/home" "$vk" -l "$work/project" -r "$work/downloads" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --delay 80 Down Down Insert Down Insert Tab Down F9 f
sleep 0.8
mkdir -p "$root/docs"
import -window "$window" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"
