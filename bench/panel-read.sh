#!/usr/bin/env bash
# Creates a directory of 100,000 files, reads it through the panel code and
# with `ls -l` (output to a file: GNU ls skips work when writing to
# /dev/null), best of five runs each, and prints the ratio panel / ls.
# Usage: bench/panel-read.sh BUILD_DIR [ROOT]   (ROOT: where the directory goes, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_panel_read_bench
dir=$(mktemp -d "$root/vk-bench-XXXXXX")
trap 'rm -rf "$dir"' EXIT
(cd "$dir" && seq -f 'file-%06g.txt' 1 100000 | xargs touch)
echo "created $(ls -U "$dir" | wc -l) entries in $dir"

"$bench" "$dir" 5 | tee "$dir.out"
panel=$(awk '/read\+sort best/ {print $3}' "$dir.out")
rm -f "$dir.out"

best=
for _ in 1 2 3 4 5; do
  start=$(date +%s.%N)
  ls -l "$dir" > "$dir.ls"
  end=$(date +%s.%N)
  best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
done
rm -f "$dir.ls"
printf 'ls -l best %.4f s\n' "$best"
awk -v p="$panel" -v l="$best" 'BEGIN {printf "ratio panel / ls %.2f\n", p / l}'
