#!/usr/bin/env bash
# The viewer on a 1 GiB file of short lines: open to first screen and End to
# last screen (goals: under 30 ms each), search for a text only at the end
# against grep -c on the same file (goal: at least 1/1.5 of grep), and the
# resident memory of vk -v while it shows the end (goal: under 32 MiB).
# Usage: bench/viewer.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/big.txt
needle='the needle at the very end'
yes 'a short line of text, the same each time' | head -c $((1 << 30)) > "$file"
echo "$needle" >> "$file"

"$root/tests/with-xvfb.sh" "$build/bench/vk_viewer_bench" "$file" "$needle" | tee "$dir/figures"

start=$(date +%s.%N)
grep -c "$needle" "$file" > "$dir/count"
grep_s=$(echo "$(date +%s.%N) - $start" | bc)
grep_mbs=$(echo "1024 / $grep_s" | bc)
ours=$(sed -n 's/^search, case-sensitive: \([0-9]*\) MB\/s/\1/p' "$dir/figures")
echo "grep -c: $grep_mbs MB/s"
echo "search ratio (ours / grep): $(echo "scale=2; $ours / $grep_mbs" | bc)"

# The real program: vk -v, End, then its resident memory.
cat > "$dir/rss.sh" <<SCRIPT
"$build/vk" -v "$file" &
pid=\$!
window=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Varnak' | head -n 1)
xdotool windowfocus --sync "\$window"
sleep 1
xdotool key End
sleep 1
echo "vk -v RSS at the end of the file: \$(sed -n 's/^VmRSS: *//p' /proc/\$pid/status)"
kill \$pid
SCRIPT
HOME=$dir "$root/tests/with-xvfb.sh" bash "$dir/rss.sh"
