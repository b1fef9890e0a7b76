#!/usr/bin/env bash
# Key codes are named once, in console/KeyCodes.h, and menu command codes in
# app/CommandCodes.h. Fails, naming the line, when another file declares a
# key or command constant of its own (constexpr CtrlB = 0x02 and the like).
#   tests/check-codes.sh [SOURCE_ROOT]
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2
pattern='constexpr[[:space:]]+u?int(32_t)?[[:space:]]+[^;]*\bk?(Ctrl|Alt|Shift|Grey|F[0-9]+\b|Key[A-Z]|Cmd|Sort(Base|Name))[A-Za-z0-9]*[[:space:]]*(\[[0-9]*\])?[[:space:]]*='
# Also any constant with a value of the menu command range (0x100000 up).
pattern="$pattern|constexpr[^;]*=[[:space:]]*\\{?0x1[0-9A-Fa-f]{5}\\b"
found=$(grep -rnE "$pattern" --include='*.cpp' --include='*.h' \
  foundation console dialogs config panels fileops archives viewer editor tools app tests 2>/dev/null |
  grep -v -e '^console/KeyCodes.h:' -e '^app/CommandCodes.h:')
if [ -n "$found" ]; then
  echo "$found"
  echo "key or command codes declared outside console/KeyCodes.h and app/CommandCodes.h"
  exit 1
fi
echo "codes: named once"
