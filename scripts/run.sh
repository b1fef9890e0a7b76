#!/usr/bin/env bash
# Installs what Varnak needs, builds it and starts vk. Without a display it
# starts a private Xvfb, saves a screenshot of the window and stops again.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -n "${DISPLAY:-}" ]; then
  exec build/vk "$@"
fi
shot="$PWD/vk-screenshot.png"
echo "No DISPLAY: starting vk under a private Xvfb; the screenshot goes to $shot"
tests/with-xvfb.sh scripts/screenshot.sh build/vk "$shot"
echo "Saved $shot"
