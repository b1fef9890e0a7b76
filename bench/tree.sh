#!/usr/bin/env bash
# Makes a structure of 102,550 directories, scans it with the directory
# tree's scan and with `find DIR -type d` (output to a file), best of five
# runs each, prints the ratio scan / find, and the milliseconds loading the
# tree data file of that structure takes.
# Usage: bench/tree.sh BUILD_DIR [ROOT]   (ROOT: where the structure goes, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_tree_bench
dir=$(mktemp -d "$root/vk-tree-bench-XXXXXX")
trap 'rm -rf "$dir" "$dir.out" "$dir.find" "$dir.dat"' EXIT
(cd "$dir" && awk 'BEGIN { for (a = 0; a < 50; a++) { print "d" a; for (b = 0; b < 50; b++) {
  print "d" a "/e" b; for (c = 0; c < 40; c++) print "d" a "/e" b "/f" c } } }' | xargs mkdir)
echo "created $(find "$dir" -mindepth 1 -type d | wc -l) directories in $dir"

"$bench" "$dir" "$dir.dat" 5 | tee "$dir.out"
scan=$(awk '/scan best/ {print $3}' "$dir.out")
load=$(awk '/load best/ {print $3}' "$dir.out")

best=
for _ in 1 2 3 4 5; do
  start=$(date +%s.%N)
  find "$dir" -type d > "$dir.find"
  end=$(date +%s.%N)
  best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
done
printf 'find -type d best %.4f s\n' "$best"
awk -v p="$scan" -v f="$best" 'BEGIN {printf "ratio scan / find %.2f (goal at most 1.5)\n", p / f}'
printf 'tree file load %s ms (goal under 100)\n' "$load"
