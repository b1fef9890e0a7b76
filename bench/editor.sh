#!/usr/bin/env bash
# Loads and saves a 100 MiB text file of 80-character lines through the
# editor's buffer, and with vim -es -c wq on a copy of the same file; best of
# three runs each (whole processes, wall time). Prints the ratio vk / vim of
# the times and the buffer's peak resident memory against the file size.
# Usage: bench/editor.sh BUILD_DIR [ROOT]   (ROOT: where the files go, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_editor_bench
dir=$(mktemp -d "$root/vk-bench-XXXXXX")
trap 'rm -rf "$dir"' EXIT

lines=$(((100 << 20) / 80))
awk -v n="$lines" 'BEGIN {
  words = "the quick brown fox jumps over the lazy dog while five boxing wizards jump quickly "
  words = words words
  for (i = 0; i < n; ++i) printf "%08d %s\n", i, substr(words, 1 + i % 37, 70)
}' > "$dir/source.txt"
size=$(stat -c %s "$dir/source.txt")
echo "source: $size bytes, $lines lines of 80 characters"

# Best wall time of three runs, each on a fresh copy of the source.
best_of() {
  local best= start end
  for _ in 1 2 3; do
    cp "$dir/source.txt" "$dir/work.txt"
    sync
    start=$(date +%s.%N)
    "$@" "$dir/work.txt" < /dev/null > "$dir/last.out"
    end=$(date +%s.%N)
    cmp -s "$dir/source.txt" "$dir/work.txt" || { echo "$1 changed the file" >&2; exit 1; }
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
  done
  echo "$best"
}
vk=$(best_of "$bench")
rss_kib=$(awk '{for (i = 1; i < NF; ++i) if ($i == "peak_rss_kib") print $(i + 1)}' "$dir/last.out")
echo "vk_editor_bench: $(cat "$dir/last.out")"
vim=$(best_of vim -es -c wq)
printf 'load and save: vk %.3f s, vim %.3f s\n' "$vk" "$vim"
awk -v v="$vk" -v m="$vim" 'BEGIN {printf "ratio vk/vim time %.2f (goal at most 0.5)\n", v / m}'
awk -v r="$rss_kib" -v s="$size" 'BEGIN {printf "RSS %.1f MiB, %.2f times the file size (goal at most 4.5)\n", r / 1024, r * 1024 / s}'
