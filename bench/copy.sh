#!/usr/bin/env bash
# Copies one 1 GiB file and a tree of 20,000 files of 2 KB in 20 directories
# through the copy engine and with cp (cp -a for the tree), and deletes a
# copy of the tree through the delete engine and with rm -rf; best of three
# runs each, and prints the ratios vk / cp (vk / rm) of the times.
# Usage: bench/copy.sh BUILD_DIR [ROOT]   (ROOT: where the files go, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_copy_bench
dir=$(mktemp -d "$root/vk-bench-XXXXXX")
trap 'rm -rf "$dir"' EXIT

head -c $((1 << 30)) /dev/urandom > "$dir/big"
mkdir "$dir/tree"
block=$(head -c 1536 /dev/urandom | base64 -w 0)  # 2048 bytes of text
for d in $(seq -w 1 20); do
  mkdir "$dir/tree/d$d"
  for f in $(seq -f 'file-%04g' 1 1000); do printf '%s' "$block" > "$dir/tree/d$d/$f"; done
done
sync
echo "source: $(du -sh "$dir/big" | cut -f1) file, $(find "$dir/tree" -type f | wc -l) files in the tree"

# Best wall time of three runs of a command that writes $dir/out.
best_of() {
  local best= start end
  for _ in 1 2 3; do
    rm -rf "$dir/out"
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
  done
  rm -rf "$dir/out"
  echo "$best"
}

# The engine's own time, as the bench program reports it: the toolkit's
# libraries take some 20 ms to load before it starts, which cp does not pay.
best_routine() {
  local best= t
  for _ in 1 2 3; do
    rm -rf "$dir/out"
    t=$("$@" | awk '{print $NF}')
    best=$(awk -v t="$t" -v b="$best" 'BEGIN {print (b == "" || t < b) ? t : b}')
  done
  rm -rf "$dir/out"
  echo "$best"
}
vk_file=$(best_routine "$bench" "$dir/big" "$dir/out")
cp_file=$(best_of cp "$dir/big" "$dir/out")
vk_tree=$(best_routine "$bench" "$dir/tree" "$dir/out")
cp_tree=$(best_of cp -a "$dir/tree" "$dir/out")
# Each deletion run gets a fresh copy of the tree to delete.
best_delete() {
  local best= start end t
  for _ in 1 2 3; do
    rm -rf "$dir/out"
    cp -a "$dir/tree" "$dir/out"
    sync
    if [ "$1" = vk ]; then
      t=$("$bench" -d "$dir/out" | awk '{print $NF}')
    else
      start=$(date +%s.%N)
      rm -rf "$dir/out"
      end=$(date +%s.%N)
      t=$(awk -v s="$start" -v e="$end" 'BEGIN {print e - s}')
    fi
    [ ! -e "$dir/out" ] || { echo "the tree was not deleted" >&2; exit 1; }
    best=$(awk -v t="$t" -v b="$best" 'BEGIN {print (b == "" || t < b) ? t : b}')
  done
  echo "$best"
}
vk_delete=$(best_delete vk)
rm_delete=$(best_delete rm)
printf 'file: vk %.3f s, cp %.3f s\n' "$vk_file" "$cp_file"
printf 'tree: vk %.3f s, cp -a %.3f s\n' "$vk_tree" "$cp_tree"
awk -v v="$vk_file" -v c="$cp_file" 'BEGIN {printf "file ratio vk/cp time %.2f\n", v / c}'
awk -v v="$vk_tree" -v c="$cp_tree" 'BEGIN {printf "tree ratio vk/cp-a time %.2f\n", v / c}'
printf 'delete: vk %.3f s, rm -rf %.3f s\n' "$vk_delete" "$rm_delete"
awk -v v="$vk_delete" -v c="$rm_delete" 'BEGIN {printf "delete ratio vk/rm time %.2f\n", v / c}'
