#!/usr/bin/env bash
# Starts vk on $DISPLAY, waits for its window, saves a screenshot and stops it.
# Usage: screenshot.sh VK_BINARY OUTPUT.png
set -eu
vk=$1 out=$2
"$vk" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null' EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
sleep 1  # let the first frame reach the window
import -window "$window" "$out"
