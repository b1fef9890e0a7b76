#!/usr/bin/env bash
# Runs a command under a private Xvfb that this script starts and stops, so a
# test never depends on a display left running (or on one existing at all).
# Usage: with-xvfb.sh COMMAND [ARGS...]
set -u
displayfile=$(mktemp)
trap 'rm -f "$displayfile"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
if [ ! -s "$displayfile" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$(tr -d '\n' < "$displayfile")"
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
