#!/usr/bin/env bash
# Installs what Varnak needs, builds it with its tests and runs the whole suite.
# Window tests start and stop their own Xvfb.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
cd build
ctest --output-on-failure -j"$(nproc)"
