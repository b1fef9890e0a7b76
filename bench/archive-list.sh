#!/usr/bin/env bash
# A ZIP and a TAR of 100,000 members (100 directories of 1,000 files) listed
# into a panel through the program's own code against `unzip -l` and
# `tar tf` on the same files (best of three each, output to a file); prints
# the ratios (goals: ZIP at most 0.1, TAR at most 0.6) and the heap per member
# (goal: at most 100 bytes plus its name).
# Usage: bench/archive-list.sh BUILD_DIR [ROOT]   (ROOT: where the files go, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_archive_bench
dir=$(mktemp -d "$root/vk-archive-bench-XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/tree"
(cd "$dir/tree" && for d in $(seq -w 1 100); do mkdir "dir-$d"; (cd "dir-$d" && seq -f "member-$d-%04g.txt" 1 1000 | xargs touch); done)
(cd "$dir/tree" && zip -q -r -0 "$dir/members.zip" . && tar cf "$dir/members.tar" .)

best_of_three() {
  local best= start end
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$@" > "$dir/out"
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
  done
  echo "$best"
}

for kind in zip tar; do
  "$bench" "$dir/members.$kind" 3 | tee "$dir/figures"
  ours=$(sed -n 's/^listed into a panel, best \([0-9.]*\) s/\1/p' "$dir/figures")
  if [ $kind = zip ]; then theirs=$(best_of_three unzip -l "$dir/members.zip"); tool="unzip -l"
  else theirs=$(best_of_three tar tf "$dir/members.tar"); tool="tar tf"; fi
  printf '%s best %.4f s\n' "$tool" "$theirs"
  awk -v o="$ours" -v t="$theirs" -v k="$kind" 'BEGIN {printf "ratio %s panel / %s %.3f\n", k, (k == "zip" ? "unzip -l" : "tar tf"), o / t}'
done
