#!/usr/bin/env bash
# Starts vk under a private Xvfb on two directories of 100,000 files and on
# two small ones, five times each, and prints the best time from process
# start to the first key wait with the screen drawn (VK_FIRST_SCREEN), and
# the resident memory at that moment (VmRSS, with its anonymous and file parts).
# Usage: bench/first-screen.sh BUILD_DIR [ROOT]   (ROOT: where the directories go, /tmp)
set -eu
build=$(realpath "$1") root=${2:-/tmp}
vk=$build/vk
work=$(mktemp -d "$root/vk-first-XXXXXX")
displayfile=$work/display
xvfb=
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home" "$work/large1" "$work/large2" "$work/small1" "$work/small2"
(cd "$work/large1" && seq -f 'file-%06g.txt' 1 100000 | xargs touch)
(cd "$work/large2" && seq -f 'other-%06g.dat' 1 100000 | xargs touch)
(cd "$work/small1" && seq -f 'file-%g.txt' 1 20 | xargs touch)
(cd "$work/small2" && seq -f 'other-%g.dat' 1 20 | xargs touch)
export HOME=$work/home

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "first-screen: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' < "$displayfile")"

# One start: prints "seconds VmRSS RssAnon RssFile" (KiB) at the first screen.
run() {
  rm -f "$work/first"
  VK_FIRST_SCREEN=$work/first "$vk" -l "$1" -r "$2" > /dev/null 2>&1 &
  pid=$!
  for _ in $(seq 300); do [ -s "$work/first" ] && break; sleep 0.05; done
  [ -s "$work/first" ] || { echo "first-screen: vk wrote no time" >&2; kill "$pid"; exit 1; }
  seconds=$(cat "$work/first")
  rss=$(awk '/^(VmRSS|RssAnon|RssFile):/ {printf "%s ", $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  echo "$seconds $rss"
}

# Best time of five starts, with the memory of that start.
best() {
  for _ in 1 2 3 4 5; do run "$1" "$2"; done | sort -n | head -n 1
}

read -r large_s large_rss large_anon large_file < <(best "$work/large1" "$work/large2")
read -r small_s small_rss small_anon small_file < <(best "$work/small1" "$work/small2")
echo "first screen large $large_s s"
echo "first screen small $small_s s"
echo "RSS large $large_rss KiB (anon $large_anon, file $large_file)"
echo "RSS small $small_rss KiB (anon $small_anon, file $small_file)"
