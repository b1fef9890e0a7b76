#!/usr/bin/env bash
# Colours a 100 MiB C source (the project's own sources repeated) with the
# shipped definitions and prints the colouring speed in MB/s (goal: 200).
# Usage: bench/syntax.sh BUILD_DIR [SYNTAX_INI]
set -eu
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
syntax=${2:-$root/data/syntax.ini}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat "$root"/foundation/*.cpp "$root"/panels/*.cpp "$root"/fileops/*.cpp > "$dir/one.c"
while [ "$(stat -c %s "$dir/one.c")" -lt $((100 << 20)) ]; do cat "$dir/one.c" "$dir/one.c" > "$dir/two.c"; mv "$dir/two.c" "$dir/one.c"; done
head -c $((100 << 20)) "$dir/one.c" > "$dir/source.c"
"$build/bench/vk_syntax_bench" "$syntax" "$dir/source.c"
