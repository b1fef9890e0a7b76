#!/usr/bin/env bash
# Folders are layers and includes point down. Fails, naming each offending
# line, when a file includes a header of a layer above its own; a test under
# tests/FOLDER counts as part of FOLDER.
#   tests/check-layers.sh [SOURCE_ROOT]
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

files=$(find foundation console dialogs config panels fileops archives viewer editor tools app tests \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) 2>/dev/null | sort)
[ -n "$files" ] || { echo "no sources under $PWD"; exit 2; }

# Each line "file:line:#include "folder/...": the including folder's layer
# against the included one's.
# shellcheck disable=SC2086
grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' $files | awk '
  BEGIN {
    split("foundation console dialogs config panels", lower, " ")
    for (i = 1; i <= 5; ++i) rank[lower[i]] = i - 1
    split("fileops archives viewer editor tools", middle, " ")
    for (i = 1; i <= 5; ++i) rank[middle[i]] = 5
    rank["app"] = 6
    # The five folders between the panels and the top use one another only
    # here: the viewer colours text with the editor'"'"'s syntax highlighting,
    # the editor reads files through the viewer'"'"'s reading layer, the
    # archive readers use the viewer'"'"'s block reader, the archive commands
    # move extracted members with the copy engine; the tools read archives,
    # open found files in the viewer and the editor, replace text through the
    # editor's buffer and copy, move and delete through the file operations.
    sideways["viewer>editor"] = sideways["editor>viewer"] = 1
    sideways["archives>viewer"] = sideways["tools>archives"] = 1
    sideways["archives>fileops"] = 1
    sideways["tools>viewer"] = sideways["tools>editor"] = sideways["tools>fileops"] = 1
  }
  {
    split($0, part, ":")
    own = part[1]
    sub(/^tests\//, "", own)
    sub(/\/.*/, "", own)
    used = $0
    sub(/^[^"]*"/, "", used)
    sub(/\/.*/, "", used)
    if (!(own in rank) || !(used in rank)) next
    if (rank[used] > rank[own] || (rank[used] == 5 && rank[own] == 5 && used != own && !((own ">" used) in sideways))) {
      print part[1] ":" part[2] ": " own " includes " used ", a layer it may not use"
      ++failures
    }
  }
  END {
    if (failures > 0) {
      print failures " include(s) against the layer order"
      exit 1
    }
    print "layers: every include points down"
  }'
