#!/usr/bin/env bash
# File find against the standard tools, best of five runs each:
#  - contents: 2,000 files of 100 KB with one needle in one of them, against
#    `grep -rl` (output to a file);
#  - names: a tree of 100,000 entries, against `find DIR -name PATTERN`.
# Prints the ratios ours / theirs.
# Usage: bench/find.sh BUILD_DIR [ROOT]   (ROOT: where the trees go, /tmp)
set -eu
build=$1 root=${2:-/tmp}
bench=$build/bench/vk_find_bench
dir=$(mktemp -d "$root/vk-find-bench-XXXXXX")
trap 'rm -rf "$dir"' EXIT

best_of_five() {  # prints the best wall time of "$@" (output to $dir.out)
  local best= start end
  for _ in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$@" > "$dir.out" || true
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN {t = e - s; print (b == "" || t < b) ? t : b}')
  done
  echo "$best"
}

# Contents: 100 directories of 20 files, each 100 KB of text lines.
mkdir "$dir/content"
python3 - "$dir/content" <<'PY'
import os, sys
root = sys.argv[1]
line = b"the quick brown fox jumps over the lazy dog 0123456789\n"
block = (line * (102400 // len(line) + 1))[:102400]
for d in range(100):
    os.mkdir(f"{root}/d{d:03}")
    for f in range(20):
        data = block
        if d == 73 and f == 11:
            data = block[:60000] + b"xylophone-needle" + block[60016:]
        with open(f"{root}/d{d:03}/f{f:02}.txt", "wb") as out:
            out.write(data)
PY
cat "$dir"/content/*/* > /dev/null  # both sides read from the page cache
echo "content tree: $(find "$dir/content" -type f | wc -l) files, $(du -sm "$dir/content" | cut -f1) MiB"
"$bench" "$dir/content" '*' xylophone-needle 5 | tee "$dir.ours"
ours=$(awk '/find best/ {print $3}' "$dir.ours")
grep_time=$(best_of_five grep -rl xylophone-needle "$dir/content")
echo "grep -rl: $(cat "$dir.out")"
printf 'grep -rl best %.4f s\n' "$grep_time"
awk -v o="$ours" -v g="$grep_time" 'BEGIN {printf "ratio content search / grep -rl %.2f\n", o / g}'

# Names: 1,000 directories of 99 files (100,000 entries); one name in 1,000 matches.
mkdir "$dir/names"
python3 - "$dir/names" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(1000):
    os.mkdir(f"{root}/dir{d:04}")
    for f in range(99):
        name = "wanted-%04d.cfg" % d if f == 50 else "file-%02d.txt" % f
        open(f"{root}/dir{d:04}/{name}", "w").close()
PY
echo "name tree: $(find "$dir/names" | wc -l) entries"
"$bench" "$dir/names" 'wanted-*.cfg' '' 5 | tee "$dir.ours"
ours=$(awk '/find best/ {print $3}' "$dir.ours")
find_time=$(best_of_five find "$dir/names" -name 'wanted-*.cfg')
echo "find -name: $(wc -l < "$dir.out") found"
printf 'find -name best %.4f s\n' "$find_time"
awk -v o="$ours" -v f="$find_time" 'BEGIN {printf "ratio name search / find -name %.2f\n", o / f}'
rm -f "$dir.out" "$dir.ours"
